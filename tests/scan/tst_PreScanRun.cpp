// The pre-scan run from start to end: housekeeping, Scanning.dat, quit and pause, re-activation,
// the end of a run, Abort and the resumed run.

#include "FileSystemFixtures.h"
#include "ScanFixture.h"
#include "TestSupport.h"

#include "scan/ScanningFile.h"

#include <QScopeGuard>
#include <QtTest>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class tst_PreScanRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void housekeeping_data();
    void housekeeping();
    void scanningFileLifeCycle();
    void quitStopsTheRun();
    void pauseHoldsTheRun();
    void reactivation();
    void reactivationWarnings_data();
    void reactivationWarnings();
    void endOfRun_data();
    void endOfRun();
    void mediaPrompt_data();
    void mediaPrompt();
    void fixJpeg_data();
    void fixJpeg();
    void abortKeepsScanningFile();
    void failureEndsTheRun_data();
    void failureEndsTheRun();
    void resumePoints_data();
    void resumePoints();
    void resumedRunEqualsUninterrupted_data();
    void resumedRunEqualsUninterrupted();
    void pathsDifferingInCase_data();
    void pathsDifferingInCase();
};

namespace {

void fourEntries(ScanFixture& f)
{
    for (int d = 0; d < 4; ++d) {
        const QString dir = QStringLiteral("e%1").arg(d);
        for (int i = 0; i < 3; ++i)
            f.image(dir, QStringLiteral("img%1.jpg").arg(i), d * 5 + i, QSize(140 + 9 * i, 110));
        f.settings.directories << f.entry(dir);
    }
}

} // namespace

void tst_PreScanRun::housekeeping_data()
{
    QTest::addColumn<bool>("threeMonthPurge");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("three-month purge") << true << QStringList { "recent.jpg" };
    QTest::newRow("no three-month purge") << false << QStringList { "old.jpg", "recent.jpg" };
}

void tst_PreScanRun::housekeeping()
{
    QFETCH(bool, threeMonthPurge);
    QFETCH(QStringList, left);
    ScanFixture f;
    f.bytes(QStringLiteral("a"), QStringLiteral("deleted.jpg"), "1");
    f.bytes(QStringLiteral("a"), QStringLiteral("old.jpg"), "22");
    f.bytes(QStringLiteral("a"), QStringLiteral("recent.jpg"), "333");
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    f.run();
    f.execute(QStringLiteral("UPDATE FILES SET RTAG = 'D' WHERE DISKNAME = 'deleted.jpg'"));
    f.execute(QStringLiteral("UPDATE FILES SET ACCESSED = 202608 WHERE DISKNAME = 'old.jpg'"));
    f.execute(QStringLiteral("UPDATE FILES SET ACCESSED = 202609 WHERE DISKNAME = 'recent.jpg'"));
    f.settings.directories.clear(); // nothing claims the rows again
    f.session.ThreeMonthPurge = threeMonthPurge;
    f.view.directories.clear();
    f.prompter.clear();
    f.run();
    QStringList names;
    for (const CatalogueRecord& r : f.rows()) {
        names << r.DISKNAME;
        QCOMPARE(r.ACTIVE, QStringLiteral(" "));
        QCOMPARE(r.RECNUM, 0.0);
        QCOMPARE(r.REF, r.STAG);
    }
    names.sort();
    QCOMPARE(names, left);
    QStringList captions { QStringLiteral("Preparing database...Purging deleted records") };
    if (threeMonthPurge)
        captions << QStringLiteral("Preparing database...Purging records not accessed for 3 months");
    captions << QStringLiteral("Preparing database...Clearing tags from last search");
    QCOMPARE(f.view.directories, captions);
    QCOMPARE(f.prompter.texts(), QStringList { QStringLiteral("0 files read...") });
}

void tst_PreScanRun::scanningFileLifeCycle()
{
    ScanFixture f;
    f.bytes(QStringLiteral("a"), QStringLiteral("one.jpg"), "1");
    f.bytes(QStringLiteral("b"), QStringLiteral("two.jpg"), "2");
    f.settings.directories = { f.entry(QStringLiteral("a")), f.entry(QStringLiteral("b")) };
    QStringList seen;
    f.view.onNumber = [&](const QString&) { seen << QString::fromLatin1(readFile(f.scanningFile())); };
    auto engine = f.engine();
    QVERIFY(!QFile::exists(f.scanningFile()));
    QCOMPARE(engine->RunPreScan(), PreScanEngine::Outcome::Completed);
    QCOMPARE(seen, (QStringList { " 0\r\n", " 1\r\n" }));
    // The re-activation pass leaves it naming the last entry; the unload deletes it.
    QCOMPARE(readFile(f.scanningFile()), QByteArray(" 1\r\n"));
    engine->unload();
    QVERIFY(!QFile::exists(f.scanningFile()));
    QVERIFY(engine->QuitRequested());
}

