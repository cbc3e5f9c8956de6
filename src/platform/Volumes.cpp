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
    if (removableFlag || inRemovableMediaArea(mountPoint))
        return DriveKind::Removable;
    return DriveKind::Fixed;
}

bool inRemovableMediaArea(const QString& path)
{
    return path.startsWith(QLatin1String("/media/")) || path.startsWith(QLatin1String("/run/media/"));
}

bool pathLiesUnder(const QString& path, QString mountPoint)
{
    if (mountPoint.isEmpty())
        return false;
    if (mountPoint.size() > 1 && mountPoint.endsWith(QLatin1Char('/')))
        mountPoint.chop(1);
    if (mountPoint == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == mountPoint || path.startsWith(mountPoint + QLatin1Char('/'));
}

QString volumeTag(const VolumeInfo& volume)
{
    return QLatin1Char('[') + volume.label.toUpper() + QLatin1Char(']');
}
