// The catalogue writer over temporary trees: listing, new and found rows, moved files, the
// filter, the statistics each mode gathers, vanished files and the measuring threads.

#include "FileSystemFixtures.h"
#include "ScanFixture.h"

#include "catalogue/RecordKey.h"

#include <QtTest>

class tst_ScanDirectoryType : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newRowHoldsEveryField();
    void listingByTypeWithoutRegardToCase();
    void foundRowIsClaimedAgain();
    void movedFileKeepsItsRecord_data();
    void movedFileKeepsItsRecord();
    void sameKeyTwiceGetsTwoRecords_data();
    void sameKeyTwiceGetsTwoRecords();
    void filterAndReversal_data();
    void filterAndReversal();
    void statisticsTheModeNeeds_data();
    void statisticsTheModeNeeds();
    void storedStatisticsAreNotMeasuredAgain();
    void undecodableFileKeepsBlanks();
    void failedReadIsMeasuredAgain_data();
    void failedReadIsMeasuredAgain();
    void vanishedFileIsSkipped_data();
    void vanishedFileIsSkipped();
    void threadedEqualsOneThread();
};

void tst_ScanDirectoryType::newRowHoldsEveryField()
{
    ScanFixture f;
    f.image(QStringLiteral("a"), QStringLiteral("Cat_01x.jpg"), 1);
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    QCOMPARE(f.run(), PreScanEngine::Outcome::Completed);
    const QList<CatalogueRecord> rows = f.rows();
    QCOMPARE(rows.size(), 1);
    const CatalogueRecord& r = rows.first();
    const qint64 size = QFileInfo(f.dir(QStringLiteral("a")) + QStringLiteral("Cat_01x.jpg")).size();
    QCOMPARE(r.RECNUM, 1.0);
    QCOMPARE(r.RTAG, QStringLiteral(" "));
    QCOMPARE(r.DRIVEVOLUME, QStringLiteral("[TEST]"));
    QCOMPARE(r.PATH, f.dir(QStringLiteral("a")));
    QCOMPARE(r.NAME, QStringLiteral("CAT_01X"));
    QCOMPARE(r.REFNAME, QStringLiteral("Cat_01x"));
    QCOMPARE(r.BASENAME, QStringLiteral("CATX"));
    QCOMPARE(r.EXTENSION, QStringLiteral(".JPG"));
    QCOMPARE(r.WHOLENAME, QStringLiteral("CAT_01X.JPG"));
    QCOMPARE(r.WHOLEBASE, QStringLiteral("CATX.JPG"));
    QCOMPARE(r.SIZE, double(size));
    QCOMPARE(r.DATE, QDateTime(QDate(2026, 12, 9), QTime(16, 9, 28)));
    QCOMPARE(r.CHECKSUM, QStringLiteral(" "));
    QCOMPARE(r.PXLRAY, QStringLiteral(" "));
    QCOMPARE(r.ACTIVE, QStringLiteral("X"));
    QCOMPARE(r.REF, QString());
    QCOMPARE(r.ACCESSED, 202612.0);
    QCOMPARE(r.STAG, QStringLiteral("CAT_01X.JPG %1 12/9/2026 4:09:28 PM").arg(size));
    QCOMPARE(r.DISKNAME, QStringLiteral("Cat_01x.jpg"));
    QCOMPARE(f.session.SearchCompleted, QStringLiteral("YES"));
    QCOMPARE(f.session.NumFilesFound, 1);
    QCOMPARE(f.session.FilesRead, 1.0);
    QCOMPARE(f.view.numbers, QStringList { QStringLiteral("1 found...") });
    QVERIFY(f.view.directories.contains(f.dir(QStringLiteral("a")) + QStringLiteral(" Cat_01x.jpg")));
    QCOMPARE(f.view.captions.last(), QStringLiteral("t'olq! - Directory Pre-Scan"));
}

