#include "platform/SystemVolumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <sys/statvfs.h>

namespace {

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The kernel's name for the block device a mount comes from ("sdb1", "dm-0"), empty when the
// source is not a device node. Links such as /dev/mapper/x or /dev/disk/by-uuid/... are followed.
QString deviceName(const QString& source)
{
    if (!source.startsWith(QLatin1String("/dev/")))
        return {};
    const QString canonical = QFileInfo(source).canonicalFilePath();
    return QFileInfo(canonical.isEmpty() ? source : canonical).fileName();
}

QString readFirstLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readLine().trimmed());
}

// An attribute of a block device in sysfs. A partition has no removable flag or queue of its
// own: those of the disk that holds it are read instead.
QString blockAttribute(const QString& sysBlock, const QString& name, const QString& attribute)
{
    if (name.isEmpty())
        return {};
    const QString deviceDir = sysBlock + QLatin1Char('/') + name;
    if (!QFileInfo::exists(deviceDir))
        return {};
    const QString own = readFirstLine(deviceDir + QLatin1Char('/') + attribute);
    if (!own.isEmpty())
        return own;
    if (!QFileInfo::exists(deviceDir + QStringLiteral("/partition")))
        return {};
    const QString disk = QFileInfo(QFileInfo(deviceDir).canonicalFilePath()).path();
    return readFirstLine(disk + QLatin1Char('/') + attribute);
}

// The kernel's and the system's own mounts (/proc, /sys, /dev, /run): on a usual system several
// of them are tmpfs, which would otherwise be offered to the user as RAM disks.
bool inSystemArea(const QString& mountPoint)
{
    static const QStringList areas { QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev"),
        QStringLiteral("/run") };
    if (pathLiesUnder(mountPoint, QStringLiteral("/run/media")))
        return false;
    for (const QString& area : areas) {
        if (pathLiesUnder(mountPoint, area))
            return true;
    }
    return false;
}

} // namespace

QString decodeMountInfoField(const QByteArray& field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1]) && isOctalDigit(field[i + 2])
            && isOctalDigit(field[i + 3])) {
            bytes.append(char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0')));
            i += 3;
        } else {
            bytes.append(field[i]);
        }
    }
    return QFile::decodeName(bytes);
}

QString decodeUdevName(const QString& name)
{
    QByteArray bytes;
    const QByteArray raw = QFile::encodeName(name);
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 3 < raw.size() && raw[i + 1] == 'x') {
            const int high = hexValue(QLatin1Char(raw[i + 2]));
            const int low = hexValue(QLatin1Char(raw[i + 3]));
            if (high >= 0 && low >= 0) {
                bytes.append(char((high << 4) | low));
                i += 3;
                continue;
            }
        }
        bytes.append(raw[i]);
    }
    return QString::fromUtf8(bytes);
}

QList<MountEntry> parseMountInfo(const QByteArray& text)
{
    // id parent major:minor root mount-point options [optional fields...] - type source super-options
    QList<MountEntry> entries;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        const qsizetype separator = fields.indexOf(QByteArrayLiteral("-"), 6);
        if (separator < 0 || separator + 1 >= fields.size())
            continue;
        MountEntry entry;
        entry.mountPoint = decodeMountInfoField(fields.at(4));
        entry.fsType = decodeMountInfoField(fields.at(separator + 1));
        if (separator + 2 < fields.size())
            entry.source = decodeMountInfoField(fields.at(separator + 2));
        if (!entry.mountPoint.startsWith(QLatin1Char('/')) || entry.fsType.isEmpty())
            continue;
        entries.append(entry);
    }
    return entries;
}

QList<MountEntry> parseFsTab(const QByteArray& text)
{
    // device mount-point type options [dump [pass]], separated by blanks or tabs
    QList<MountEntry> entries;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3 || fields.first().startsWith('#'))
            continue;
        MountEntry entry;
        entry.source = decodeMountInfoField(fields.at(0));
        entry.mountPoint = decodeMountInfoField(fields.at(1));
        entry.fsType = decodeMountInfoField(fields.at(2));
        if (entry.mountPoint.startsWith(QLatin1Char('/')))
            entries.append(entry);
    }
    return entries;
}

QHash<QString, QString> labelsByDevice(const QString& byLabelDirectory)
{
    QHash<QString, QString> labels;
    const QFileInfoList links
        = QDir(byLabelDirectory).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& link : links) {
        if (!link.isSymLink())
            continue;
        const QString device = QFileInfo(link.symLinkTarget()).fileName();
        if (!device.isEmpty())
            labels.insert(device, decodeUdevName(link.fileName()));
    }
    return labels;
}