void tst_PreScanRun::quitStopsTheRun()
{
    ScanFixture f;
    f.setType(".PNG", true);
    f.bytes(QStringLiteral("a"), QStringLiteral("a1.jpg"), "1");
    f.bytes(QStringLiteral("a"), QStringLiteral("a2.jpg"), "2");
    f.bytes(QStringLiteral("a"), QStringLiteral("a3.jpg"), "3");
    f.bytes(QStringLiteral("a"), QStringLiteral("a4.png"), "4");
    f.bytes(QStringLiteral("b"), QStringLiteral("b1.jpg"), "5");
    f.session.ReactivateDrives = f.tree();
    f.settings.directories = { f.entry(QStringLiteral("a")), f.entry(QStringLiteral("b")) };
    f.run();
    QCOMPARE(f.rows().size(), 5);
    std::unique_ptr<PreScanEngine> engine = f.engine();
    f.view.onNumber = [&](const QString& number) {
        if (number == QLatin1String("2 found..."))
            engine->requestQuit();
    };
    QCOMPARE(engine->RunPreScan(), PreScanEngine::Outcome::Quit);
    engine->unload();
    // The second file is still handled; nothing after it, and nothing is re-activated.
    QStringList active;
    for (const CatalogueRecord& r : f.rows(QStringLiteral("ACTIVE = 'X'")))
        active << r.DISKNAME;
    active.sort();
    QCOMPARE(active, (QStringList { "a1.jpg", "a2.jpg" }));
    QCOMPARE(f.session.SearchCompleted, QStringLiteral("NO"));
    QCOMPARE(f.session.NumFilesFound, 2);
    QVERIFY(!QFile::exists(f.scanningFile()));
    QCOMPARE(f.prompter.texts().last(), QStringLiteral("2 files read..."));
}

void tst_PreScanRun::pauseHoldsTheRun()
{
    ScanFixture f;
    for (int i = 1; i <= 3; ++i)
        f.bytes(QStringLiteral("a"), QStringLiteral("f%1.jpg").arg(i), QByteArray::number(i));
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    std::unique_ptr<PreScanEngine> engine = f.engine();
    f.view.onNumber = [&](const QString& number) {
        if (number == QLatin1String("1 found..."))
            engine->togglePause();
    };
    // Quit pressed during the pause, then Pause again: the current file is handled, then the run stops.
    f.yielder.onSleep = [&](int sleeps) {
        if (sleeps == 2)
            engine->requestQuit();
        if (sleeps == 3)
            engine->togglePause();
    };
    QCOMPARE(engine->RunPreScan(), PreScanEngine::Outcome::Quit);
    engine->unload();
    QCOMPARE(f.yielder.sleeps, (QList<int> { 2000, 2000, 2000 }));
    QCOMPARE(f.view.captions.count(QStringLiteral("tolq! - Paused")), 3);
    QCOMPARE(f.view.numbers, (QStringList { "1 found...", "2 found..." }));
    QCOMPARE(f.rows(QStringLiteral("ACTIVE = 'X'")).size(), 2);
}