void tst_ScanDirectoryType::listingByTypeWithoutRegardToCase()
{
    ScanFixture f;
    f.setType(".PNG", true);
    const QString a = QStringLiteral("a");
    f.bytes(a, QStringLiteral("lower.jpg"), "1");
    f.bytes(a, QStringLiteral("UPPER.JPG"), "22");
    f.bytes(a, QStringLiteral("Mixed.Jpg"), "333");
    f.bytes(a, QStringLiteral("pic.png"), "4444");
    f.bytes(a, QStringLiteral(".hidden.jpg"), "5");
    f.bytes(a, QStringLiteral("long.jpeg"), "6");
    f.bytes(a, QStringLiteral("off.tif"), "7");
    QVERIFY(QDir().mkpath(f.dir(a) + QStringLiteral("folder.jpg")));
    QVERIFY(QFile::link(f.dir(a) + QStringLiteral("lower.jpg"), f.dir(a) + QStringLiteral("link.jpg")));
    f.settings.directories = { f.entry(a) };
    f.view.minimized = true;
    f.run();
    QStringList names;
    for (const CatalogueRecord& r : f.rows(QString(), {}))
        names << QStringLiteral("%1 %2 %3").arg(r.RECNUM).arg(r.DISKNAME, r.EXTENSION);
    names.sort();
    // Types in their order (.JPG before .PNG), files by name within a type.
    QCOMPARE(names, (QStringList { "1 Mixed.Jpg .JPG", "2 UPPER.JPG .JPG", "3 lower.jpg .JPG", "4 pic.png .PNG" }));
    QCOMPARE(f.view.captions.last(), QStringLiteral("4 files..."));
}

void tst_ScanDirectoryType::foundRowIsClaimedAgain()
{
    ScanFixture f;
    f.bytes(QStringLiteral("a"), QStringLiteral("one.jpg"), "1");
    f.bytes(QStringLiteral("a"), QStringLiteral("two.jpg"), "22");
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    f.run();
    const QList<CatalogueRecord> first = f.rows();
    // A review deleted one.jpg's file and tagged its row; the next run purges it.
    f.execute(QStringLiteral("UPDATE FILES SET RTAG = 'D', RECNUM = 5 WHERE DISKNAME = 'one.jpg'"));
    QFile::remove(f.dir(QStringLiteral("a")) + QStringLiteral("one.jpg"));
    f.run();
    const QList<CatalogueRecord> second = f.rows();
    QCOMPARE(second.size(), 1);
    QCOMPARE(second.first().rowId, first.last().rowId);
    QCOMPARE(second.first().RECNUM, 1.0);
    QCOMPARE(second.first().REF, QString());
    QCOMPARE(second.first().ACTIVE, QStringLiteral("X"));
}

void tst_ScanDirectoryType::movedFileKeepsItsRecord_data()
{
    QTest::addColumn<bool>("byLocation");
    QTest::newRow("plain form: the record follows the file") << false;
    QTest::newRow("location form: a record of its own") << true;
}

void tst_ScanDirectoryType::movedFileKeepsItsRecord()
{
    QFETCH(bool, byLocation);
    ScanFixture f;
    f.session.IdentifyByLocation = byLocation;
    f.settings.mode = ComparisonMode::Pattern;
    f.image(QStringLiteral("a"), QStringLiteral("Moved.jpg"), 3);
    QDir().mkpath(f.dir(QStringLiteral("b")));
    f.settings.directories = { f.entry(QStringLiteral("a")), f.entry(QStringLiteral("b")) };
    f.run();
    const CatalogueRecord before = f.rows().first();
    QVERIFY(QFile::rename(f.dir(QStringLiteral("a")) + QStringLiteral("Moved.jpg"),
        f.dir(QStringLiteral("b")) + QStringLiteral("moved.JPG")));
    f.run();
    const QList<CatalogueRecord> rows = f.rows(QStringLiteral("ACTIVE = 'X'"));
    QCOMPARE(rows.size(), 1);
    const CatalogueRecord& after = rows.first();
    QCOMPARE(after.PATH, f.dir(QStringLiteral("b")));
    QCOMPARE(after.DISKNAME, QStringLiteral("moved.JPG"));
    QCOMPARE(after.PXLRAY, before.PXLRAY);
    QCOMPARE(after.rowId == before.rowId, !byLocation);
    QCOMPARE(f.rows().size(), byLocation ? 2 : 1);
    if (!byLocation)
        QCOMPARE(after.REFNAME, QStringLiteral("Moved")); // the names stay as first written
}

