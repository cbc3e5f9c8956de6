#include "match/ResumeFile.h"

#include "FileSystemFixtures.h"
#include "MatchCycleFixture.h"
#include "PatternRows.h"

#include <QFile>
#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(ComparisonMode)

namespace {

// Rows with runs in every mode's order: names, checksums and colours repeat in groups.
QList<CatalogueRecord> mixedRows()
{
    QList<CatalogueRecord> rows
        = makePatternRows(120, randomBases(5, 3), 3, { .duplicateShare = 0.4, .directories = 4 });
    for (int i = 0; i < rows.size(); ++i) {
        CatalogueRecord& r = rows[i];
        const int group = (i * 7) % 45;
        r.WHOLENAME = QStringLiteral("PIC%1.JPG").arg(group);
        r.NAME = r.WHOLENAME.chopped(4);
        r.CHECKSUM = QStringLiteral(".JPG %1").arg(group % 30);
        r.RGB = QStringLiteral("R%1 G100 B100").arg((i * 13) % 60 + 100, 3, 10, QLatin1Char('0'));
        if (i % 17 == 5)
            r.RTAG = QStringLiteral("D");
    }
    return rows;
}

} // namespace

class tst_PrematchResume : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A cycle ended by Abort, or by a crash that loses the marks not yet committed, and then
    // resumed from Matching.dat, ends with the marks of a cycle that was never interrupted.
    void resumedCycleEndsWithSameMarks_data()
    {
        QTest::addColumn<ComparisonMode>("mode");
        QTest::addColumn<bool>("soft");
        QTest::addColumn<int>("stopAtYield");
        QTest::addColumn<bool>("abort");
        QTest::addColumn<int>("saveInterval");
        for (ComparisonMode mode :
            { ComparisonMode::Name, ComparisonMode::Checksum, ComparisonMode::AverageRgb, ComparisonMode::Pattern }) {
            for (int stop : { 1, 7, 40, 90 }) {
                const QString name = modeSettingsLine(mode) + QStringLiteral(", yield %1").arg(stop);
                QTest::newRow(qPrintable(name + ", abort")) << mode << false << stop << true << 0;
                QTest::newRow(qPrintable(name + ", crash")) << mode << false << stop << false << 0;
                QTest::newRow(qPrintable(name + ", crash, batched")) << mode << true << stop << false << 3600000;
            }
        }
    }
    void resumedCycleEndsWithSameMarks()
    {
        QFETCH(ComparisonMode, mode);
        QFETCH(bool, soft);
        QFETCH(int, stopAtYield);
        QFETCH(bool, abort);
        QFETCH(int, saveInterval);
        const QList<CatalogueRecord> rows = mixedRows();

        MatchCycleFixture whole;
        whole.settings.mode = mode;
        whole.settings.softMatch = soft;
        whole.settings.tolerance = QStringLiteral("4");
        QVERIFY(whole.make(rows));
        whole.runWhole();
        const QList<int> expected = whole.marks();
        QVERIFY(!expected.isEmpty());

        MatchCycleFixture broken;
        broken.settings = whole.settings;
        QVERIFY(broken.make(rows));
        {
            auto cycle = broken.cycle(saveInterval);
            QVERIFY(cycle);
            broken.yielder.onYield = [&](int n) {
                if (n != stopAtYield)
                    return;
                if (abort)
                    cycle->abortCycle();
                throw ProgramEnded {};
            };
            bool ended = false;
            try {
                cycle->run();
            } catch (const ProgramEnded&) {
                ended = true;
            }
            QVERIFY(ended);
        }
        if (abort && QFile::exists(broken.resumeFile()))
            QVERIFY(readResumeFile(broken.resumeFile()) > 0);
        broken.yielder.onYield = nullptr;
        broken.runWhole();
        QCOMPARE(broken.marks(), expected);
    }

    // The catalogue refuses a write (a full disk) in mid-cycle or at Abort: nothing is thrown,
    // a run that goes on says so once, Matching.dat names a step whose marks are in, and the
    // cycle resumed from it ends with the marks of a cycle never interrupted.
    void refusedWrite_data()
    {
        QTest::addColumn<bool>("fullDisk"); // else the catalogue refuses the marks of late records
        QTest::addColumn<bool>("abort");
        QTest::newRow("refused in mid-cycle") << false << false;
        QTest::newRow("refused at Abort") << false << true;
        QTest::newRow("a full file system") << true << false;
    }
    void refusedWrite()
    {
        QFETCH(bool, fullDisk);
        QFETCH(bool, abort);
        const QList<CatalogueRecord> rows = mixedRows();
        MatchCycleFixture whole;
        QVERIFY(whole.make(rows));
        whole.runWhole();
        const QList<int> expected = whole.marks();

        MatchCycleFixture f;
        std::optional<SmallTmpfs> disk;
        if (fullDisk) {
            disk.emplace(1024);
            if (!disk->mounted())
                QSKIP(qPrintable(disk->skipReason()));
            f.home = disk->path();
        }
        QVERIFY(f.make(rows));
        const QString refusal = QStringLiteral("database or disk is full");
        if (!fullDisk)
            CatalogueDatabase::open(f.databasePath())
                ->execute(
                    "CREATE TRIGGER refuse BEFORE UPDATE ON FILES WHEN NEW.RECNUM > 100 BEGIN SELECT RAISE(ABORT, '"
                    + refusal + "'); END");
        {
            auto cycle = f.cycle(abort ? 3600000 : 0);
            QVERIFY(cycle);
            if (fullDisk)
                disk->fill(32);
            f.yielder.onYield = [&](int n) {
                if (abort && n == 60) {
                    cycle->abortCycle();
                    throw ProgramEnded {};
                }
            };
            if (abort)
                QVERIFY_THROWS_EXCEPTION(ProgramEnded, cycle->run());
            else
                cycle->run();
            QVERIFY(!cycle->running());
            QCOMPARE(cycle->failed(), !abort);
        }
        QCOMPARE(f.prompter.texts().size(), abort ? 0 : 1);
        if (!abort) {
            QVERIFY2(f.prompter.texts().first().startsWith("The catalogue could not be updated.\r\r" + refusal),
                qPrintable(f.prompter.texts().first()));
            QCOMPARE(f.prompter.messages().first().title, QStringLiteral("t'olq! - Error"));
        }
        const QList<int> kept = f.marks();
        QVERIFY(!kept.isEmpty() && kept != expected);
        QVERIFY(QFile::exists(f.resumeFile()));

        if (fullDisk)
            QVERIFY(QFile::remove(disk->path() + "/.filler"));
        else
            CatalogueDatabase::open(f.databasePath())->execute("DROP TRIGGER refuse");
        f.yielder.onYield = nullptr;
        f.runWhole();
        QCOMPARE(f.marks(), expected);
    }

    void resumePoint_data()
    {
        QTest::addColumn<QByteArray>("content"); // "-": no file
        QTest::addColumn<QList<int>>("marks");
        const QList<int> all { 1, 2, 3, 4 };
        QTest::newRow("no file") << QByteArray("-") << all;
        QTest::newRow("record in the set") << QByteArray(" 3 \r\n") << QList { 3, 4 };
        QTest::newRow("bare number") << QByteArray("3") << QList { 3, 4 };
        QTest::newRow("rounded, not cut") << QByteArray("1.6\r\n") << QList { 3, 4 };
        QTest::newRow("not in the set") << QByteArray(" 99 \r\n") << all;
        QTest::newRow("zero") << QByteArray(" 0 \r\n") << all;
        QTest::newRow("negative") << QByteArray("-3 \r\n") << all;
        QTest::newRow("text") << QByteArray("abc\r\n") << all;
        QTest::newRow("empty") << QByteArray("") << all;
    }
    void resumePoint()
    {
        QFETCH(QByteArray, content);
        QFETCH(QList<int>, marks);
        MatchCycleFixture f;
        QVERIFY(f.make({ fileRow(1, "a.jpg", "/x/"), fileRow(2, "a.jpg", "/y/"), fileRow(3, "b.jpg", "/x/"),
            fileRow(4, "b.jpg", "/y/") }));
        if (content != "-")
            QVERIFY(writeFile(f.resumeFile(), content));
        f.runWhole();
        QCOMPARE(f.marks(), marks);
    }

    void resumeFileLines_data()
    {
        QTest::addColumn<int>("recnum");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("42") << 42 << QByteArray(" 42 \r\n");
        QTest::newRow("0") << 0 << QByteArray(" 0 \r\n");
        QTest::newRow("negative") << -7 << QByteArray("-7 \r\n");
    }
    void resumeFileLines()
    {
        QFETCH(int, recnum);
        QFETCH(QByteArray, line);
        TemporaryProgramDirectory dir;
        const QString path = resumeFilePath(dir.path());
        QVERIFY(writeResumeFile(path, recnum));
        QCOMPARE(readFile(path), line);
        QCOMPARE(readResumeFile(path), recnum);
    }

    // Abort commits the marks so far and leaves Matching.dat naming the last finished step.
    void abortLeavesResumePoint()
    {
        MatchCycleFixture f;
        QVERIFY(f.make({ fileRow(1, "a.jpg", "/x/"), fileRow(2, "a.jpg", "/y/"), fileRow(3, "b.jpg", "/x/"),
            fileRow(4, "c.jpg", "/x/"), fileRow(5, "c.jpg", "/y/") }));
        auto cycle = f.cycle(3600000); // never saved on its own
        f.yielder.onYield = [&](int) {
            if (cycle->MatchCount == 1 && f.yielder.yields > 2) {
                cycle->abortCycle();
                throw ProgramEnded {};
            }
        };
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, cycle->run());
        cycle.reset();
        QCOMPARE(readFile(f.resumeFile()), QByteArray(" 1 \r\n"));
        QCOMPARE(f.marks(), QList({ 1, 2 }));
    }
};

QTEST_GUILESS_MAIN(tst_PrematchResume)
#include "tst_PrematchResume.moc"
