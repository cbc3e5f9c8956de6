#include "catalogue/CatalogueDatabase.h"
#include "platform/SingleInstance.h"
#include "platform/StateFile.h"

#include "FileSystemFixtures.h"
#include "SearchControlFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

int otherMonth()
{
    return QDate::currentDate().month() % 12 + 1;
}

const QStringList NewSearchCalls { "stopAnimation", "hide", "preScan", "wait done", "stopAnimation", "hide",
    "pair: t'olq! - NAME search" };

} // namespace

class tst_SearchControl : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refusals_data()
    {
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QString>("ifcd");
        QTest::addColumn<bool>("exclusive");
        QTest::addColumn<bool>("types");
        QTest::addColumn<bool>("slowMode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("gather"); // "run": the command line's, "box": ticked by hand
        QTest::newRow("no list name") << "  "
                                      << "" << false << true << false << "Please name and save the directory list."
                                      << "";
        QTest::newRow("list name leaving the data directory")
            << "../x"
            << "" << false << true << false << "Please name and save the directory list." << "";
        QTest::newRow("IFCD with exclusive") << "Pics"
                                             << " [] /in/ " << true << true << false
                                             << "You may not combine the IFCD and Exclusive search options..." << "";
        QTest::newRow("no file types") << "Pics"
                                       << "" << false << false << false << "You have not selected any file types..."
                                       << "";
        // Nobody is at the window of a gather run: a refusal ends it, with its own status. The
        // box ticked by hand leaves the user at the main window.
        QTest::newRow("no file types, gather run")
            << "Pics"
            << "" << false << false << false << "You have not selected any file types..." << "run";
        QTest::newRow("no file types, Gather and Quit ticked by hand")
            << "Pics"
            << "" << false << false << false << "You have not selected any file types..." << "box";
        QTest::newRow("IFCD with exclusive, Gather and Quit ticked by hand")
            << "Pics"
            << " [] /in/ " << true << true << false << "You may not combine the IFCD and Exclusive search options..."
            << "box";
        QTest::newRow("slow mode declined") << "Pics"
                                            << "" << false << true << true << SearchControl::slowModeWarning() << "";
    }
    void refusals()
    {
        QFETCH(QString, listName);
        QFETCH(QString, ifcd);
        QFETCH(bool, exclusive);
        QFETCH(bool, types);
        QFETCH(bool, slowMode);
        QFETCH(QString, message);
        QFETCH(QString, gather);
        Fixture f;
        f.settings().listName = listName;
        f.settings().ifcd = ifcd;
        f.settings().exclusive = exclusive;
        f.settings().fileTypes[9] = types;
        f.settings().gather = !gather.isEmpty();
        f.controller.setGatherRun(gather == "run");
        if (slowMode)
            f.settings().mode = ComparisonMode::Pattern;
        f.prompter.queueAnswer(MsgAnswer::No);
        const bool ends = gather == "run";
        QCOMPARE(f.search.go(), ends ? GoResult::ProgramEnded : GoResult::NotStarted);
        QCOMPARE(f.prompter.texts(), QStringList { message });
        QCOMPARE(f.host.calls, ends ? QStringList { "quit" } : QStringList {});
        QCOMPARE(f.controller.exitStatus(), ends ? ExitStatus::Refused : ExitStatus::Completed);
        QVERIFY(!f.search.searchRunning());
        QVERIFY(QFile::exists(f.dir.file("TOLQ.INI"))); // written before any test
        QVERIFY(!QFile::exists(f.database()));
        if (slowMode) {
            QCOMPARE(f.prompter.messages().first().title, QStringLiteral("Warning"));
            QCOMPARE(f.prompter.messages().first().buttons, MsgButtons::YesNo);
        }
    }

    void pressWhileRunningIsIgnored()
    {
        Fixture f;
        GoResult inner = GoResult::Reviewing;
        f.host.duringPreScan = [&] { inner = f.search.go(); };
        QCOMPARE(f.search.go(), GoResult::Reviewing);
        QCOMPARE(inner, GoResult::NotStarted);
        QVERIFY(f.prompter.messages().isEmpty());
        QCOMPARE(f.host.calls.count("preScan"), 1);
        QVERIFY(!f.search.searchRunning());
    }

    void generalIsSavedFirst()
    {
        Fixture f;
        f.settings().listName = "general";
        f.settings().fileTypes[9] = false;
        f.search.go();
        QVERIFY(QFile::exists(f.dir.file("data/general.lst")));
        QCOMPARE(f.prompter.texts(), QStringList { "You have not selected any file types..." });
        QCOMPARE(f.settings().filter, QStringLiteral("*")); // step 10 stays done
    }

    void autosaveReportsTheMissingNameFirst()
    {
        Fixture f;
        f.settings().listName = "";
        f.settings().saveList = true;
        QCOMPARE(f.search.go(), GoResult::NotStarted);
        QCOMPARE(f.prompter.texts(),
            QStringList({ "No list name...  Unable to save list...", "Please name and save the directory list." }));
        QVERIFY(f.host.calls.isEmpty());
    }

    void newSearchCopiesTheTemplate()
    {
        Fixture f;
        f.session().StoppedAtRecord = 9;
        f.settings().ifcd = "  [] /in/  ";
        QCOMPARE(f.search.go(), GoResult::Reviewing);
        QStringList expected = NewSearchCalls;
        expected.last() = "pair: t'olq! - NAME search, IFCD";
        QCOMPARE(f.host.calls, expected);
        QVERIFY(CatalogueDatabase::open(f.database()));
        QCOMPARE(f.session().StoppedAtRecord, 0);
        QCOMPARE(f.settings().ifcd, QStringLiteral("[] /in/"));
        QVERIFY(!QFile::exists(f.tag())); // no tag test for a new database
        QCOMPARE(f.compactions, 0);
        QVERIFY(f.prompter.messages().isEmpty());
    }

    void templateCopyFailureStartsNothing()
    {
        Fixture f;
        QFile::remove(f.dir.file("tolq.mdb"));
        QCOMPARE(f.search.go(), GoResult::NotStarted);
        QCOMPARE(f.prompter.messages().size(), 1);
        QVERIFY(f.prompter.texts().first().startsWith("Unable to create the list database from the template..."));
        QVERIFY(f.host.calls.isEmpty());
        QVERIFY(!QFile::exists(f.database()));
        QVERIFY(!f.search.searchRunning());
    }

    void monthTag_data()
    {
        QTest::addColumn<QByteArray>("tag"); // "-" for no tag file
        QTest::addColumn<int>("compactions");
        QTest::newRow("missing tag is created") << QByteArray("-") << 0;
        QTest::newRow("this month") << ListFiles::monthTagLine(QDate::currentDate().month()).toLatin1() << 0;
        QTest::newRow("another month") << ListFiles::monthTagLine(otherMonth()).toLatin1() << 1;
        QTest::newRow("empty tag counts as another month") << QByteArray("") << 1;
    }
    void monthTag()
    {
        QFETCH(QByteArray, tag);
        QFETCH(int, compactions);
        Fixture f;
        f.makeDatabase();
        if (tag != "-")
            QVERIFY(writeFile(f.tag(), tag + "\r\n"));
        f.host.resumeChoice = "NEW";
        QCOMPARE(f.search.go(), GoResult::Reviewing);
        QCOMPARE(f.compactions, compactions);
        QCOMPARE(f.tagText(), QString::number(QDate::currentDate().month()));
        QCOMPARE(f.notice.calls.size(), compactions * 2);
        QVERIFY(f.host.calls.contains("preScan"));
        QVERIFY(f.prompter.messages().isEmpty());
        // A second search in the same month does not compact again.
        f.search.go();
        QCOMPARE(f.compactions, compactions);
    }

    void failedCompactionLeavesDatabaseAndTag_data()
    {
        QTest::addColumn<int>("stage");
        QTest::newRow("copy") << int(CompactionStage::Copy);
        QTest::newRow("check") << int(CompactionStage::Verify);
        QTest::newRow("release") << int(CompactionStage::Release);
        QTest::newRow("rename") << int(CompactionStage::Rename);
    }
    void failedCompactionLeavesDatabaseAndTag()
    {
        QFETCH(int, stage);
        Fixture f;
        f.makeDatabase();
        {
            auto db = CatalogueDatabase::open(f.database());
            QVERIFY(db);
            db->execute("INSERT INTO FILES (RECNUM, NAME) VALUES (?, ?)", { 3, "A.JPG" });
        }
        const QByteArray tag = ListFiles::monthTagLine(otherMonth()).toLatin1() + "\r\n";
        QVERIFY(writeFile(f.tag(), tag));
        f.upkeep.setCompactor([&](const QString& source, const QString& work, QString* error) {
            ++f.compactions;
            return compactDatabase(
                source, work, error, [stage](CompactionStage at) { return at != CompactionStage(stage); });
        });
        f.host.resumeChoice = "NEW";
        QCOMPARE(f.search.go(), GoResult::Reviewing);
        QCOMPARE(f.compactions, 1);
        auto db = CatalogueDatabase::open(f.database());
        QVERIFY(db);
        QCOMPARE(db->queryValue("SELECT NAME FROM FILES WHERE RECNUM = 3").toString(), QStringLiteral("A.JPG"));
        QCOMPARE(readFile(f.tag()), tag);
        QVERIFY(!QFile::exists(f.upkeep.workFilePath()));
        QCOMPARE(f.prompter.texts(),
            QStringList { ListDatabaseUpkeep::compactionFailureText(f.controller.programDirectory()) });
        QCOMPARE(f.prompter.messages().first().icon, MsgIcon::Information);
        QVERIFY(f.host.calls.contains("preScan")); // the search goes on
    }

    void unreadableTagEndsTheProgram()
    {
        Fixture f;
        f.makeDatabase();
        QVERIFY(QDir().mkpath(f.tag())); // a directory cannot be read as a file
        f.host.resumeChoice = "NEW";
        QCOMPARE(f.search.go(), GoResult::ProgramEnded);
        QCOMPARE(f.prompter.texts(), QStringList { "Unable to read LIST TAG file\r\rThe path is not a file." });
        QCOMPARE(f.host.calls, QStringList({ "resume", "end" }));
        QCOMPARE(f.controller.exitStatus(), ExitStatus::Failed);
    }

    void stateFileShortcuts_data()
    {
        QTest::addColumn<QString>("stateFile");
        QTest::addColumn<bool>("preMatch");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("Scanning.dat") << "Scanning.dat" << false << NewSearchCalls;
        QTest::newRow("Matching.dat with pre-match")
            << "Matching.dat" << true
            << QStringList { "preMatch", "wait done", "stopAnimation", "hide", "pair: t'olq! - NAME search" };
        QTest::newRow("Matching.dat without pre-match")
            << "Matching.dat" << false << QStringList { "stopAnimation", "hide", "pair: t'olq! - NAME search" };
    }
    void stateFileShortcuts()
    {
        QFETCH(QString, stateFile);
        QFETCH(bool, preMatch);
        QFETCH(QStringList, calls);
        Fixture f;
        f.makeDatabase();
        QVERIFY(writeFile(f.dir.file(stateFile), "12\r\n"));
        // None of the checks of a new search applies: no types, a slow mode, an old tag.
        f.settings().fileTypes[9] = false;
        f.settings().mode = ComparisonMode::Name;
        f.settings().preMatch = preMatch;
        f.session().StoppedAtRecord = 7;
        QVERIFY(writeFile(f.tag(), ListFiles::monthTagLine(otherMonth()).toLatin1()));
        QCOMPARE(f.search.go(), GoResult::Reviewing);
        QCOMPARE(f.host.calls, calls);
        QCOMPARE(f.session().StoppedAtRecord, 7);
        QCOMPARE(f.session().SessionMode, QStringLiteral("NEW"));
        QCOMPARE(f.compactions, 0);
        QVERIFY(f.prompter.messages().isEmpty());
    }

    void startOrResume_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("stoppedAt");
        QTest::addColumn<QString>("searchCompleted");
        QTest::addColumn<QString>("choice"); // what Start leaves; empty: the dialog was closed
        QTest::addColumn<int>("answer"); // to the extra question, 0 when none is asked
        QTest::addColumn<QString>("offered");
        QTest::addColumn<bool>("resumed");
        QTest::newRow("resume chosen") << false << 5 << "YES"
                                       << "RESUME" << 0 << "RESUME" << true;
        QTest::newRow("closed without Start keeps resume") << false << 5 << "YES"
                                                           << "" << 0 << "RESUME" << true;
        QTest::newRow("new chosen") << false << 5 << "YES"
                                    << "NEW" << 0 << "RESUME" << false;
        QTest::newRow("scan unfinished, resume anyway") << false << 5 << "NO"
                                                        << "RESUME" << int(MsgAnswer::Yes) << "RESUME" << true;
        QTest::newRow("scan unfinished, declined") << false << 5 << "NO"
                                                   << "RESUME" << int(MsgAnswer::No) << "RESUME" << false;
        QTest::newRow("changed search offers new only") << true << 5 << "YES"
                                                        << "" << 0 << "NEW" << false;
        QTest::newRow("no resume point offers new only") << false << 0 << "YES"
                                                         << "" << 0 << "NEW" << false;
    }
    void startOrResume()
    {
        QFETCH(bool, changed);
        QFETCH(int, stoppedAt);
        QFETCH(QString, searchCompleted);
        QFETCH(QString, choice);
        QFETCH(int, answer);
        QFETCH(QString, offered);
        QFETCH(bool, resumed);
        Fixture f;
        f.makeDatabase();
        QVERIFY(writeFile(f.tag(), ListFiles::monthTagLine(QDate::currentDate().month()).toLatin1()));
        f.settings().mode = ComparisonMode::Pattern; // the warning shows only for a new search
        f.session().ChangedSearch = changed;
        f.session().StoppedAtRecord = stoppedAt;
        f.session().SearchCompleted = searchCompleted;
        if (!choice.isEmpty())
            f.host.resumeChoice = choice;
        if (answer)
            f.prompter.queueAnswer(MsgAnswer(answer));
        QCOMPARE(f.search.go(), GoResult::Reviewing);
        QCOMPARE(f.host.modeAtResume, offered);
        QCOMPARE(f.host.calls.first(), QStringLiteral("resume"));
        QCOMPARE(f.host.calls.contains("preScan"), !resumed);
        QCOMPARE(f.host.calls.last(), QStringLiteral("pair: t'olq! - PATTERN search"));
        QCOMPARE(f.session().StoppedAtRecord, resumed ? stoppedAt : 0);
        QStringList texts;
        if (answer)
            texts << SearchControl::resumeAnywayQuestion();
        if (!resumed)
            texts << SearchControl::slowModeWarning();
        QCOMPARE(f.prompter.texts(), texts);
        if (answer)
            QCOMPARE(f.prompter.messages().first().title, QStringLiteral("Resume session?"));
    }

    void gatherQuitsAfterThePreScan_data()
    {
        QTest::addColumn<bool>("databaseExists");
        QTest::addColumn<QString>("preScan"); // how the pre-scan ended
        QTest::addColumn<ExitStatus>("status");
        QTest::newRow("new database") << false << "completed" << ExitStatus::Completed;
        QTest::newRow("database kept, no dialog") << true << "completed" << ExitStatus::Completed;
        QTest::newRow("pre-scan quit") << true << "quit" << ExitStatus::Quit;
        QTest::newRow("pre-scan failed") << true << "failed" << ExitStatus::Failed;
    }
    void gatherQuitsAfterThePreScan()
    {
        QFETCH(bool, databaseExists);
        QFETCH(QString, preScan);
        QFETCH(ExitStatus, status);
        Fixture f;
        if (databaseExists) {
            f.makeDatabase();
            QVERIFY(writeFile(f.tag(), ListFiles::monthTagLine(QDate::currentDate().month()).toLatin1()));
        }
        f.settings().gather = true;
        f.settings().mode = ComparisonMode::QuadrantRgb;
        f.session().StoppedAtRecord = 4;
        f.session().PreScanFailed = true; // left by an earlier search
        f.host.duringPreScan = [&] {
            f.session().SearchCompleted = preScan == "completed" ? "YES" : "NO";
            f.session().PreScanFailed = preScan == "failed";
        };
        QCOMPARE(f.search.go(), GoResult::Gathered);
        QCOMPARE(f.host.calls, QStringList({ "stopAnimation", "hide", "preScan", "wait done", "quit" }));
        QCOMPARE(f.controller.exitStatus(), status);
        QVERIFY(f.prompter.messages().isEmpty());
        QCOMPARE(f.session().StoppedAtRecord, databaseExists ? 4 : 0);
        QVERIFY(!f.search.searchRunning());
    }

    // A pre-scan or a pre-match cycle that failed ends the search with the main window back; a
    // pre-scan that was quit goes on to the review as a completed one does.
    void preScanOutcomeOfAnInteractiveSearch_data()
    {
        QTest::addColumn<QString>("failed"); // the stage that failed
        QTest::addColumn<GoResult>("result");
        QTest::addColumn<QString>("last");
        QTest::newRow("failed") << "pre-scan" << GoResult::NotStarted << "show";
        QTest::newRow("quit") << "" << GoResult::Reviewing << "pair: t'olq! - NAME search";
        QTest::newRow("pre-match failed") << "pre-match" << GoResult::NotStarted << "show";
    }
    void preScanOutcomeOfAnInteractiveSearch()
    {
        QFETCH(QString, failed);
        QFETCH(GoResult, result);
        QFETCH(QString, last);
        Fixture f;
        f.settings().preMatch = true;
        f.session().PrematchFailed = true; // left by an earlier search
        f.host.duringPreScan = [&] {
            f.session().SearchCompleted = "NO";
            f.session().PreScanFailed = failed == "pre-scan";
        };
        f.host.duringPreMatch = [&] { f.session().PrematchFailed = failed == "pre-match"; };
        QCOMPARE(f.search.go(), result);
        QCOMPARE(f.host.calls.last(), last);
        QCOMPARE(f.host.calls.contains("preMatch"), failed != "pre-scan");
        QVERIFY(!f.search.searchRunning());
        QCOMPARE(f.controller.exitStatus(), ExitStatus::Completed);
    }

    // A left Matching.dat sends a gather run past the pre-scan. Where windows show, it goes on to
    // the review, which clears the box; where nobody can see them, the interrupted cycle is
    // finished (pre-match ticked or not) and the program ends with how it went.
    void gatherRunFindsMatchingDat_data()
    {
        QTest::addColumn<bool>("windows");
        QTest::addColumn<bool>("cycleFinishes");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<ExitStatus>("status");
        QTest::newRow("windows show: the review")
            << true << true << QStringList { "stopAnimation", "hide", "pair: t'olq! - NAME search" }
            << ExitStatus::Completed;
        QTest::newRow("no display: the cycle, then the end")
            << false << true << QStringList { "preMatch", "wait done", "quit" } << ExitStatus::Completed;
        QTest::newRow("no display, the cycle could not run")
            << false << false << QStringList { "preMatch", "wait done", "quit" } << ExitStatus::Failed;
    }
    void gatherRunFindsMatchingDat()
    {
        QFETCH(bool, windows);
        QFETCH(bool, cycleFinishes);
        QFETCH(QStringList, calls);
        QFETCH(ExitStatus, status);
        Fixture f;
        const QString matching = f.dir.file("Matching.dat");
        QVERIFY(writeFile(matching, "3\r\n"));
        f.host.windows = windows;
        f.host.duringPreMatch = [&] {
            if (cycleFinishes)
                QFile::remove(matching);
        };
        f.settings().gather = true;
        f.controller.setGatherRun(true);
        f.session().ChangedSearch = false;
        QCOMPARE(f.search.go(), windows ? GoResult::Reviewing : GoResult::Gathered);
        QCOMPARE(f.host.calls, calls);
        QCOMPARE(f.controller.exitStatus(), status);
        QCOMPARE(f.settings().gather, !windows);
        QCOMPARE(f.session().ChangedSearch, windows); // the box's change handler ran
        QVERIFY(!f.search.searchRunning());
    }

    void preMatchAndSnapshot()
    {
        Fixture f;
        f.settings().preMatch = true;
        f.settings().snapshot = true;
        QCOMPARE(f.search.go(), GoResult::Reviewing);
        QCOMPARE(f.host.calls,
            QStringList({ "stopAnimation", "hide", "preScan", "wait done", "preMatch", "wait done", "stopAnimation",
                "hide", "snapshot: t'olq! - NAME search" }));
    }

    void captions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("soft");
        QTest::addColumn<bool>("ignore");
        QTest::addColumn<QString>("ifcd");
        QTest::addColumn<QString>("caption");
        QTest::newRow("name") << int(ComparisonMode::Name) << false << false << ""
                              << "t'olq! - NAME search";
        QTest::newRow("size") << int(ComparisonMode::Size) << false << false << ""
                              << "t'olq! - SIZE search";
        QTest::newRow("name and size") << int(ComparisonMode::NameAndSize) << false << true << ""
                                       << "t'olq! - NAME and SIZE search, IGNORE TYPE";
        QTest::newRow("numbered") << int(ComparisonMode::Numbered) << false << false << ""
                                  << "t'olq! - NUMBERED search";
        QTest::newRow("average") << int(ComparisonMode::AverageRgb) << true << false << ""
                                 << "t'olq! - AVERAGE RGB search, SOFT MATCHING";
        QTest::newRow("quadrant") << int(ComparisonMode::QuadrantRgb) << false << false << ""
                                  << "t'olq! - QUADRANT RGB search";
        QTest::newRow("pattern soft IFCD") << int(ComparisonMode::Pattern) << true << false << "[] /in/"
                                           << "t'olq! - PATTERN search, SOFT MATCHING, IFCD";
        QTest::newRow("checksum all") << int(ComparisonMode::Checksum) << true << true << "[] /in/"
                                      << "t'olq! - CHECKSUM search, SOFT MATCHING, IGNORE TYPE, IFCD";
        QTest::newRow("blank IFCD") << int(ComparisonMode::Checksum) << false << false << "   "
                                    << "t'olq! - CHECKSUM search";
    }
    void captions()
    {
        QFETCH(int, mode);
        QFETCH(bool, soft);
        QFETCH(bool, ignore);
        QFETCH(QString, ifcd);
        QFETCH(QString, caption);
        MainSettings s;
        s.mode = ComparisonMode(mode);
        s.softMatch = soft;
        s.ignoreExtension = ignore;
        s.ifcd = ifcd;
        QCOMPARE(SearchControl::reviewCaption(s), caption);
    }

    // Something other than a file where the program keeps one of its files is refused at once,
    // saying why: never waited on, never read without end. A check that hangs is killed at its
    // deadline and fails.
    void programFileThatIsNotAFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("standIn");
        QTest::addColumn<QString>("told"); // %1: the file's path
        const QString notAFile = QStringLiteral("\r\rThe path is not a file.");
        const QList<QPair<QString, QString>> files {
            { "TOLQ.INI", "Unable to read INI file" + notAFile },
            { "data/Pics.lst", "Unable to read DIR LIST file" },
            { "data/Pics.lcd", "Unable to read LIST TAG file" + notAFile },
            { "tolq.mdb",
                "Unable to create the list database from the template...\r\rThe template %1 cannot be read."
                    + notAFile },
            { "tolq.lock", "Unable to lock %1" + notAFile },
            { "Scanning.dat", "Unable to read %1" + notAFile },
            { "Matching.dat", "Unable to read %1" + notAFile },
            { "Decoding.dat", "Unable to read %1" + notAFile },
        };
        for (const auto& [file, told] : files) {
            for (const QString& standIn : standInKinds())
                QTest::newRow(qPrintable(file + " as " + standIn)) << file << standIn << told;
        }
        // Regular files all the same, which no read may take whole: /proc/self/pagemap says it
        // is empty and never ends, the others are larger than any the program writes.
        const QString endless
            = QStringLiteral("\r\rThe file cannot be read (%1).").arg(QString::fromLocal8Bit(std::strerror(EINVAL)));
        QTest::newRow("tolq.lock as /proc/self/pagemap") << "tolq.lock"
                                                         << "/proc/self/pagemap"
                                                         << "Unable to lock %1" + endless;
        const auto larger = [](qint64 most) { return "\r\rThe file is larger than " + QString::number(most) + " bytes."; };
        for (const char* file : { "Scanning.dat", "Matching.dat" }) {
            QTest::addRow("%s as /proc/self/pagemap", file) << file << "/proc/self/pagemap"
                                                            << "Unable to read %1" + endless;
            for (const char* size : { "65537", "10G" })
                QTest::addRow("%s of %s bytes", file, size) << file << size << "Unable to read %1" + larger(MaxStateBytes);
        }
        QTest::newRow("tolq.lock of 10G bytes")
            << "tolq.lock" << "10G" << "Unable to lock %1" + larger(SingleInstance::MostLockBytes);
        // The pre-scan's record is its own file, never one a link leads to.
        for (const QString standIn : { "dangling link", "link to a file" })
            QTest::newRow(qPrintable("Decoding.dat as " + standIn))
                << "Decoding.dat" << standIn << "Unable to read %1" + notAFile;
    }
    void programFileThatIsNotAFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, standIn);
        QFETCH(QString, told);
        Fixture f;
        f.settings().gather = true; // no resume dialog before the tag is read
        if (file.endsWith(".lcd"))
            f.makeDatabase();
        const QString path = f.dir.file(file);
        if (standIn.front().isDigit()) {
            // Sparse: the size costs no disk.
            QVERIFY(writeFile(path, "1\r\n"));
            const off_t size = standIn.endsWith('G') ? 10LL << 30 : standIn.toLongLong();
            QVERIFY(::truncate(QFile::encodeName(path).constData(), size) == 0);
        } else {
            QVERIFY(putStandIn(path, standIn));
        }
        const QString answer = runInChild(
            [&] {
                if (file == "tolq.lock") {
                    SingleInstance instance(f.dir.path());
                    return instance.refusalText(instance.acquire());
                }
                if (file == "TOLQ.INI")
                    f.controller.readINI();
                else if (file.endsWith(".lst"))
                    f.controller.loadList("Pics");
                else
                    f.search.go();
                return f.prompter.texts().join('|');
            },
            5);
        QCOMPARE(answer, told.arg(path));
        QVERIFY2(QFileInfo(path).isSymLink() || QFileInfo::exists(path), "what stood there is gone");
    }
};

QTEST_GUILESS_MAIN(tst_SearchControl)
#include "tst_SearchControl.moc"
