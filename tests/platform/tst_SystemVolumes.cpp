#include "platform/SystemVolumes.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(DriveKind)

namespace {

// A fake /dev/disk/by-label and /sys/class/block laid out as udev and the kernel do: link names
// escaped, partitions below their disk, the removable flag and sector size on the disk only.
struct FakeSystem
{
    QTemporaryDir dir;

    QString path(const QString& relative) const { return dir.filePath(relative); }

    void disk(
        const QString& name, const QByteArray& removable, const QByteArray& sectorSize, const QStringList& partitions)
    {
        const QString device = path(QStringLiteral("sys/devices/") + name);
        writeFile(device + QStringLiteral("/removable"), removable + '\n');
        writeFile(device + QStringLiteral("/queue/logical_block_size"), sectorSize + '\n');
        QDir().mkpath(path(QStringLiteral("sys/class/block")));
        QFile::link(device, path(QStringLiteral("sys/class/block/") + name));
        for (const QString& partition : partitions) {
            writeFile(device + QLatin1Char('/') + partition + QStringLiteral("/partition"), "1\n");
            QFile::link(device + QLatin1Char('/') + partition, path(QStringLiteral("sys/class/block/") + partition));
        }
    }
    void label(const QString& escapedName, const QString& device)
    {
        QDir().mkpath(path(QStringLiteral("dev/disk/by-label")));
        QFile::link(QStringLiteral("../../") + device, path(QStringLiteral("dev/disk/by-label/") + escapedName));
    }
    SystemVolumes volumes(const QByteArray& mountInfo, const QByteArray& fsTab = {}) const
    {
        writeFile(path(QStringLiteral("mountinfo")), mountInfo);
        writeFile(path(QStringLiteral("fstab")), fsTab);
        return SystemVolumes(
            SystemVolumes::Sources { path(QStringLiteral("mountinfo")), path(QStringLiteral("dev/disk/by-label")),
                path(QStringLiteral("sys/class/block")), path(QStringLiteral("fstab")) });
    }
};

QByteArray mountLine(int id, const QByteArray& mountPoint, const QByteArray& type, const QByteArray& source)
{
    return QByteArray::number(id) + " 1 8:1 / " + mountPoint + " rw,relatime shared:1 - " + type + ' ' + source
        + " rw\n";
}

} // namespace

