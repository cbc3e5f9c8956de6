#include "main/MainController.h"
#include "main/QuitStatistics.h"

#include "FileSystemFixtures.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cerrno>
#include <cstring>

namespace {

class FakeServices : public StartupServices
{
public:
    QStringList calls;
    qint64 colours = 1 << 24;
    ProgramOutcome goOutcome = ProgramOutcome::Continue;
    MainController* controller = nullptr;
    bool gatherAtGo = false;
    bool gatherRunAtGo = false;
    void yieldOnce() override { calls << "yield"; }
    void checkDiskSpace() override { calls << "disk"; }
    void buildOrientationTable() override { calls << "orientation"; }
    qint64 screenColours() override
    {
        calls << "colours";
        return colours;
    }
    ProgramOutcome pressGo() override
    {
        calls << "go";
        if (controller) {
            gatherAtGo = controller->settings().gather;
            gatherRunAtGo = controller->gatherRun();
        }
        return goOutcome;
    }
    void openHelp() override { calls << "help"; }
    void settingsChanged() override { }
};

class FakeStats : public StatsPresenter
{
public:
    StatsAnswer answer = StatsAnswer::Ok;
    QStringList shown;
    StatsAnswer showStatistics(const QString& text) override
    {
        shown << text;
        return answer;
    }
};

} // namespace