bool isPseudoFileSystem(const QString& fsType)
{
    static const QSet<QString> pseudo { QStringLiteral("proc"), QStringLiteral("sysfs"), QStringLiteral("cgroup"),
        QStringLiteral("cgroup2"), QStringLiteral("devpts"), QStringLiteral("devtmpfs"), QStringLiteral("mqueue"),
        QStringLiteral("debugfs"), QStringLiteral("tracefs"), QStringLiteral("securityfs"), QStringLiteral("pstore"),
        QStringLiteral("bpf"), QStringLiteral("configfs"), QStringLiteral("fusectl"), QStringLiteral("hugetlbfs"),
        QStringLiteral("autofs"), QStringLiteral("binfmt_misc"), QStringLiteral("efivarfs"),
        QStringLiteral("rpc_pipefs"), QStringLiteral("nsfs"), QStringLiteral("selinuxfs"), QStringLiteral("nfsd"),
        QStringLiteral("fuse.gvfsd-fuse"), QStringLiteral("fuse.portal") };
    return pseudo.contains(fsType);
}

SystemVolumes::SystemVolumes() = default;

SystemVolumes::SystemVolumes(Sources sources)
    : m_sources(std::move(sources))
{
}

QList<MountEntry> SystemVolumes::readMountTable() const
{
    QFile file(m_sources.mountInfo);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A file of /proc reports size 0: read it to the end.
    return parseMountInfo(file.readAll());
}

VolumeInfo SystemVolumes::describe(const MountEntry& entry, const QHash<QString, QString>& labels) const
{
    VolumeInfo volume;
    volume.mountPoint = entry.mountPoint;
    volume.fsType = entry.fsType;
    volume.device = entry.source;
    const QString name = deviceName(entry.source);
    if (!name.isEmpty())
        volume.label = labels.value(name);
    const bool removable = blockAttribute(m_sources.sysBlock, name, QStringLiteral("removable")) == QLatin1String("1");
    volume.kind = driveKindFor(entry.fsType, entry.mountPoint, removable);
    struct statvfs stats
    {
    };
    if (::statvfs(QFile::encodeName(entry.mountPoint).constData(), &stats) == 0)
        volume.freeBytes = qint64(stats.f_bavail) * qint64(stats.f_frsize);
    // Space is accounted in the device's sectors, not in the file system's blocks; a volume
    // without a block device keeps the default of 512.
    const int sector = blockAttribute(m_sources.sysBlock, name, QStringLiteral("queue/logical_block_size")).toInt();
    if (sector > 0)
        volume.sectorSize = sector;
    return volume;
}

QList<VolumeInfo> SystemVolumes::mounted() const
{
    // A later mount on the same point hides the earlier one.
    QList<MountEntry> visible;
    for (const MountEntry& entry : userFileSystems(readMountTable())) {
        visible.removeIf([&](const MountEntry& e) { return e.mountPoint == entry.mountPoint; });
        visible.append(entry);
    }
    const QHash<QString, QString> labels = labelsByDevice(m_sources.byLabel);
    QList<VolumeInfo> volumes;
    for (const MountEntry& entry : visible)
        volumes.append(describe(entry, labels));
    return volumes;
}

QList<MountEntry> SystemVolumes::userFileSystems(const QList<MountEntry>& entries)
{
    QList<MountEntry> kept;
    for (const MountEntry& entry : entries) {
        if (!isPseudoFileSystem(entry.fsType) && !inSystemArea(entry.mountPoint))
            kept.append(entry);
    }
    return kept;
}

QList<VolumeInfo> SystemVolumes::listed() const
{
    QFile file(m_sources.fsTab);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<VolumeInfo> volumes;
    for (const MountEntry& entry : userFileSystems(parseFsTab(file.readAll()))) {
        VolumeInfo volume;
        volume.mountPoint = QDir::cleanPath(entry.mountPoint);
        volume.fsType = entry.fsType;
        volume.device = entry.source;
        volume.kind = driveKindFor(entry.fsType, volume.mountPoint, false);
        volumes.append(volume);
    }
    return volumes;
}

VolumeInfo SystemVolumes::volumeFor(const QString& path) const
{
    const QFileInfo info(path);
    const bool exists = !path.isEmpty() && info.exists();
    QString absolute = exists ? info.canonicalFilePath() : QString();
    if (absolute.isEmpty())
        absolute = QDir::cleanPath(info.absoluteFilePath());

    const QList<MountEntry> table = readMountTable();
    const MountEntry* best = nullptr;
    for (const MountEntry& entry : table) {
        // Equal length: the later mount is the one on top.
        if (pathLiesUnder(absolute, entry.mountPoint) && (!best || entry.mountPoint.size() >= best->mountPoint.size()))
            best = &entry;
    }
    VolumeInfo volume;
    if (best)
        volume = describe(*best, labelsByDevice(m_sources.byLabel));
    if (!best || !exists)
        volume.kind = DriveKind::NoRoot;
    return volume;
}