class tst_SystemVolumes : public QObject
{
    Q_OBJECT
private:
    FakeSystem m_system;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_system.dir.isValid());
        m_system.disk(QStringLiteral("sda"), "0", "512", { QStringLiteral("sda1"), QStringLiteral("sda2") });
        m_system.disk(QStringLiteral("sdb"), "1", "512", { QStringLiteral("sdb1") });
        m_system.disk(QStringLiteral("sdc"), "1", "4096", { QStringLiteral("sdc1") });
        m_system.disk(QStringLiteral("sr0"), "1", "2048", {});
        m_system.label(QStringLiteral("ROOT"), QStringLiteral("sda1"));
        m_system.label(QStringLiteral("STICK"), QStringLiteral("sdb1"));
        m_system.label(QStringLiteral("MY\\x20PHOTOS"), QStringLiteral("sdc1"));
        m_system.label(QStringLiteral("PHOTOS_2004"), QStringLiteral("sr0"));
        writeFile(m_system.path(QStringLiteral("dev/disk/by-label/not-a-link")), "x");
    }

    void parseMountInfo_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("expected"); // mount point|type|source per entry
        QTest::newRow("optional fields") << QByteArray(
            "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 shared:3 - ext3 /dev/root rw,errors=continue\n")
                                         << QStringList { "/mnt2|ext3|/dev/root" };
        QTest::newRow("no optional fields") << QByteArray("26 1 254:0 / / rw,relatime - ext4 /dev/vda rw,discard\n")
                                            << QStringList { "/|ext4|/dev/vda" };
        QTest::newRow("blank and tab escaped")
            << QByteArray("40 26 8:33 / /media/ann/My\\040Stick\\011x rw - vfat /dev/sdc1 rw\n")
            << QStringList { "/media/ann/My Stick\tx|vfat|/dev/sdc1" };
        QTest::newRow("backslash escaped") << QByteArray("40 26 8:33 / /mnt/a\\134b rw - ext4 /dev/sdd1 rw\n")
                                           << QStringList { "/mnt/a\\b|ext4|/dev/sdd1" };
        QTest::newRow("UTF-8 name") << QByteArray("40 26 8:33 / /mnt/caf\xc3\xa9 rw - ext4 /dev/sdd1 rw\n")
                                    << QStringList { QStringLiteral("/mnt/caf\u00e9|ext4|/dev/sdd1") };
        QTest::newRow("a dash in the mount point is not the separator")
            << QByteArray("40 26 0:50 / /- rw - nfs4 server:/export rw\n") << QStringList { "/-|nfs4|server:/export" };
        QTest::newRow("malformed lines skipped")
            << QByteArray("garbage\n\n40 26 0:50 / /x rw shared:1\n41 26 0:51 / /y rw - tmpfs tmpfs rw\n")
            << QStringList { "/y|tmpfs|tmpfs" };
        QTest::newRow("no trailing new line")
            << QByteArray("41 26 0:51 / /y rw - tmpfs tmpfs rw") << QStringList { "/y|tmpfs|tmpfs" };
    }
    void parseMountInfo()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, expected);
        QStringList got;
        for (const MountEntry& e : ::parseMountInfo(text))
            got << e.mountPoint + QLatin1Char('|') + e.fsType + QLatin1Char('|') + e.source;
        QCOMPARE(got, expected);
    }

    void decodeUdevName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        QTest::newRow("plain") << "STICK"
                               << "STICK";
        QTest::newRow("blank") << "MY\\x20PHOTOS"
                               << "MY PHOTOS";
        QTest::newRow("slash") << "A\\x2fB"
                               << "A/B";
        QTest::newRow("escaped UTF-8 bytes") << "caf\\xc3\\xa9" << QStringLiteral("caf\u00e9");
        QTest::newRow("raw UTF-8") << QStringLiteral("\u00c9t\u00e9") << QStringLiteral("\u00c9t\u00e9");
        QTest::newRow("not an escape") << "50\\xZZ"
                                       << "50\\xZZ";
        QTest::newRow("cut short") << "50\\x2"
                                   << "50\\x2";
    }
    void decodeUdevName()
    {
        QFETCH(QString, name);
        QFETCH(QString, label);
        QCOMPARE(::decodeUdevName(name), label);
    }

    void labelsByDevice()
    {
        const QHash<QString, QString> labels = ::labelsByDevice(m_system.path(QStringLiteral("dev/disk/by-label")));
        QCOMPARE(labels.size(), 4);
        QCOMPARE(labels.value(QStringLiteral("sda1")), QStringLiteral("ROOT"));
        QCOMPARE(labels.value(QStringLiteral("sdc1")), QStringLiteral("MY PHOTOS"));
        QCOMPARE(labels.value(QStringLiteral("sr0")), QStringLiteral("PHOTOS_2004"));
        QVERIFY(::labelsByDevice(m_system.path(QStringLiteral("no-such-dir"))).isEmpty());
    }

    void mounted_data()
    {
        QTest::addColumn<QString>("mountPoint");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<DriveKind>("kind");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("sectorSize");
        QTest::newRow("labelled ext4") << "/" << true << DriveKind::Fixed << "ROOT" << 512;
        QTest::newRow("unlabelled ext4") << "/home" << true << DriveKind::Fixed << "" << 512;
        QTest::newRow("nfs") << "/mnt/nas" << true << DriveKind::Remote << "" << 512;
        QTest::newRow("cifs") << "/mnt/share" << true << DriveKind::Remote << "" << 512;
        QTest::newRow("tmpfs") << "/tmp" << true << DriveKind::RamDisk << "" << 512;
        QTest::newRow("iso9660") << "/media/cdrom0" << true << DriveKind::CdRom << "PHOTOS_2004" << 2048;
        QTest::newRow("USB stick under /media") << "/media/ann/STICK" << true << DriveKind::Removable << "STICK" << 512;
        QTest::newRow("removable flag, escaped mount point and label")
            << "/mnt/usb disk" << true << DriveKind::Removable << "MY PHOTOS" << 4096;
        QTest::newRow("under /run/media") << "/run/media/ann/CAM" << true << DriveKind::Removable << "" << 512;
        QTest::newRow("proc") << "/proc" << false << DriveKind::Fixed << "" << 512;
        QTest::newRow("sysfs") << "/sys" << false << DriveKind::Fixed << "" << 512;
        QTest::newRow("cgroup tmpfs") << "/sys/fs/cgroup" << false << DriveKind::Fixed << "" << 512;
        QTest::newRow("devpts") << "/dev/pts" << false << DriveKind::Fixed << "" << 512;
        QTest::newRow("shared memory") << "/dev/shm" << false << DriveKind::Fixed << "" << 512;
        QTest::newRow("run") << "/run" << false << DriveKind::Fixed << "" << 512;
        QTest::newRow("mqueue") << "/mnt/mq" << false << DriveKind::Fixed << "" << 512;
    }
    void mounted()
    {
        QFETCH(QString, mountPoint);
        QFETCH(bool, listed);
        QFETCH(DriveKind, kind);
        QFETCH(QString, label);
        QFETCH(int, sectorSize);
        const QByteArray table = mountLine(21, "/proc", "proc", "proc") + mountLine(22, "/sys", "sysfs", "sysfs")
            + mountLine(23, "/sys/fs/cgroup", "tmpfs", "tmpfs") + mountLine(24, "/dev/pts", "devpts", "devpts")
            + mountLine(25, "/dev/shm", "tmpfs", "tmpfs") + mountLine(26, "/run", "tmpfs", "tmpfs")
            + mountLine(27, "/", "ext4", "/dev/sda1") + mountLine(28, "/home", "ext4", "/dev/sda2")
            + mountLine(29, "/mnt/nas", "nfs4", "server:/export") + mountLine(30, "/mnt/share", "cifs", "//nas/share")
            + mountLine(31, "/tmp", "tmpfs", "tmpfs") + mountLine(32, "/media/cdrom0", "iso9660", "/dev/sr0")
            + mountLine(33, "/media/ann/STICK", "vfat", "/dev/sdb1")
            + mountLine(34, "/mnt/usb\\040disk", "exfat", "/dev/sdc1")
            + mountLine(35, "/run/media/ann/CAM", "vfat", "/dev/sde1") + mountLine(36, "/mnt/mq", "mqueue", "mqueue");
        const QList<VolumeInfo> volumes = m_system.volumes(table).mounted();
        const auto found = std::find_if(
            volumes.begin(), volumes.end(), [&](const VolumeInfo& v) { return v.mountPoint == mountPoint; });
        QCOMPARE(found != volumes.end(), listed);
        if (!listed)
            return;
        QCOMPARE(found->kind, kind);
        QCOMPARE(found->label, label);
        QCOMPARE(found->sectorSize, sectorSize);
    }

    void mountedKeepsTheTopMountOfAPoint()
    {
        const QByteArray table = mountLine(27, "/", "ext4", "/dev/sda1") + mountLine(40, "/data", "ext4", "/dev/sda2")
            + mountLine(41, "/data", "vfat", "/dev/sdb1");
        const QList<VolumeInfo> volumes = m_system.volumes(table).mounted();
        QCOMPARE(volumes.size(), 2);
        QCOMPARE(volumes.at(1).mountPoint, QStringLiteral("/data"));
        QCOMPARE(volumes.at(1).label, QStringLiteral("STICK"));
    }

    void volumeFor_data()
    {
        QTest::addColumn<QString>("path"); // relative to the fake root
        QTest::addColumn<QString>("mountPoint"); // relative to the fake root
        QTest::addColumn<DriveKind>("kind");
        QTest::addColumn<QString>("label");
        QTest::newRow("file on the root") << "root/a.jpg"
                                          << "root" << DriveKind::Fixed << "ROOT";
        QTest::newRow("the mount point itself") << "root/stick"
                                                << "root/stick" << DriveKind::Removable << "STICK";
        QTest::newRow("nested mount wins") << "root/stick/dir/b.jpg"
                                           << "root/stick" << DriveKind::Removable << "STICK";
        QTest::newRow("name that only starts like a mount point") << "root/stick2/c.jpg"
                                                                  << "root" << DriveKind::Fixed << "ROOT";
        QTest::newRow("dot-dot leaves the mount") << "root/stick/../a.jpg"
                                                  << "root" << DriveKind::Fixed << "ROOT";
        QTest::newRow("symlink into the stick") << "root/link/b.jpg"
                                                << "root/stick" << DriveKind::Removable << "STICK";
        QTest::newRow("escaped mount point") << "root/usb disk/d.jpg"
                                             << "root/usb disk" << DriveKind::Removable << "MY PHOTOS";
        QTest::newRow("later mount on the same point") << "root/cd/e.jpg"
                                                       << "root/cd" << DriveKind::CdRom << "PHOTOS_2004";
        QTest::newRow("missing file") << "root/stick/none.jpg"
                                      << "root/stick" << DriveKind::NoRoot << "STICK";
    }
    void volumeFor()
    {
        QFETCH(QString, path);
        QFETCH(QString, mountPoint);
        QFETCH(DriveKind, kind);
        QFETCH(QString, label);
        QTemporaryDir dir;
        const QString root = dir.path() + QStringLiteral("/");
        for (const char* file :
            { "root/a.jpg", "root/stick/dir/b.jpg", "root/stick2/c.jpg", "root/usb disk/d.jpg", "root/cd/e.jpg" })
            QVERIFY(writeFile(root + QLatin1String(file), "x"));
        QVERIFY(QFile::link(root + QStringLiteral("root/stick/dir"), root + QStringLiteral("root/link")));
        const QByteArray base = QFile::encodeName(dir.path());
        const QByteArray table = mountLine(27, base + "/root", "ext4", "/dev/sda1")
            + mountLine(28, base + "/root/stick", "vfat", "/dev/sdb1")
            + mountLine(29, base + "/root/usb\\040disk", "exfat", "/dev/sdc1")
            + mountLine(30, base + "/root/cd", "ext4", "/dev/sda2")
            + mountLine(31, base + "/root/cd", "iso9660", "/dev/sr0");

        const VolumeInfo volume = m_system.volumes(table).volumeFor(root + path);
        QCOMPARE(volume.mountPoint, root + mountPoint);
        QCOMPARE(volume.kind, kind);
        QCOMPARE(volume.label, label);
        if (kind != DriveKind::NoRoot)
            QVERIFY(volume.freeBytes > 0);
    }

    void volumeForWithoutMountTable()
    {
        const VolumeInfo volume = m_system.volumes(QByteArray()).volumeFor(QDir::tempPath());
        QCOMPARE(volume.kind, DriveKind::NoRoot);
    }

    // The file systems of the table, mounted or not; only a network share's kind tells the media
    // prompts anything, the others stand for media that are not loaded.
    void listed_data()
    {
        QTest::addColumn<QByteArray>("fsTab");
        QTest::addColumn<QStringList>("expected"); // mount point|type, then R for a remote kind
        QTest::newRow("comments, blank lines and swap skipped") << QByteArray(
            "# <file system> <mount point> <type>\n\nUUID=1 / ext4 defaults 0 1\n"
            "/dev/sda3 none swap sw 0 0\n") << QStringList { "/|ext4" };
        QTest::newRow("tabs, an escaped blank, no trailing new line")
            << QByteArray("LABEL=\t/mnt/zip\\040disk/\tvfat\tnoauto,user") << QStringList { "/mnt/zip disk|vfat" };
        QTest::newRow("a network share") << QByteArray("server:/export /mnt/nas nfs4 noauto 0 0\n")
                                         << QStringList { "/mnt/nas|nfs4 R" };
        QTest::newRow("kernel file systems skipped") << QByteArray(
            "proc /proc proc defaults 0 0\nsysfs /sys sysfs defaults 0 0\n/dev/sr0 /media/cdrom0 "
            "udf,iso9660 user,noauto 0 0\n") << QStringList { "/media/cdrom0|udf,iso9660" };
    }
    void listed()
    {
        QFETCH(QByteArray, fsTab);
        QFETCH(QStringList, expected);
        QStringList got;
        for (const VolumeInfo& v : m_system.volumes(QByteArray(), fsTab).listed())
            got << v.mountPoint + QLatin1Char('|') + v.fsType + (v.kind == DriveKind::Remote ? " R" : "");
        QCOMPARE(got, expected);
    }

    // The real table of the machine the tests run on.
    void thisMachine()
    {
        const SystemVolumes volumes;
        const VolumeInfo root = volumes.volumeFor(QStringLiteral("/"));
        QCOMPARE(root.mountPoint, QStringLiteral("/"));
        QVERIFY(root.kind != DriveKind::NoRoot);
        QVERIFY(root.freeBytes > 0);
        QVERIFY(volumes.volumeFor(QDir::tempPath()).kind != DriveKind::NoRoot);
        QCOMPARE(volumes.volumeFor(QStringLiteral("/no/such/dir/x.jpg")).kind, DriveKind::NoRoot);
        const QList<VolumeInfo> all = volumes.mounted();
        QVERIFY(!all.isEmpty());
        for (const VolumeInfo& v : all)
            QVERIFY2(!isPseudoFileSystem(v.fsType) && v.fsType != QLatin1String("proc"), qPrintable(v.mountPoint));
    }
};

QTEST_GUILESS_MAIN(tst_SystemVolumes)
#include "tst_SystemVolumes.moc"
