#include "catalogue/CatalogueDatabase.h"
#include "catalogue/TemplateDatabase.h"
#include "main/ListDatabaseUpkeep.h"
#include "main/MainController.h"

#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

struct FakeNotice : CompactionNotice
{
    QStringList calls;
    void showNotice() override { calls << "show"; }
    void hideNotice() override { calls << "hide"; }
    void yieldOnce() override { calls << "yield"; }
};

struct Fixture
{
    TemporaryProgramDirectory dir;
    ScriptedPrompter prompter;
    MainController controller { dir.path(), prompter };
    FakeNotice notice;
    ListDatabaseUpkeep upkeep { controller, prompter, notice };

    explicit Fixture(bool singleTable = false)
    {
        controller.settings().listName = "Pics";
        controller.settings().singleTable = singleTable;
        QDir().mkpath(dir.file("data"));
    }
    bool makeDatabase(const QString& path)
    {
        if (!writeTemplateDatabase(path))
            return false;
        auto db = CatalogueDatabase::open(path);
        if (!db)
            return false;
        for (int i = 1; i <= 50; ++i)
            db->execute("INSERT INTO FILES (RECNUM, NAME) VALUES (?, ?)", { i, QString("F%1.JPG").arg(i) });
        db->execute("DELETE FROM FILES WHERE RECNUM > 10");
        return true;
    }
};

} // namespace

