#pragma once

#include "platform/Volumes.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// One line of the kernel's mount table, its escapes decoded.
struct MountEntry
{
    QString mountPoint;
    QString fsType;
    QString source; // the device ("/dev/sdb1") or what the file system calls its source ("server:/export")
};

// The mount table in the format of /proc/self/mountinfo; malformed lines are skipped.
QList<MountEntry> parseMountInfo(const QByteArray& text);
// The file system table in the format of /etc/fstab: comments, blank lines and entries without
// a mount point (swap) are skipped.
QList<MountEntry> parseFsTab(const QByteArray& text);
// A mountinfo field: "\040" and the other three-digit octal escapes become their bytes.
QString decodeMountInfoField(const QByteArray& field);
// A udev link name such as "MY\x20PHOTOS": "\xHH" escapes become their bytes.
QString decodeUdevName(const QString& name);
// Volume labels by kernel device name ("sdb1"), read from the symlinks of a by-label directory.
QHash<QString, QString> labelsByDevice(const QString& byLabelDirectory);
// Kernel interfaces and other file systems that hold no user files.
bool isPseudoFileSystem(const QString& fsType);

// The real mount table of this machine. It is read afresh on every call, so media inserted or
// removed while the program runs are seen. The system paths can be replaced for tests.
class SystemVolumes : public Volumes
{
public:
    struct Sources
    {
        QString mountInfo = QStringLiteral("/proc/self/mountinfo");
        QString byLabel = QStringLiteral("/dev/disk/by-label");
        QString sysBlock = QStringLiteral("/sys/class/block");
        QString fsTab = QStringLiteral("/etc/fstab");
    };

    SystemVolumes();
    explicit SystemVolumes(Sources sources);

    QList<VolumeInfo> mounted() const override;
    VolumeInfo volumeFor(const QString& path) const override;
    QList<VolumeInfo> listed() const override;

private:
    QList<MountEntry> readMountTable() const;
    // The entries of the kernel's mount table or the file system table that hold user files.
    static QList<MountEntry> userFileSystems(const QList<MountEntry>& entries);
    VolumeInfo describe(const MountEntry& entry, const QHash<QString, QString>& labels) const;

    Sources m_sources;
};