void tst_PreScanRun::reactivation()
{
    ScanFixture f;
    f.settings.mode = ComparisonMode::Pattern;
    f.image(QStringLiteral("media"), QStringLiteral("m1.jpg"), 1);
    f.image(QStringLiteral("media"), QStringLiteral("m2.jpg"), 2);
    f.image(QStringLiteral("media"), QStringLiteral("skip.jpg"), 3);
    f.image(QStringLiteral("fixed"), QStringLiteral("f1.jpg"), 4);
    f.settings.directories = { f.entry(QStringLiteral("media")), f.entry(QStringLiteral("fixed")) };
    f.run();
    // The medium is gone; its rows take part all the same, without being read.
    QVERIFY(QDir(f.dir(QStringLiteral("media"))).removeRecursively());
    f.execute(QStringLiteral("UPDATE FILES SET PXLRAY = ' ' WHERE DISKNAME = 'm2.jpg'"));
    f.session.ReactivateDrives = QStringLiteral("/nowhere|") + f.dir(QStringLiteral("media")).chopped(1);
    f.settings.filter = QStringLiteral("m*,f*");
    f.view.numbers.clear();
    f.prompter.clear();
    f.run();
    QStringList active;
    for (const CatalogueRecord& r : f.rows(QStringLiteral("ACTIVE = 'X'")))
        active << QStringLiteral("%1 %2").arg(r.RECNUM).arg(r.DISKNAME);
    active.sort();
    // The scan pass counts first (f1), then the re-activation in the order of the rows.
    QCOMPARE(active, (QStringList { "1 f1.jpg", "2 m1.jpg", "3 m2.jpg" }));
    QCOMPARE(f.rows(QStringLiteral("DISKNAME = 'skip.jpg'")).first().ACTIVE, QStringLiteral(" "));
    QCOMPARE(f.view.directories.last(),
        QStringLiteral("Activating ") + f.dir(QStringLiteral("media")) + QStringLiteral(" M2.JPG"));
    QCOMPARE(f.view.numbers.last(), QStringLiteral("3 found..."));
    QVERIFY(f.prompter.texts().first().contains(QLatin1String("Pattern information has not been Gathered")));
    QCOMPARE(f.session.SearchCompleted, QStringLiteral("YES"));
}

void tst_PreScanRun::reactivationWarnings_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("blanked");
    QTest::addColumn<QStringList>("titles");
    const QString warning = QStringLiteral("t'olq! - Warning");
    const QString plain = QStringLiteral("Tolq");
    QTest::newRow("checksum missing in CHECKSUM mode")
        << int(ComparisonMode::Checksum) << "CHECKSUM" << QStringList { warning, plain };
    QTest::newRow("RGB missing in AVERAGE RGB mode")
        << int(ComparisonMode::AverageRgb) << "RGB" << QStringList { warning, plain };
    QTest::newRow("pattern missing in AVERAGE RGB mode: no warning")
        << int(ComparisonMode::AverageRgb) << "PXLRAY" << QStringList { plain };
    QTest::newRow("RGB missing in QUADRANT RGB mode")
        << int(ComparisonMode::QuadrantRgb) << "RGB" << QStringList { warning, plain };
}

void tst_PreScanRun::reactivationWarnings()
{
    QFETCH(int, mode);
    QFETCH(QString, blanked);
    QFETCH(QStringList, titles);
    ScanFixture f;
    f.settings.gather = true;
    f.image(QStringLiteral("media"), QStringLiteral("m1.jpg"), 1);
    f.settings.directories = { f.entry(QStringLiteral("media")) };
    f.run();
    QVERIFY(QDir(f.dir(QStringLiteral("media"))).removeRecursively());
    f.execute(QStringLiteral("UPDATE FILES SET %1 = ' '").arg(blanked));
    f.settings.gather = false;
    f.settings.mode = ComparisonMode(mode);
    f.session.ReactivateDrives = f.tree();
    f.run();
    QStringList seen;
    for (const Message& m : f.prompter.messages())
        seen << m.title;
    QCOMPARE(seen, titles);
    if (titles.size() > 1)
        QCOMPARE(f.prompter.messages().first().icon, MsgIcon::Exclamation);
}

