#pragma once

#include <QList>
#include <QString>
#include <optional>

// What the program needs to know of the mounted file system that holds a path.
enum class DriveKind { NoRoot, Removable, Fixed, Remote, CdRom, RamDisk };

struct VolumeInfo {
    QString mountPoint; // absolute, no trailing "/" except for "/"
    QString label; // volume label, empty when none
    QString fsType;
    QString device;
    DriveKind kind = DriveKind::Fixed;
    qint64 freeBytes = 0;
    int sectorSize = 512;
};

class Volumes {
public:
    virtual ~Volumes() = default;
    virtual QList<VolumeInfo> mounted() const = 0;
    // The volume whose mount point is the longest prefix of the absolute path; a path that
    // does not exist gives kind NoRoot.
    virtual VolumeInfo volumeFor(const QString& path) const = 0;
    // The file systems the system's table names (/etc/fstab), mounted now or not, each with the
    // kind its type gives; a device that is not present cannot tell whether it is removable.
    virtual QList<VolumeInfo> listed() const = 0;
};

// The kind rule of the host mapping, kept pure so it can be tested on its own.
DriveKind driveKindFor(const QString& fsType, const QString& mountPoint, bool removableFlag);

// The volume label as an entry shows it: "[" upper-cased label "]".
QString volumeTag(const VolumeInfo& volume);

// Whether the path lies below a place where the system mounts removable media (/media, /run/media).
bool inRemovableMediaArea(const QString& path);

// Whether the path is the mount point or lies below it; a trailing "/" of the mount point is
// ignored, and an empty one holds nothing.
bool pathLiesUnder(const QString& path, QString mountPoint);