void tst_ScanDirectoryType::sameKeyTwiceGetsTwoRecords_data()
{
    QTest::addColumn<int>("threads");
    QTest::newRow("one thread") << 1;
    QTest::newRow("four threads") << 4;
}

void tst_ScanDirectoryType::sameKeyTwiceGetsTwoRecords()
{
    QFETCH(int, threads);
    ScanFixture f;
    f.settings.mode = ComparisonMode::Pattern;
    // Names differing only in case have the same key; a second run must not let both claim one row.
    f.image(QStringLiteral("a"), QStringLiteral("photo.jpg"), 4);
    QVERIFY(QFile::copy(f.dir(QStringLiteral("a")) + QStringLiteral("photo.jpg"),
        f.dir(QStringLiteral("a")) + QStringLiteral("PHOTO.JPG")));
    ScanFixture::stamp(f.dir(QStringLiteral("a")) + QStringLiteral("PHOTO.JPG"));
    for (int i = 0; i < 6; ++i)
        f.image(QStringLiteral("a"), QStringLiteral("z%1.jpg").arg(i), 10 + i);
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    f.run(threads);
    QCOMPARE(f.rows().size(), 8);
    f.run(threads);
    const QList<CatalogueRecord> rows = f.rows();
    QCOMPARE(rows.size(), 8);
    QSet<double> numbers;
    for (const CatalogueRecord& r : rows) {
        QCOMPARE(r.ACTIVE, QStringLiteral("X"));
        QVERIFY(r.PXLRAY.size() == 100);
        numbers.insert(r.RECNUM);
    }
    QCOMPARE(numbers.size(), 8);
}

void tst_ScanDirectoryType::filterAndReversal_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("notFilter");
    QTest::addColumn<QStringList>("scanned");
    QTest::newRow("filter") << "cat*" << false << QStringList { "cat1.jpg", "CAT2.jpg" };
    QTest::newRow("reversed") << "cat*" << true << QStringList { "dog.jpg", "x.jpg" };
    QTest::newRow("two words") << "dog,x" << false << QStringList { "dog.jpg", "x.jpg" };
    QTest::newRow("empty filter takes nothing") << "" << false << QStringList {};
}

void tst_ScanDirectoryType::filterAndReversal()
{
    QFETCH(QString, filter);
    QFETCH(bool, notFilter);
    QFETCH(QStringList, scanned);
    ScanFixture f;
    for (const char* name : { "cat1.jpg", "CAT2.jpg", "dog.jpg", "x.jpg" })
        f.bytes(QStringLiteral("a"), QLatin1String(name), name);
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    f.settings.filter = filter;
    f.settings.notFilter = notFilter;
    f.run();
    QStringList names;
    for (const CatalogueRecord& r : f.rows())
        names << r.DISKNAME;
    names.sort(Qt::CaseInsensitive);
    QCOMPARE(names, scanned);
    QCOMPARE(f.session.NumFilesFound, int(scanned.size()));
}

void tst_ScanDirectoryType::statisticsTheModeNeeds_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("gather");
    QTest::addColumn<bool>("checksum");
    QTest::addColumn<bool>("colour");
    QTest::addColumn<bool>("pattern");
    QTest::newRow("NAME") << int(ComparisonMode::Name) << false << false << false << false;
    QTest::newRow("CHECKSUM") << int(ComparisonMode::Checksum) << false << true << false << false;
    QTest::newRow("AVERAGE RGB") << int(ComparisonMode::AverageRgb) << false << false << true << false;
    QTest::newRow("QUADRANT RGB") << int(ComparisonMode::QuadrantRgb) << false << false << true << false;
    QTest::newRow("PATTERN") << int(ComparisonMode::Pattern) << false << false << false << true;
    QTest::newRow("gather") << int(ComparisonMode::Name) << true << true << true << true;
}