void tst_PreScanRun::endOfRun_data()
{
    QTest::addColumn<bool>("gather");
    QTest::addColumn<bool>("preMatch");
    QTest::addColumn<bool>("noSound");
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QString>("undecodable"); // what is named in bytes that are not UTF-8: "files", "directory"
    QTest::newRow("count message and a beep")
        << false << false << false << QStringList {} << QStringList { "2 files read..." } << 1 << QString();
    QTest::newRow("a sound file") << false << false << false << QStringList { "/s/a.wav" }
                                  << QStringList { "2 files read..." } << 0 << QString();
    QTest::newRow("gather: no messages") << true << false << false << QStringList {} << QStringList {} << 1
                                         << QString();
    QTest::newRow("pre-match: no messages, no sound")
        << false << true << true << QStringList {} << QStringList {} << 0 << QString();
    // Such a name would not open again from its text: passed over, and the count told whatever
    // the options.
    const QString passedOver = QStringLiteral("1 files were passed over: their names are not valid UTF-8 text, so "
                                              "they cannot be catalogued.  Rename them to include them in a search.");
    QTest::newRow("names not UTF-8 passed over and counted")
        << false << false << false << QStringList {} << QStringList { passedOver, "2 files read..." } << 1 << "files";
    QTest::newRow("names not UTF-8, gather: the count alone")
        << true << false << false << QStringList {} << QStringList { passedOver } << 1 << "files";
    QTest::newRow("names not UTF-8, pre-match: the count alone")
        << false << true << false << QStringList {} << QStringList { passedOver } << 1 << "files";
    QTest::newRow("names not UTF-8, gather and pre-match: the count alone")
        << true << true << true << QStringList {} << QStringList { passedOver } << 0 << "files";
    // A listed directory named so cannot be opened from its text either.
    const QString directoryPassedOver = QStringLiteral("1 directories were passed over: their names are not valid "
                                                       "UTF-8 text, so they cannot be read.  Rename them to include "
                                                       "them in a search.");
    QTest::newRow("a directory not UTF-8 passed over and counted")
        << false << false << false << QStringList {} << QStringList { directoryPassedOver, "2 files read..." } << 1
        << "directory";
    QTest::newRow("a directory not UTF-8, gather: the count alone")
        << true << false << false << QStringList {} << QStringList { directoryPassedOver } << 1 << "directory";
}

void tst_PreScanRun::endOfRun()
{
    QFETCH(bool, gather);
    QFETCH(bool, preMatch);
    QFETCH(bool, noSound);
    QFETCH(QStringList, sounds);
    QFETCH(QStringList, texts);
    QFETCH(int, beeps);
    QFETCH(QString, undecodable);
    ScanFixture f;
    f.bytes(QStringLiteral("a"), QStringLiteral("x1.jpg"), "1");
    f.bytes(QStringLiteral("a"), QStringLiteral("x2.jpg"), "2");
    // Latin-1 bytes; the .png is of a type not ticked and is not counted. Removed by their bytes:
    // the temporary directory cannot remove what it cannot name.
    const QByteArray dir = QFile::encodeName(f.dir(QStringLiteral("a")));
    const QList<QByteArray> rawNames { dir + "caf\xe9.jpg", dir + "\xff\xfe.png" };
    for (const QByteArray& path : rawNames)
        QVERIFY(
            undecodable != QLatin1String("files") || ::close(::open(path.constData(), O_WRONLY | O_CREAT, 0644)) == 0);
    const QByteArray rawDirectory = QFile::encodeName(f.tree()) + "/b\xff";
    QVERIFY(undecodable != QLatin1String("directory") || ::mkdir(rawDirectory.constData(), 0755) == 0);
    const auto removeRaw = qScopeGuard([&] {
        for (const QByteArray& path : rawNames)
            ::unlink(path.constData());
        ::rmdir(rawDirectory.constData());
    });
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    if (undecodable == QLatin1String("directory"))
        f.settings.directories << QStringLiteral("[TEST] ") + QFile::decodeName(rawDirectory) + QLatin1Char('/');
    f.settings.gather = gather;
    f.settings.preMatch = preMatch;
    f.settings.noSound = noSound;
    f.session.SoundFiles = sounds;
    f.run();
    QCOMPARE(f.prompter.texts(), texts);
    QCOMPARE(f.sound.beeps, beeps);
    QCOMPARE(f.sound.played, sounds);
    QCOMPARE(f.session.FilesRead, 2.0);
}

void tst_PreScanRun::mediaPrompt_data()
{
    QTest::addColumn<bool>("reactivated");
    QTest::addColumn<int>("prompts");
    QTest::newRow("missing directory on a removable disk: asked until Cancel") << false << 2;
    QTest::newRow("re-activated mount point: never asked") << true << 0;
}

