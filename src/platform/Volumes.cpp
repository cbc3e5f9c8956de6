#include "platform/Volumes.h"

#include <QSet>

DriveKind driveKindFor(const QString& fsType, const QString& mountPoint, bool removableFlag)
{
    static const QSet<QString> remote { QStringLiteral("nfs"), QStringLiteral("nfs4"), QStringLiteral("cifs"),
        QStringLiteral("smb3"), QStringLiteral("smbfs"), QStringLiteral("fuse.sshfs"), QStringLiteral("sshfs"),
        QStringLiteral("9p"), QStringLiteral("davfs"), QStringLiteral("fuse.davfs") };
    static const QSet<QString> cdRom { QStringLiteral("iso9660"), QStringLiteral("udf") };
    static const QSet<QString> ramDisk { QStringLiteral("tmpfs"), QStringLiteral("ramfs") };
    const QString type = fsType.toLower();
    if (remote.contains(type))
        return DriveKind::Remote;
    if (cdRom.contains(type))
        return DriveKind::CdRom;
    if (ramDisk.contains(type))
        return DriveKind::RamDisk;
    if (removableFlag || mountPoint.startsWith(QStringLiteral("/media/")) || mountPoint.startsWith(QStringLiteral("/run/media/")))
        return DriveKind::Removable;
    return DriveKind::Fixed;
}

QString volumeTag(const VolumeInfo& volume)
{
    return QLatin1Char('[') + volume.label.toUpper() + QLatin1Char(']');
}