void tst_ScanDirectoryType::statisticsTheModeNeeds()
{
    QFETCH(int, mode);
    QFETCH(bool, gather);
    QFETCH(bool, checksum);
    QFETCH(bool, colour);
    QFETCH(bool, pattern);
    ScanFixture f;
    f.image(QStringLiteral("a"), QStringLiteral("pic.jpg"), 5, QSize(200, 150));
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    f.settings.mode = ComparisonMode(mode);
    f.settings.gather = gather;
    f.view.previews = true;
    f.run();
    const CatalogueRecord r = f.rows().first();
    QCOMPARE(r.CHECKSUM.size() > 200, checksum);
    QCOMPARE(r.RGB.size() == 14 && r.QRGB.size() >= 50 && r.SOFTRGB.size() == 14, colour);
    QCOMPARE(r.XYRATIO > 0, colour);
    QCOMPARE(r.PXLRAY.size() == 100, pattern);
    QCOMPARE(r.X == 200 && r.Y == 150, colour || pattern);
    if (!colour && !pattern)
        QCOMPARE(r.X, 0);
    QCOMPARE(f.view.previewMode, colour || pattern);
    QCOMPARE(f.view.previewSizes.size(), colour || pattern ? 1 : 0);
    if (colour || pattern)
        QCOMPARE(f.view.previewSizes.first(), QSize(40, 30));
}

void tst_ScanDirectoryType::storedStatisticsAreNotMeasuredAgain()
{
    ScanFixture f;
    f.settings.mode = ComparisonMode::Pattern;
    f.image(QStringLiteral("a"), QStringLiteral("kept.jpg"), 6);
    f.image(QStringLiteral("a"), QStringLiteral("small.jpg"), 7, QSize(60, 60));
    f.image(QStringLiteral("a"), QStringLiteral("blank.jpg"), 8);
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    f.run();
    QCOMPARE(f.rows(QStringLiteral("DISKNAME = 'small.jpg'")).first().PXLRAY, QStringLiteral("Image too small..."));
    // A stored pattern is written back as it stands; a blank one is measured.
    const QString marker = QStringLiteral("stored pattern");
    f.execute(QStringLiteral("UPDATE FILES SET PXLRAY = ? WHERE DISKNAME = 'kept.jpg'"), { marker });
    f.execute(QStringLiteral("UPDATE FILES SET PXLRAY = ' ', CHECKSUM = ' ' WHERE DISKNAME = 'blank.jpg'"));
    f.run();
    QCOMPARE(f.rows(QStringLiteral("DISKNAME = 'kept.jpg'")).first().PXLRAY, marker);
    QCOMPARE(f.rows(QStringLiteral("DISKNAME = 'small.jpg'")).first().PXLRAY, QStringLiteral("Image too small..."));
    QCOMPARE(f.rows(QStringLiteral("DISKNAME = 'blank.jpg'")).first().PXLRAY.size(), 100);
    QCOMPARE(f.rows(QStringLiteral("DISKNAME = 'blank.jpg'")).first().CHECKSUM, QStringLiteral(" "));
}

void tst_ScanDirectoryType::undecodableFileKeepsBlanks()
{
    ScanFixture f;
    f.settings.gather = true;
    f.image(QStringLiteral("a"), QStringLiteral("a_good.jpg"), 9);
    f.bytes(QStringLiteral("a"), QStringLiteral("b_broken.jpg"), QByteArray(500, 'q'));
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    f.run();
    const CatalogueRecord broken = f.rows(QStringLiteral("DISKNAME = 'b_broken.jpg'")).first();
    // Counted and written, with its checksum but none of the previous picture's statistics.
    QCOMPARE(broken.RECNUM, 2.0);
    QVERIFY(broken.CHECKSUM.startsWith(QLatin1String(".JPG 500 ")));
    QCOMPARE(broken.RGB, QStringLiteral(" "));
    QCOMPARE(broken.PXLRAY, QStringLiteral(" "));
    QCOMPARE(broken.X, 0);
    QCOMPARE(broken.XYRATIO, 0.0);
}

void tst_ScanDirectoryType::failedReadIsMeasuredAgain_data()
{
    QTest::addColumn<bool>("unreadableAtTheScan");
    QTest::newRow("unreadable at the scan") << true;
    QTest::newRow("zeros left by an earlier scan") << false;
}