void tst_PreScanRun::mediaPrompt()
{
    QFETCH(bool, reactivated);
    QFETCH(int, prompts);
    ScanFixture f;
    f.bytes(QStringLiteral("here"), QStringLiteral("h.jpg"), "1");
    VolumeInfo disk;
    disk.mountPoint = f.tree();
    disk.label = QStringLiteral("TEST");
    disk.kind = DriveKind::Removable;
    f.volumes.add(disk);
    f.session.DisableFilePolling = false;
    if (reactivated)
        f.session.ReactivateDrives = f.tree();
    f.settings.directories
        = { QStringLiteral("[DISK] ") + f.dir(QStringLiteral("gone")), f.entry(QStringLiteral("here")) };
    f.prompter.queueAnswer(MsgAnswer::Ok);
    f.prompter.queueAnswer(MsgAnswer::Cancel);
    f.run();
    int asked = 0;
    for (const Message& m : f.prompter.messages()) {
        if (m.title == QLatin1String("t'olq! - Cannot find DIRECTORY...")) {
            ++asked;
            QVERIFY(
                m.text.startsWith(QStringLiteral("[DISK] ") + f.dir(QStringLiteral("gone")) + QStringLiteral("\r\r")));
        }
    }
    QCOMPARE(asked, prompts);
    // The missing entry finds nothing; the run goes on with the next one.
    QCOMPARE(f.rows().size(), 1);
    QCOMPARE(f.session.SearchCompleted, QStringLiteral("YES"));
}

void tst_PreScanRun::fixJpeg_data()
{
    QTest::addColumn<bool>("fixJpeg");
    QTest::addColumn<bool>("jpgTicked");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("ticked with .JPG") << true << true << QStringList { "a.jpg", "a1.jpg", "b.jpg" };
    QTest::newRow("not ticked") << false << true << QStringList { "a.jpeg", "a.jpg", "b.jpe" };
    QTest::newRow(".JPG not ticked") << true << false << QStringList { "a.jpeg", "a.jpg", "b.jpe" };
}

void tst_PreScanRun::fixJpeg()
{
    QFETCH(bool, fixJpeg);
    QFETCH(bool, jpgTicked);
    QFETCH(QStringList, files);
    ScanFixture f;
    f.bytes(QStringLiteral("a"), QStringLiteral("a.jpeg"), "1");
    f.bytes(QStringLiteral("a"), QStringLiteral("a.jpg"), "2");
    f.bytes(QStringLiteral("a"), QStringLiteral("b.jpe"), "3");
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    f.settings.fixJpeg = fixJpeg;
    f.setType(".JPG", jpgTicked);
    f.setType(".PNG", !jpgTicked);
    f.run();
    QStringList found = QDir(f.dir(QStringLiteral("a"))).entryList(QDir::Files, QDir::Name);
    QCOMPARE(found, files);
    QCOMPARE(f.rows().size(), jpgTicked ? (fixJpeg ? 3 : 1) : 0);
}

void tst_PreScanRun::abortKeepsScanningFile()
{
    ScanFixture f;
    fourEntries(f);
    std::unique_ptr<PreScanEngine> engine = f.engine();
    f.view.onNumber = [&](const QString& number) {
        if (number == QLatin1String("5 found..."))
            engine->requestAbort();
    };
    QCOMPARE(engine->RunPreScan(), PreScanEngine::Outcome::Aborted);
    engine.reset();
    // The files handled are committed; Scanning.dat names the entry being scanned.
    QCOMPARE(readFile(f.scanningFile()), QByteArray(" 1\r\n"));
    QCOMPARE(f.rows(QStringLiteral("ACTIVE = 'X'")).size(), 5);
    QVERIFY(f.prompter.messages().isEmpty());
    QCOMPARE(f.sound.beeps, 0);
}

// The catalogue, or the record of the pictures being read (without which a picture that ends
// the process would end the next run too), failing under the run.
void tst_PreScanRun::failureEndsTheRun_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("told"); // how the message begins; %1: the program directory
    QTest::addColumn<int>("committed"); // the rows of the entries before the failure
    QTest::addColumn<QByteArray>("resumePoint");
    QTest::newRow("the catalogue, in the second entry")
        << "catalogue" << "t'olq! - Error" << "The catalogue could not be updated." << 3 << QByteArray(" 1\r\n");
    QTest::newRow("the record of the pictures read, at the first")
        << "record" << "Tolq"
        << "Unable to write %1/Decoding.dat\r\rThe file cannot be written ("
            + QString::fromLocal8Bit(std::strerror(EISDIR)) + ")."
        << 0 << QByteArray(" 0\r\n");
}

