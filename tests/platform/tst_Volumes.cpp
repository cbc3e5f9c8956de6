#include "platform/Volumes.h"

#include "FakeVolumes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(DriveKind)

class tst_Volumes : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void driveKindFor_data()
    {
        QTest::addColumn<QString>("fsType");
        QTest::addColumn<QString>("mountPoint");
        QTest::addColumn<bool>("removable");
        QTest::addColumn<DriveKind>("kind");
        QTest::newRow("ext4 root") << "ext4"
                                   << "/" << false << DriveKind::Fixed;
        QTest::newRow("btrfs home") << "btrfs"
                                    << "/home" << false << DriveKind::Fixed;
        QTest::newRow("nfs") << "nfs"
                             << "/mnt/nas" << false << DriveKind::Remote;
        QTest::newRow("nfs4") << "nfs4"
                              << "/mnt/nas" << false << DriveKind::Remote;
        QTest::newRow("cifs") << "cifs"
                              << "/mnt/share" << false << DriveKind::Remote;
        QTest::newRow("smb3") << "smb3"
                              << "/mnt/share" << false << DriveKind::Remote;
        QTest::newRow("sshfs") << "fuse.sshfs"
                               << "/home/ann/remote" << false << DriveKind::Remote;
        QTest::newRow("9p") << "9p"
                            << "/mnt/host" << false << DriveKind::Remote;
        QTest::newRow("davfs") << "davfs"
                               << "/mnt/dav" << false << DriveKind::Remote;
        QTest::newRow("iso9660") << "iso9660"
                                 << "/media/cdrom0" << true << DriveKind::CdRom;
        QTest::newRow("udf") << "udf"
                             << "/media/ann/DVD" << true << DriveKind::CdRom;
        QTest::newRow("tmpfs") << "tmpfs"
                               << "/tmp" << false << DriveKind::RamDisk;
        QTest::newRow("ramfs") << "ramfs"
                               << "/mnt/ram" << false << DriveKind::RamDisk;
        QTest::newRow("type in upper case") << "TMPFS"
                                            << "/tmp" << false << DriveKind::RamDisk;
        QTest::newRow("USB stick by flag") << "vfat"
                                           << "/mnt/stick" << true << DriveKind::Removable;
        QTest::newRow("USB disk under /media") << "exfat"
                                               << "/media/ann/DISK" << false << DriveKind::Removable;
        QTest::newRow("under /run/media") << "ext4"
                                          << "/run/media/ann/DISK" << false << DriveKind::Removable;
        QTest::newRow("a directory named like /media") << "ext4"
                                                       << "/mediastore" << false << DriveKind::Fixed;
        QTest::newRow("remote before removable") << "nfs"
                                                 << "/media/nas" << false << DriveKind::Remote;
    }
    void driveKindFor()
    {
        QFETCH(QString, fsType);
        QFETCH(QString, mountPoint);
        QFETCH(bool, removable);
        QFETCH(DriveKind, kind);
        QCOMPARE(::driveKindFor(fsType, mountPoint, removable), kind);
    }

    void volumeTag_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("tag");
        QTest::newRow("none") << ""
                              << "[]";
        QTest::newRow("upper-cased") << "Photos 2004"
                                     << "[PHOTOS 2004]";
        QTest::newRow("non-ASCII") << QStringLiteral("\u00e9t\u00e9") << QStringLiteral("[\u00c9T\u00c9]");
    }
    void volumeTag()
    {
        QFETCH(QString, label);
        QFETCH(QString, tag);
        VolumeInfo volume;
        volume.label = label;
        QCOMPARE(::volumeTag(volume), tag);
    }

    void fakeVolumeFor_data()
    {
        QTest::addColumn<QString>("path"); // "T" stands for an existing temporary directory
        QTest::addColumn<QString>("mountPoint");
        QTest::addColumn<DriveKind>("kind");
        QTest::newRow("root") << "/etc"
                              << "/" << DriveKind::Fixed;
        QTest::newRow("longest prefix") << "T"
                                        << "T" << DriveKind::RamDisk;
        QTest::newRow("file below it") << "T/a.jpg"
                                       << "T" << DriveKind::NoRoot;
        QTest::newRow("sibling with the same start") << "Tx"
                                                     << "/" << DriveKind::NoRoot;
        QTest::newRow("missing path") << "/no/such/dir"
                                      << "/" << DriveKind::NoRoot;
    }
    void fakeVolumeFor()
    {
        QFETCH(QString, path);
        QFETCH(QString, mountPoint);
        QFETCH(DriveKind, kind);
        QTemporaryDir dir;
        path.replace(QLatin1Char('T'), dir.path());
        mountPoint.replace(QLatin1Char('T'), dir.path());
        VolumeInfo root { QStringLiteral("/"), QStringLiteral("ROOT"), QStringLiteral("ext4"),
            QStringLiteral("/dev/sda1"), DriveKind::Fixed, 1000, 512 };
        VolumeInfo ram { dir.path(), QString(), QStringLiteral("tmpfs"), QStringLiteral("tmpfs"), DriveKind::RamDisk,
            10, 4096 };
        FakeVolumes volumes({ root, ram });
        const VolumeInfo found = volumes.volumeFor(path);
        QCOMPARE(found.mountPoint, mountPoint);
        QCOMPARE(found.kind, kind);
    }
};

QTEST_GUILESS_MAIN(tst_Volumes)
#include "tst_Volumes.moc"