class tst_ListDatabaseUpkeep : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void paths_data()
    {
        QTest::addColumn<bool>("single");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("tag");
        QTest::newRow("own database") << false << "data/Pics.mdb"
                                      << "data/Pics.lcd";
        QTest::newRow("single database") << true << "data/tolqtmp.mdb"
                                         << "data/tolqtmp.lcd";
    }
    void paths()
    {
        QFETCH(bool, single);
        QFETCH(QString, database);
        QFETCH(QString, tag);
        Fixture f(single);
        QCOMPARE(f.upkeep.listDatabasePath(), f.dir.file(database));
        QCOMPARE(f.upkeep.listTagPath(), f.dir.file(tag));
        QCOMPARE(f.upkeep.workFilePath(), f.dir.file("tolqtmp.mdb"));
    }

    void purge_data()
    {
        QTest::addColumn<bool>("single");
        QTest::addColumn<int>("answer");
        QTest::newRow("no keeps everything") << false << int(MsgAnswer::No);
        QTest::newRow("yes deletes the list's database") << false << int(MsgAnswer::Yes);
        QTest::newRow("yes with the single database") << true << int(MsgAnswer::Yes);
    }
    void purge()
    {
        QFETCH(bool, single);
        QFETCH(int, answer);
        const bool yes = answer == int(MsgAnswer::Yes);
        Fixture f(single);
        const QString database = f.upkeep.listDatabasePath();
        const QString other = f.dir.file(single ? "data/Pics.mdb" : "data/Other.mdb");
        QVERIFY(f.makeDatabase(database));
        QVERIFY(f.makeDatabase(other));
        QVERIFY(writeFile(f.upkeep.workFilePath(), "left over"));
        QVERIFY(writeFile(f.upkeep.listTagPath(), " 3 \r\n"));
        f.controller.session().StoppedAtRecord = 8;
        f.controller.session().ChangedSearch = false;
        f.prompter.queueAnswer(MsgAnswer(answer));
        f.upkeep.purge();

        const Message question = f.prompter.messages().first();
        QCOMPARE(question.text, ListDatabaseUpkeep::purgeQuestion());
        QCOMPARE(question.title, QStringLiteral("Purge Database..."));
        QCOMPARE(question.buttons, MsgButtons::YesNo);
        QCOMPARE(question.icon, MsgIcon::Question);
        QCOMPARE(question.defaultButton, 2);
        QVERIFY(question.text.contains("\r\rNote - You should"));
        QVERIFY(
            question.text.endsWith("\r\rRecords not accessed for more than 3 months will be auto-purged anyway..."));

        QCOMPARE(QFile::exists(database), !yes);
        QCOMPARE(QFile::exists(database + "-wal") || QFile::exists(database + "-shm"), false);
        QCOMPARE(QFile::exists(f.upkeep.workFilePath()), !yes);
        QVERIFY(QFile::exists(other));
        QVERIFY(QFile::exists(f.upkeep.listTagPath())); // the tag stays
        QCOMPARE(f.controller.session().StoppedAtRecord, yes ? 0 : 8);
        QCOMPARE(f.controller.session().ChangedSearch, yes);
        QCOMPARE(f.prompter.texts().mid(1), yes ? QStringList { "Database Purged..." } : QStringList {});
        QCOMPARE(QFile::exists(f.dir.file("TOLQ.INI")), yes);
    }

    void purgeWithoutDatabaseStillSaysPurged()
    {
        Fixture f;
        f.prompter.queueAnswer(MsgAnswer::Yes);
        f.upkeep.purge();
        QCOMPARE(f.prompter.texts().mid(1), QStringList { "Database Purged..." });
    }

    void purgeThatFailsSaysSo()
    {
        Fixture f;
        // A directory in the database's place cannot be removed as a file.
        QVERIFY(writeFile(f.upkeep.listDatabasePath() + "/inside", "x"));
        f.controller.session().StoppedAtRecord = 8;
        f.prompter.queueAnswer(MsgAnswer::Yes);
        f.upkeep.purge();
        QVERIFY(QFileInfo::exists(f.upkeep.listDatabasePath()));
        QCOMPARE(f.prompter.messages().size(), 2);
        QVERIFY(f.prompter.texts().at(1).startsWith("Unable to purge the database..."));
        QCOMPARE(f.controller.session().StoppedAtRecord, 8);
    }

    void compactOnRequest_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("no") << int(MsgAnswer::No);
        QTest::newRow("yes") << int(MsgAnswer::Yes);
    }
    void compactOnRequest()
    {
        QFETCH(int, answer);
        Fixture f;
        QVERIFY(f.makeDatabase(f.upkeep.listDatabasePath()));
        QVERIFY(writeFile(f.upkeep.listTagPath(), " 3 \r\n"));
        f.upkeep.setToday([] { return QDate(2026, 7, 14); });
        int runs = 0;
        QStringList paths;
        f.upkeep.setCompactor([&](const QString& source, const QString& work, QString* error) -> bool {
            ++runs;
            paths << source << work;
            Q_UNUSED(error);
            return true;
        });
        f.prompter.queueAnswer(MsgAnswer(answer));
        f.upkeep.compactOnRequest();
        const Message question = f.prompter.messages().first();
        QCOMPARE(question.title, QStringLiteral("Compact Database..."));
        QCOMPARE(question.defaultButton, 2);
        QVERIFY(question.text.startsWith("Do you wish to compact the database?\r\rNote - This will be que'd"));
        const bool yes = answer == int(MsgAnswer::Yes);
        QCOMPARE(runs, yes ? 1 : 0);
        if (yes)
            QCOMPARE(paths, QStringList({ f.upkeep.listDatabasePath(), f.upkeep.workFilePath() }));
        QCOMPARE(readFile(f.upkeep.listTagPath()), yes ? QByteArray(" 7 \r\n") : QByteArray(" 3 \r\n"));
        QCOMPARE(f.notice.calls, yes ? QStringList({ "show", "yield", "hide", "yield" }) : QStringList());
        QCOMPARE(f.prompter.messages().size(), 1);
    }

    void compactionKeepsTheRows()
    {
        Fixture f;
        const QString database = f.upkeep.listDatabasePath();
        QVERIFY(f.makeDatabase(database));
        QVERIFY(f.upkeep.compactListDatabase());
        auto db = CatalogueDatabase::open(database);
        QVERIFY(db);
        QCOMPARE(db->queryValue("SELECT count(*) FROM FILES").toInt(), 10);
        QVERIFY(!QFile::exists(f.upkeep.workFilePath()));
        QCOMPARE(readFile(f.upkeep.listTagPath()),
            ListFiles::monthTagLine(QDate::currentDate().month()).toLatin1() + "\r\n");
        QVERIFY(f.prompter.messages().isEmpty());
    }

    void compactionOfAMissingDatabaseFails()
    {
        Fixture f;
        QVERIFY(!f.upkeep.compactListDatabase());
        QVERIFY(!QFile::exists(f.upkeep.listDatabasePath()));
        QVERIFY(!QFile::exists(f.upkeep.listTagPath()));
        QCOMPARE(f.prompter.messages().size(), 1);
        const QString text = f.prompter.texts().first();
        QVERIFY(text.startsWith("Unable to compact the database.  You need to free up more space on drive /"));
        QVERIFY(
            text.endsWith("\r\rYou may continue on,  t'olq! will attempt to compact the database again next time..."));
        QCOMPARE(f.notice.calls, QStringList({ "show", "yield", "hide", "yield" }));
    }
};

QTEST_GUILESS_MAIN(tst_ListDatabaseUpkeep)
#include "tst_ListDatabaseUpkeep.moc"