void tst_PreScanRun::failureEndsTheRun()
{
    QFETCH(QString, failing);
    QFETCH(QString, title);
    QFETCH(QString, told);
    QFETCH(int, committed);
    QFETCH(QByteArray, resumePoint);
    ScanFixture f;
    fourEntries(f);
    f.settings.gather = true; // every picture is read, and recorded first
    if (failing == QLatin1String("record"))
        QVERIFY(putStandIn(f.programDirectory() + QStringLiteral("/Decoding.dat"), QStringLiteral("directory")));
    std::unique_ptr<PreScanEngine> engine = f.engine();
    f.view.onNumber = [&](const QString& number) {
        if (number == QLatin1String("5 found...") && failing == QLatin1String("catalogue"))
            engine->database()->execute(QStringLiteral("ALTER TABLE FILES RENAME TO GONE"));
    };
    QCOMPARE(engine->RunPreScan(), PreScanEngine::Outcome::Failed);
    engine->unload();
    // Told once, and nothing more: the run did not finish, so its resume point stays for the
    // next start, and the entries committed before the failure stay.
    QCOMPARE(f.prompter.messages().size(), 1);
    QCOMPARE(f.prompter.messages().first().title, title);
    QVERIFY2(f.prompter.texts().first().startsWith(told.arg(f.programDirectory())), qPrintable(f.prompter.texts().first()));
    QCOMPARE(f.session.SearchCompleted, QStringLiteral("NO"));
    QVERIFY(f.session.PreScanFailed);
    QCOMPARE(readFile(f.scanningFile()), resumePoint);
    QCOMPARE(f.sound.beeps, 0);
    QCOMPARE(f.rows(QStringLiteral("ACTIVE = 'X'")).size(), committed);
}

void tst_PreScanRun::resumePoints_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("housekeeping");
    QTest::addColumn<QStringList>("active");
    // Before the run: a.jpg claimed as number 1, b.jpg idle, c.jpg claimed as number 6 and then
    // deleted in a review; entry 0 is a/, entry 1 is b/, both re-activated. A resumed run releases
    // the claims of the entry it restarts and counts on from the largest number in use.
    QTest::newRow("0: a new run") << QByteArray(" 0\r\n") << true << QStringList { "1 a.jpg", "2 b.jpg" };
    QTest::newRow("not a number: a new run") << QByteArray("x\r\n") << true << QStringList { "1 a.jpg", "2 b.jpg" };
    QTest::newRow("negative: a new run") << QByteArray("-3\r\n") << true << QStringList { "1 a.jpg", "2 b.jpg" };
    QTest::newRow("1: resumes at the second entry")
        << QByteArray(" 1\r\n") << false << QStringList { "1 a.jpg", "2 b.jpg", "3 c.jpg" };
    QTest::newRow("beyond the list: only the re-activation pass")
        << QByteArray(" 9\r\n") << false << QStringList { "1 a.jpg", "6 c.jpg", "7 b.jpg" };
}

void tst_PreScanRun::resumePoints()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, housekeeping);
    QFETCH(QStringList, active);
    ScanFixture f;
    f.bytes(QStringLiteral("a"), QStringLiteral("a.jpg"), "1");
    f.bytes(QStringLiteral("b"), QStringLiteral("b.jpg"), "22");
    f.bytes(QStringLiteral("b"), QStringLiteral("c.jpg"), "333");
    f.settings.directories = { f.entry(QStringLiteral("a")), f.entry(QStringLiteral("b")) };
    f.run();
    f.execute(QStringLiteral("UPDATE FILES SET ACTIVE = ' ', RECNUM = 4, REF = STAG WHERE DISKNAME = 'b.jpg'"));
    f.execute(QStringLiteral("UPDATE FILES SET RTAG = 'D', RECNUM = 6 WHERE DISKNAME = 'c.jpg'"));
    QFile::remove(f.dir(QStringLiteral("b")) + QStringLiteral("c.jpg"));
    f.session.ReactivateDrives = f.tree();
    QVERIFY(writeFile(f.scanningFile(), content));
    f.view.directories.clear();
    f.run();
    QCOMPARE(f.view.directories.contains(QStringLiteral("Preparing database...Clearing tags from last search")),
        housekeeping);
    QStringList seen;
    for (const CatalogueRecord& r : f.rows(QStringLiteral("ACTIVE = 'X'")))
        seen << QStringLiteral("%1 %2").arg(r.RECNUM).arg(r.DISKNAME);
    seen.sort();
    QCOMPARE(seen, active);
    QVERIFY(!QFile::exists(f.scanningFile()));
}