class tst_MainController : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstStartWritesThePresets()
    {
        TemporaryProgramDirectory dir;
        ScriptedPrompter prompter;
        MainController controller(dir.path(), prompter);
        QCOMPARE(controller.load(), ProgramOutcome::Continue);
        QVERIFY(controller.firstRun());
        const QByteArray expected = QStringLiteral("[CURRENT LIST]\r\nLIST NAME = General\r\n \r\n"
                                                   "[MODE]\r\nNAME\r\nIGNORE EXTENSION\r\nRGB TOLERANCE = 5\r\n \r\n"
                                                   "[OPTIONS]\r\nTHUMBNAIL = .THN\r\nFILTER = *\r\n \r\n"
                                                   "[FILE TYPES]\r\n \r\n"
                                                   "[MISC]\r\n0 FILES DELETED\r\n0 BYTES RECOVERED\r\n"
                                                   "MONTH COMPACTED = 0\r\nALTERNATE VIEWER = \r\n"
                                                   "SEARCH COMPLETED = NO\r\nREACTIVATE = \r\n"
                                                   "STOPPED AT RECORD = 0\r\nLAST DIRECTORY = %1\r\n"
                                                   "WAV DIRECTORY = %2/\r\nSCANBAR TOP = -5000\r\n"
                                                   "SCANBAR LEFT = -5000\r\n \r\n")
                                        .arg(QDir::homePath(), dir.path())
                                        .toUtf8();
        QCOMPARE(readFile(dir.file("TOLQ.INI")), expected);

        // Reading the first file back leaves the presets; the next activation opens the help once.
        FakeServices services;
        QCOMPARE(controller.activate(services, CommandLine {}), ProgramOutcome::Continue);
        QCOMPARE(controller.session().PreScanTop, -5000);
        QVERIFY(controller.session().ThreeMonthPurge && controller.session().ShowEndStats);
        QCOMPARE(controller.settings().thumbnailExt, QStringLiteral(".THN"));
        QVERIFY(services.calls.contains("help"));
        QVERIFY(!controller.firstRun());
        QCOMPARE(readFile(dir.file("TOLQ.INI")), expected);
    }

    void existingFileIsNotAFirstRun()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("TOLQ.INI"), "[MODE]\r\n"));
        ScriptedPrompter prompter;
        MainController controller(dir.path(), prompter);
        QCOMPARE(controller.load(), ProgramOutcome::Continue);
        QVERIFY(!controller.firstRun());
        QCOMPARE(readFile(dir.file("TOLQ.INI")), QByteArray("[MODE]\r\n"));
    }

    void unwritableFirstFileEndsTheProgram()
    {
        TemporaryProgramDirectory dir;
        ScriptedPrompter prompter;
        MainController controller(dir.file("not-there/deeper"), prompter);
        QCOMPARE(controller.load(), ProgramOutcome::EndProgram);
        QCOMPARE(prompter.texts(),
            QStringList { "Unable to create INI file\r\r" + dir.file("not-there/deeper/TOLQ.INI")
                + " cannot be written: " + QString::fromLocal8Bit(std::strerror(ENOENT)) });
    }

    void unreadableFileEndsTheFirstActivation()
    {
        TemporaryProgramDirectory dir;
        ScriptedPrompter prompter;
        MainController controller(dir.path(), prompter);
        QCOMPARE(controller.load(), ProgramOutcome::Continue);
        QVERIFY(QFile::remove(dir.file("TOLQ.INI")));
        QVERIFY(QDir().mkpath(dir.file("TOLQ.INI")));
        FakeServices services;
        QCOMPARE(controller.activate(services, CommandLine {}), ProgramOutcome::EndProgram);
        QCOMPARE(prompter.texts(), QStringList { "Unable to read INI file\r\rThe path is not a file." });
        QVERIFY(!services.calls.contains("disk")); // nothing after the message
    }

    void activationOrder()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("TOLQ.INI"), "USE SOFTMATCH\r\n"));
        ScriptedPrompter prompter;
        MainController controller(dir.path(), prompter);
        QCOMPARE(controller.load(), ProgramOutcome::Continue);
        FakeServices services;
        services.colours = 256;
        QCOMPARE(controller.activate(services, CommandLine {}), ProgramOutcome::Continue);
        QCOMPARE(services.calls, (QStringList { "yield", "disk", "orientation", "colours", "yield" }));
        QCOMPARE(prompter.texts(),
            QStringList { "You should increase your screen color resolution for better performance..." });
        QVERIFY(!controller.session().ChangedSearch); // reading fired the handlers; start-up clears
        QVERIFY(!controller.firstActivation());

        // A later activation only rewrites the settings file.
        QVERIFY(writeFile(dir.file("TOLQ.INI"), "garbage"));
        services.calls.clear();
        QCOMPARE(controller.activate(services, CommandLine::parse("/GATHER")), ProgramOutcome::Continue);
        QVERIFY(services.calls.isEmpty());
        QVERIFY(readFile(dir.file("TOLQ.INI")).startsWith("[CURRENT LIST]\r\n"));
    }

    void commandLineParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("listName");
        QTest::addColumn<bool>("gather");
        QTest::newRow("empty") << ""
                               << "" << false;
        QTest::newRow("name and gather") << "Holiday /GATHER"
                                         << "Holiday" << true;
        QTest::newRow("gather in lower case") << "Holiday /gather"
                                              << "Holiday" << true;
        QTest::newRow("gather mixed case") << "/GaThEr"
                                           << "" << true;
        QTest::newRow("no slash: whole text, unchanged") << " My List "
                                                         << " My List " << false;
        QTest::newRow("other switch") << "Pics /FAST"
                                      << "Pics" << false;
        QTest::newRow("blank before slash") << "   /GATHER"
                                            << "" << true;
    }
    void commandLineParse()
    {
        QFETCH(QString, text);
        QFETCH(QString, listName);
        QFETCH(bool, gather);
        const CommandLine line = CommandLine::parse(text);
        QCOMPARE(line.listName, listName);
        QCOMPARE(line.gather, gather);
        QCOMPARE(CommandLine::fromArguments({ "tolq", "Holiday", "/GATHER" }), QStringLiteral("Holiday /GATHER"));
    }

    void commandLineLoadsListAndGathers()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("data/Holiday.lst"), "[DIRECTORIES]\r\n[] /pics/\r\n"));
        ScriptedPrompter prompter;
        MainController controller(dir.path(), prompter);
        QCOMPARE(controller.load(), ProgramOutcome::Continue);
        FakeServices services;
        services.controller = &controller;
        services.goOutcome = ProgramOutcome::EndProgram; // the gather run quits
        QCOMPARE(controller.activate(services, CommandLine::parse("Holiday /gather")), ProgramOutcome::EndProgram);
        QCOMPARE(controller.settings().listName, QStringLiteral("Holiday"));
        QCOMPARE(controller.settings().directories, QStringList { "[] /pics/" });
        QVERIFY(services.gatherAtGo);
        QVERIFY(services.gatherRunAtGo);
        QVERIFY(!controller.gatherRun()); // only that press
        QVERIFY(controller.session().ChangedSearch);
        QCOMPARE(services.calls.count("go"), 1);
    }

    void crashRecovery_data()
    {
        QTest::addColumn<bool>("scanning");
        QTest::addColumn<bool>("matching");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("goPresses");
        QTest::addColumn<bool>("scanningLeft");
        QTest::addColumn<bool>("matchingLeft");
        const int yes = int(MsgAnswer::Yes);
        const int no = int(MsgAnswer::No);
        QTest::newRow("none") << false << false << QList<int> {} << 0 << 0 << false << false;
        QTest::newRow("scan declined") << true << false << QList<int> { no } << 1 << 0 << false << false;
        QTest::newRow("scan accepted") << true << false << QList<int> { yes } << 1 << 1 << true << false;
        QTest::newRow("match declined") << false << true << QList<int> { no } << 1 << 0 << false << false;
        QTest::newRow("both, scan first") << true << true << QList<int> { no, yes } << 2 << 1 << false << true;
    }
    void crashRecovery()
    {
        QFETCH(bool, scanning);
        QFETCH(bool, matching);
        QFETCH(QList<int>, answers);
        QFETCH(int, questions);
        QFETCH(int, goPresses);
        QFETCH(bool, scanningLeft);
        QFETCH(bool, matchingLeft);
        TemporaryProgramDirectory dir;
        if (scanning)
            QVERIFY(writeFile(dir.file("Scanning.dat"), "12\r\n"));
        if (matching)
            QVERIFY(writeFile(dir.file("Matching.dat"), "5\r\n"));
        ScriptedPrompter prompter;
        for (int answer : answers)
            prompter.queueAnswer(MsgAnswer(answer));
        MainController controller(dir.path(), prompter);
        QCOMPARE(controller.load(), ProgramOutcome::Continue);
        FakeServices services;
        QCOMPARE(controller.activate(services, CommandLine {}), ProgramOutcome::Continue);
        QCOMPARE(prompter.messages().size(), questions);
        QCOMPARE(services.calls.count("go"), goPresses);
        QCOMPARE(QFile::exists(dir.file("Scanning.dat")), scanningLeft);
        QCOMPARE(QFile::exists(dir.file("Matching.dat")), matchingLeft);
        if (questions > 0) {
            const Message& first = prompter.messages().first();
            QCOMPARE(first.title, QStringLiteral("tolq! - Crash recovery"));
            QCOMPARE(first.buttons, MsgButtons::YesNo);
            QCOMPARE(first.icon, MsgIcon::Critical);
            QCOMPARE(first.text,
                scanning ? QStringLiteral(
                    "t'olq! appears to have crashed during a Pre-Scan.  Do you wish to continue the scan?")
                         : QStringLiteral(
                             "t'olq! appears to have crashed during a Pre-Match.  Do you wish to continue the scan?"));
        }
    }

    // A state file's place held by something other than a file offers nothing to resume: the
    // user is told, no question is asked, and what stands there is left to the user.
    void crashRecoveryFromAStandIn_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("standIn");
        QTest::newRow("Scanning.dat a FIFO") << "Scanning.dat"
                                             << "FIFO";
        QTest::newRow("Matching.dat a link to /dev/zero") << "Matching.dat"
                                                          << "/dev/zero";
    }
    void crashRecoveryFromAStandIn()
    {
        QFETCH(QString, file);
        QFETCH(QString, standIn);
        TemporaryProgramDirectory dir;
        QVERIFY(putStandIn(dir.file(file), standIn));
        ScriptedPrompter prompter;
        prompter.queueAnswer(MsgAnswer::Yes);
        MainController controller(dir.path(), prompter);
        QCOMPARE(controller.load(), ProgramOutcome::Continue);
        FakeServices services;
        QCOMPARE(controller.activate(services, CommandLine {}), ProgramOutcome::Continue);
        QCOMPARE(prompter.texts(), QStringList { "Unable to read " + dir.file(file) + "\r\rThe path is not a file." });
        QCOMPARE(services.calls.count("go"), 0);
        QVERIFY(QFileInfo::exists(dir.file(file)));
    }

    void quitStatistics_data()
    {
        QTest::addColumn<int>("deleted");
        QTest::addColumn<double>("bytes");
        QTest::addColumn<double>("sectorBytes");
        QTest::addColumn<double>("earlier");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing deleted")
            << 0 << 0.0 << 0.0 << 2114000.0 << 7
            << "0 file(s) deleted this session.\r\r0 bytes recovered, or . meg(s).\r\r"
               "Actual space adjusted for sector usage...\r0 bytes recovered, or . meg(s).\r__________\r\r"
               "Total recovered for all sessions...\r2114000 bytes recovered, or 2. meg(s).\r7 files deleted.";
        QTest::newRow("some deleted")
            << 3 << 2467993.0 << 528500.0 << 1057000.0 << 10
            << "3 file(s) deleted this session.\r\r2467993 bytes recovered, or 2.33 meg(s).\r\r"
               "Actual space adjusted for sector usage...\r528500 bytes recovered, or .5 meg(s).\r__________\r\r"
               "Total recovered for all sessions...\r1585500 bytes recovered, or 1.5 meg(s).\r10 files deleted.";
        QTest::newRow("large total") << 1 << 1304866500.0 << 1304866500.0 << 0.0 << 1
                                     << "1 file(s) deleted this session.\r\r1304866500 bytes recovered, or 1234.5 "
                                        "meg(s).\r\rActual space adjusted for sector usage...\r1304866500 bytes "
                                        "recovered, or 1234.5 meg(s).\r__________\r\rTotal recovered for all "
                                        "sessions...\r1304866500 bytes recovered, or 1234.5 meg(s).\r1 files deleted.";
    }
    void quitStatistics()
    {
        QFETCH(int, deleted);
        QFETCH(double, bytes);
        QFETCH(double, sectorBytes);
        QFETCH(double, earlier);
        QFETCH(int, total);
        QFETCH(QString, text);
        QCOMPARE(quitStatisticsText(deleted, bytes, sectorBytes, earlier, total), text);
    }

    void quitFlow_data()
    {
        QTest::addColumn<bool>("showStats");
        QTest::addColumn<bool>("gather");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("listName");
        QTest::addColumn<bool>("saveList");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("disabledLine");
        QTest::addColumn<bool>("listSaved");
        QTest::newRow("ok, general saved")
            << true << false << int(StatsAnswer::Ok) << "gEnEral" << false << 1 << false << true;
        QTest::newRow("switched off") << true << false << int(StatsAnswer::OkDoNotDisplay) << "Pics" << false << 1
                                      << true << false;
        QTest::newRow("closed counts as clear")
            << true << false << int(StatsAnswer::Closed) << "Pics" << true << 1 << false << true;
        QTest::newRow("gather shows nothing")
            << true << true << int(StatsAnswer::Ok) << "Pics" << false << 0 << false << false;
        QTest::newRow("stats off") << false << false << int(StatsAnswer::Ok) << "Pics" << false << 0 << true << false;
    }
    void quitFlow()
    {
        QFETCH(bool, showStats);
        QFETCH(bool, gather);
        QFETCH(int, answer);
        QFETCH(QString, listName);
        QFETCH(bool, saveList);
        QFETCH(int, shown);
        QFETCH(bool, disabledLine);
        QFETCH(bool, listSaved);
        TemporaryProgramDirectory dir;
        ScriptedPrompter prompter;
        MainController controller(dir.path(), prompter);
        QCOMPARE(controller.load(), ProgramOutcome::Continue);
        controller.session().ShowEndStats = showStats;
        controller.settings().gather = gather;
        controller.settings().listName = listName;
        controller.settings().saveList = saveList;
        FakeStats stats;
        stats.answer = StatsAnswer(answer);
        QCOMPARE(controller.quit(stats), ProgramOutcome::EndProgram);
        QCOMPARE(stats.shown.size(), shown);
        QCOMPARE(readFile(dir.file("TOLQ.INI")).contains("\r\nDISABLE END STATS MESSAGE\r\n"), disabledLine);
        QCOMPARE(QFile::exists(dir.file("data/" + listName + ".lst")), listSaved);
        if (StatsAnswer(answer) == StatsAnswer::OkDoNotDisplay) {
            QCOMPARE(prompter.messages().size(), 1);
            QCOMPARE(prompter.messages().first().icon, MsgIcon::Information);
            QCOMPARE(prompter.texts().first(), reenableStatisticsNote());
        } else {
            QVERIFY(prompter.messages().isEmpty());
        }
    }

    void placement_data()
    {
        // A window of 8000 by 5000 twips.
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("exactly 12000 wide: quarter") << QSize(12000, 100) << QPoint(1000, -1225);
        QTest::newRow("exactly 9000 high: quarter") << QSize(100, 9000) << QPoint(-1975, 1000);
        QTest::newRow("smaller on both axes: centred") << QSize(11999, 8999) << QPoint(2000, 2000);
        QTest::newRow("half twips to even") << QSize(12002, 9006) << QPoint(1000, 1002);
    }
    void placement()
    {
        QFETCH(QSize, screen);
        QFETCH(QPoint, place);
        QCOMPARE(MainController::placement(screen, QSize(8000, 5000)), place);
    }
};

QTEST_GUILESS_MAIN(tst_MainController)
#include "tst_MainController.moc"
