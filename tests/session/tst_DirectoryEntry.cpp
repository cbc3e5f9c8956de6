#include "session/DirectoryEntry.h"

#include "FakeVolumes.h"

#include <QTest>

namespace {

VolumeInfo volume(const QString& mountPoint, const QString& label)
{
    VolumeInfo v;
    v.mountPoint = mountPoint;
    v.label = label;
    v.kind = DriveKind::Fixed;
    return v;
}

} // namespace

class tst_DirectoryEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entryText_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("entry");
        QTest::newRow("labelled volume") << "/media/photos/Old"
                                         << "[MYDISK] /media/photos/Old/";
        QTest::newRow("unlabelled volume") << "/srv/Photos"
                                           << "[] /srv/Photos/";
        QTest::newRow("root of an unlabelled volume") << "/"
                                                      << "[] /";
        QTest::newRow("root of a labelled volume") << "/media/photos"
                                                   << "[MYDISK] /media/photos/";
        QTest::newRow("one trailing slash kept single") << "/media/photos/Old/"
                                                        << "[MYDISK] /media/photos/Old/";
        QTest::newRow("doubled slashes and dots cleaned") << "/media/photos//a/./b///"
                                                          << "[MYDISK] /media/photos/a/b/";
        QTest::newRow("case as on disk, label upper-cased") << "/media/photos/MiXeD"
                                                            << "[MYDISK] /media/photos/MiXeD/";
        QTest::newRow("mount point only as a prefix of a name") << "/media/photos2"
                                                                << "[] /media/photos2/";
    }
    void entryText()
    {
        QFETCH(QString, path);
        QFETCH(QString, entry);
        const FakeVolumes volumes({ volume("/", ""), volume("/media/photos", "MyDisk") }, false);
        QCOMPARE(DirectoryEntry::forPath(path, volumes), entry);
    }

    void split_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("volume");
        QTest::addColumn<QString>("path");
        QTest::newRow("labelled") << "[MYDISK] /media/photos/Old/"
                                  << "[MYDISK]"
                                  << "/media/photos/Old/";
        QTest::newRow("unlabelled root") << "[] /"
                                         << "[]"
                                         << "/";
        QTest::newRow("path with a bracket") << "[X] /a]b/"
                                             << "[X]"
                                             << "/a]b/";
        // A label holding "]" would cut the path at the wrong place when split at the first "]".
        QTest::newRow("label with a bracket") << "[A]B] /x/"
                                              << "[A]B]"
                                              << "/x/";
    }
    void split()
    {
        QFETCH(QString, entry);
        QFETCH(QString, volume);
        QFETCH(QString, path);
        const DirectoryEntry parts = DirectoryEntry::split(entry);
        QCOMPARE(parts.volume, volume);
        QCOMPARE(parts.path, path);
    }
};

QTEST_GUILESS_MAIN(tst_DirectoryEntry)
#include "tst_DirectoryEntry.moc"