// A file that could not be read gets no checksum, so once it can be read again it is measured
// and matches its byte-identical copy.
void tst_ScanDirectoryType::failedReadIsMeasuredAgain()
{
    QFETCH(bool, unreadableAtTheScan);
    ScanFixture f;
    f.settings.mode = ComparisonMode::Checksum;
    f.image(QStringLiteral("a"), QStringLiteral("copy.jpg"), 4);
    f.image(QStringLiteral("a"), QStringLiteral("locked.jpg"), 4);
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    const QString locked = f.dir(QStringLiteral("a")) + QStringLiteral("locked.jpg");
    const auto checksumOf
        = [&](const QString& name) { return f.rows(QStringLiteral("DISKNAME = ?"), { name }).value(0).CHECKSUM; };
    if (unreadableAtTheScan) {
        // The scan runs as a user who may write the catalogue but not read the file.
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        openToEveryone(f.dir(QStringLiteral("a")));
        const auto everyone = QFileDevice::Permissions(0x7777); // read, write and run for every user
        for (const QString& path : { f.programDirectory(), f.programDirectory() + "/data", f.databasePath() })
            QVERIFY(QFile::setPermissions(path, everyone));
        openToEveryone(f.programDirectory());
        const std::optional<QString> stored = runUnprivileged([&] {
            f.run();
            return checksumOf(QStringLiteral("locked.jpg"));
        });
        if (!stored)
            QSKIP("cannot run a check as an unprivileged user here");
        QCOMPARE(*stored, QStringLiteral(" "));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner));
    } else {
        f.run();
        f.execute(QStringLiteral("UPDATE FILES SET CHECKSUM = ? WHERE DISKNAME = 'locked.jpg'"),
            { QStringLiteral(".JPG %1 ").arg(QFileInfo(locked).size()) + QString(200, QLatin1Char('0')) });
    }
    f.run();
    QVERIFY(checksumOf(QStringLiteral("copy.jpg")).size() > 200);
    QCOMPARE(checksumOf(QStringLiteral("locked.jpg")), checksumOf(QStringLiteral("copy.jpg")));
}

void tst_ScanDirectoryType::vanishedFileIsSkipped_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("NAME") << int(ComparisonMode::Name);
    QTest::newRow("PATTERN") << int(ComparisonMode::Pattern);
}

void tst_ScanDirectoryType::vanishedFileIsSkipped()
{
    QFETCH(int, mode);
    ScanFixture f;
    f.settings.mode = ComparisonMode(mode);
    for (int i = 1; i <= 3; ++i)
        f.image(QStringLiteral("a"), QStringLiteral("f%1.jpg").arg(i), i);
    f.settings.directories = { f.entry(QStringLiteral("a")) };
    // The second file goes after the listing, while the first is being handled.
    f.view.onNumber = [&](const QString& number) {
        if (number == QLatin1String("1 found..."))
            QFile::remove(f.dir(QStringLiteral("a")) + QStringLiteral("f2.jpg"));
    };
    f.run(1);
    QStringList names;
    for (const CatalogueRecord& r : f.rows())
        names << QStringLiteral("%1 %2").arg(r.RECNUM).arg(r.DISKNAME);
    names.sort();
    QCOMPARE(names, (QStringList { "1 f1.jpg", "2 f3.jpg" }));
    QCOMPARE(f.session.NumFilesFound, 2);
}

void tst_ScanDirectoryType::threadedEqualsOneThread()
{
    QStringList results[2];
    int index = 0;
    for (int threads : { 1, 6 }) {
        ScanFixture f;
        f.settings.gather = true;
        f.setType(".PNG", true);
        for (int d = 0; d < 3; ++d) {
            const QString dir = QStringLiteral("d%1").arg(d);
            for (int i = 0; i < 9; ++i)
                f.image(dir, QStringLiteral("p%1.%2").arg(i).arg(i % 3 ? "jpg" : "png"), d * 10 + i,
                    QSize(120 + 10 * i, 100 + 7 * d));
            f.bytes(dir, QStringLiteral("broken.jpg"), QByteArray(300, char('a' + d)));
            f.settings.directories << f.entry(dir);
        }
        f.run(threads);
        results[index++] = rowTexts(f.rows(), f.tree());
        // The second run finds every row complete and changes nothing but the claims.
        f.run(threads);
        QCOMPARE(rowTexts(f.rows(), f.tree()), results[index - 1]);
    }
    QCOMPARE(results[0].size(), 30);
    QCOMPARE(results[1], results[0]);
}

QTEST_GUILESS_MAIN(tst_ScanDirectoryType)
#include "tst_ScanDirectoryType.moc"
