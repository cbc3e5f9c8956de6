#include "CatalogueFixture.h"

#include "catalogue/DatabaseCompaction.h"
#include "catalogue/SqlRecordSet.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int Rows = 2000;

QStringList manyNames()
{
    QStringList names;
    for (int i = 0; i < Rows; ++i)
        names << QStringLiteral("holiday picture %1.jpg").arg(i);
    return names;
}

bool sameFileSystem(const QString& a, const QString& b)
{
    struct stat sa
    {
    };
    struct stat sb
    {
    };
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
        && sa.st_dev == sb.st_dev;
}

bool noWorkFileLeft(const QString& work)
{
    for (const char* suffix : { "", "-journal", "-wal", "-shm" }) {
        if (QFileInfo::exists(work + QLatin1String(suffix)))
            return false;
    }
    return true;
}

} // namespace

class tst_DatabaseCompaction : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // The catalogue is whole: every row there, readable by value, and writable.
    static void verifyIntact(const QString& path, int rows)
    {
        QString reason;
        auto db = CatalogueDatabase::open(path, &reason);
        QVERIFY2(db, qPrintable(reason));
        QCOMPARE(db->queryValue("SELECT count(*) FROM FILES").toInt(), rows);
        TableRecordSet table(*db);
        table.seek("=", "HOLIDAY PICTURE 1999.JPG 3000");
        QVERIFY(!table.noMatch());
        QCOMPARE(table.record().REFNAME, QStringLiteral("holiday picture 1999"));
        QCOMPARE(db->execute("UPDATE FILES SET ACTIVE = ?", { "*" }), rows);
    }

private Q_SLOTS:
    void compactsInPlace()
    {
        const QString path = m_dir.filePath("list.mdb");
        const QString work = m_dir.filePath("tolqtmp.mdb");
        {
            auto db = makeCatalogue(path, manyNames());
            QVERIFY(db);
            QCOMPARE(db->execute("DELETE FROM FILES WHERE RECNUM < ?", { 1001 }), 1000);
        }
        const qint64 before = QFileInfo(path).size();
        QString error;
        QVERIFY2(compactDatabase(path, work, &error), qPrintable(error));
        QVERIFY(QFileInfo(path).size() < before);
        QVERIFY(noWorkFileLeft(work));
        QVERIFY(!QFileInfo::exists(path + "-wal"));
        verifyIntact(path, Rows - 1000);
    }

    void failureLeavesTheCatalogue_data()
    {
        QTest::addColumn<QString>("work");
        QTest::addColumn<int>("stopBefore"); // -1: no stop, the failure is real
        QTest::addColumn<QString>("expected");
        QTest::newRow("work directory missing") << "missing/dir/tolqtmp.mdb" << -1 << "Compaction failed (";
        QTest::newRow("work path is a directory") << "busy" << -1 << "The old work file ";
        QTest::newRow("stopped before the copy") << "tolqtmp.mdb" << int(CompactionStage::Copy) << "Compaction stopped";
        QTest::newRow("stopped before the check")
            << "tolqtmp.mdb" << int(CompactionStage::Verify) << "Compaction stopped";
        QTest::newRow("stopped before the release")
            << "tolqtmp.mdb" << int(CompactionStage::Release) << "Compaction stopped";
        QTest::newRow("stopped before the rename")
            << "tolqtmp.mdb" << int(CompactionStage::Rename) << "Compaction stopped";
        QTest::newRow("read-only work directory") << "readonly/tolqtmp.mdb" << -1 << "Compaction failed (";
        QTest::newRow("work file on another file system")
            << "/dev/shm/tolq-compaction-test.mdb" << -1 << "The compacted copy cannot replace the catalogue";
    }
    void failureLeavesTheCatalogue()
    {
        QFETCH(QString, work);
        QFETCH(int, stopBefore);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("list.mdb");
        QVERIFY(makeCatalogue(path, manyNames()));
        if (!work.startsWith('/'))
            work = dir.filePath(work);

        if (work.endsWith("/busy")) {
            QVERIFY(writeFile(work + "/inside", "x"));
        } else if (work.contains("/readonly/")) {
            if (::geteuid() == 0)
                QSKIP("the superuser writes into read-only directories");
            QVERIFY(QDir().mkpath(dir.filePath("readonly")));
            QFile::setPermissions(dir.filePath("readonly"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        } else if (work.startsWith("/dev/shm/")) {
            if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable() || sameFileSystem("/dev/shm", dir.path()))
                QSKIP("no second file system to rename across");
        }
        const QByteArray bytesBefore = readFile(path);

        QString error;
        const bool done = compactDatabase(
            path, work, &error, [stopBefore](CompactionStage stage) { return int(stage) != stopBefore; });
        QVERIFY(!done);
        QVERIFY2(error.startsWith(expected), qPrintable(error));
        if (!work.endsWith("/busy"))
            QVERIFY(noWorkFileLeft(work));
        if (stopBefore == int(CompactionStage::Copy) || stopBefore == int(CompactionStage::Verify))
            QCOMPARE(readFile(path), bytesBefore);
        verifyIntact(path, Rows);
    }

    void catalogueInUseIsNotReplaced()
    {
        const QString path = m_dir.filePath("inuse.mdb");
        const QString work = m_dir.filePath("inuse-work.mdb");
        auto holder = makeCatalogue(path, manyNames());
        QVERIFY(holder);
        SqlRecordSet reader(*holder);
        reader.refresh();
        QString error;
        QVERIFY(!compactDatabase(path, work, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(noWorkFileLeft(work));
        QCOMPARE(reader.recordCount(), Rows);
        reader.moveLast();
        QCOMPARE(reader.record().RECNUM, double(Rows));
        holder.reset();
        verifyIntact(path, Rows);
    }

    void refusesADamagedCatalogue()
    {
        const QString path = m_dir.filePath("damaged.mdb");
        QVERIFY(writeFile(path, "not a database"));
        QString error;
        QVERIFY(!compactDatabase(path, m_dir.filePath("damaged-work.mdb"), &error));
        QCOMPARE(error, QStringLiteral("The file is not a catalogue database."));
        QCOMPARE(readFile(path), QByteArray("not a database"));
    }
};

QTEST_GUILESS_MAIN(tst_DatabaseCompaction)
#include "tst_DatabaseCompaction.moc"