void tst_PreScanRun::resumedRunEqualsUninterrupted_data()
{
    QTest::addColumn<QString>("stopAt");
    QTest::addColumn<bool>("earlierSearch");
    QTest::addColumn<int>("threads");
    // Entries of three files: the seventh is the first of the third entry.
    QTest::newRow("after the second entry") << "7 found..." << false << 1;
    QTest::newRow("inside the third entry") << "8 found..." << false << 1;
    QTest::newRow("inside the third entry, catalogue of an earlier search") << "8 found..." << true << 1;
    QTest::newRow("inside the third entry, four threads") << "9 found..." << true << 4;
}

void tst_PreScanRun::resumedRunEqualsUninterrupted()
{
    QFETCH(QString, stopAt);
    QFETCH(bool, earlierSearch);
    QFETCH(int, threads);
    QStringList expected;
    {
        ScanFixture whole;
        whole.settings.gather = true;
        fourEntries(whole);
        if (earlierSearch)
            whole.run(threads);
        whole.run(threads);
        expected = rowTexts(whole.rows(), whole.tree());
    }
    ScanFixture f;
    f.settings.gather = true;
    fourEntries(f);
    if (earlierSearch)
        f.run(threads);
    {
        std::unique_ptr<PreScanEngine> engine = f.engine(threads);
        f.view.onNumber = [&](const QString& number) {
            if (number == stopAt)
                engine->requestAbort();
        };
        QCOMPARE(engine->RunPreScan(), PreScanEngine::Outcome::Aborted);
        f.view.onNumber = nullptr;
    }
    QCOMPARE(readFile(f.scanningFile()), QByteArray(" 2\r\n"));
    std::unique_ptr<PreScanEngine> resumed = f.engine(threads);
    QCOMPARE(resumed->RunPreScan(), PreScanEngine::Outcome::Completed);
    QCOMPARE(resumed->resumeIndex(), 2);
    resumed->unload();
    QCOMPARE(rowTexts(f.rows(), f.tree()), expected);
    QCOMPARE(f.session.NumFilesFound, 12);
    QVERIFY(!QFile::exists(f.scanningFile()));
}

void tst_PreScanRun::pathsDifferingInCase_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QByteArray>("resumeAt");
    QTest::addColumn<bool>("reactivate");
    QTest::addColumn<QStringList>("active");
    // p/A/ and p/a/ are two directories; a first run has claimed both. The second run:
    const QStringList both { "p/A", "p/a" };
    QTest::newRow("full pre-scan") << both << QByteArray() << false << QStringList { "1 p/A/one.jpg", "2 p/a/two.jpg" };
    QTest::newRow("resumed at p/a/: p/A/ keeps its claim")
        << both << QByteArray(" 1\r\n") << false << QStringList { "1 p/A/one.jpg", "2 p/a/two.jpg" };
    QTest::newRow("re-activation of p/a/ leaves p/A/ out")
        << QStringList { "p/a" } << QByteArray() << true << QStringList { "1 p/a/two.jpg" };
}

void tst_PreScanRun::pathsDifferingInCase()
{
    QFETCH(QStringList, list);
    QFETCH(QByteArray, resumeAt);
    QFETCH(bool, reactivate);
    QFETCH(QStringList, active);
    ScanFixture f;
    f.bytes(QStringLiteral("p/A"), QStringLiteral("one.jpg"), "1");
    f.bytes(QStringLiteral("p/a"), QStringLiteral("two.jpg"), "22");
    f.settings.directories = { f.entry(QStringLiteral("p/A")), f.entry(QStringLiteral("p/a")) };
    f.run();
    f.settings.directories.clear();
    for (const QString& dir : list)
        f.settings.directories << f.entry(dir);
    if (reactivate)
        f.session.ReactivateDrives = f.tree();
    if (!resumeAt.isEmpty())
        QVERIFY(writeFile(f.scanningFile(), resumeAt));
    f.run();
    QStringList seen;
    for (const CatalogueRecord& r : f.rows(QStringLiteral("ACTIVE = 'X'")))
        seen << QStringLiteral("%1 %2%3").arg(r.RECNUM).arg(r.PATH.mid(f.tree().size() + 1), r.DISKNAME);
    seen.sort();
    QCOMPARE(seen, active);
}

QTEST_GUILESS_MAIN(tst_PreScanRun)
#include "tst_PreScanRun.moc"
