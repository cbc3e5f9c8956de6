#include "PairReviewFixture.h"

#include "catalogue/SqlRecordSet.h"
#include "match/PrematchCycle.h"

#include "PatternRows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

#include <set>

namespace {

// A pattern whose dark cells are first to last: ten cells each, so every group's records are
// candidates of each other's but differ in 20 cells.
QString darkCells(int first, int last)
{
    QString text(100, QLatin1Char(' '));
    for (int cell = first; cell <= last; ++cell)
        text[cell - 1] = QLatin1Char('*');
    return text;
}

// One record per group number, in the mode's order; equal numbers match under the mode.
QList<CatalogueRecord> groupedRows(ComparisonMode mode, const QList<int>& groups)
{
    QList<CatalogueRecord> rows;
    for (int i = 0; i < groups.size(); ++i) {
        const int g = groups[i];
        const QChar letter(QLatin1Char(char('A' + g)));
        const bool byName = mode == ComparisonMode::Name || mode == ComparisonMode::NameAndSize;
        CatalogueRecord r = byName ? fileRow(i + 1, QString(letter) + ".jpg", QStringLiteral("/p%1/").arg(i + 1))
                                   : fileRow(i + 1, QString(letter) + QString::number(i + 1) + ".jpg");
        r.SIZE = mode == ComparisonMode::Size ? 1000 + g : 1000;
        r.CHECKSUM = QStringLiteral(".JPG 1000 ") + letter;
        const QString level = QStringLiteral("%1").arg(100 + 20 * g, 3, 10, QLatin1Char('0'));
        r.RGB = "R" + level + " G100 B100";
        r.QRGB = "R" + level + " " + level + " " + level + " " + level + " G100 100 100 100 B100 100 100 100";
        r.PXLRAY = darkCells(g * 10 + 1, g * 10 + 10);
        r.PXLNUM = 10;
        rows << r;
    }
    return rows;
}

} // namespace

class tst_PairReview : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void walksForwardAndBack_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("groups");
        QTest::addColumn<QStringList>("forward");
        QTest::addColumn<QStringList>("backward");
        const QList<int> groups { 0, 0, 1, 2, 2, 3 };
        const QStringList forward { "1-2", "4-5" };
        const QStringList backward { "5-4", "2-1" };
        QTest::newRow("NAME") << int(ComparisonMode::Name) << groups << forward << backward;
        QTest::newRow("NAME AND SIZE") << int(ComparisonMode::NameAndSize) << groups << forward << backward;
        QTest::newRow("NUMBERED") << int(ComparisonMode::Numbered) << groups << forward << backward;
        QTest::newRow("SIZE") << int(ComparisonMode::Size) << groups << forward << backward;
        QTest::newRow("CHECKSUM") << int(ComparisonMode::Checksum) << groups << forward << backward;
        QTest::newRow("AVERAGE RGB") << int(ComparisonMode::AverageRgb) << groups << forward << backward;
        QTest::newRow("QUADRANT RGB") << int(ComparisonMode::QuadrantRgb) << groups << forward << backward;
        // Each record of a pattern pair is the other's candidate in turn.
        QTest::newRow("PATTERN") << int(ComparisonMode::Pattern) << groups << QStringList { "1-2", "2-1", "4-5", "5-4" }
                                 << QStringList { "5-4", "4-5", "2-1", "1-2" };
        QTest::newRow("a run of three") << int(ComparisonMode::Name) << QList<int> { 0, 0, 0, 1 }
                                        << QStringList { "1-2", "2-3" } << QStringList { "3-2", "2-1" };
    }
    void walksForwardAndBack()
    {
        QFETCH(int, mode);
        QFETCH(QList<int>, groups);
        QFETCH(QStringList, forward);
        QFETCH(QStringList, backward);
        PairReviewFixture f;
        f.settings.mode = ComparisonMode(mode);
        QVERIFY(f.make(groupedRows(f.settings.mode, groups)));
        QVERIFY(f.open());
        QCOMPARE(f.walk(true), forward);
        // At the end: the cursor back on the last record, which is the resume record.
        const int last = int(groups.size());
        QCOMPARE(f.review->files()->record().RECNUM, double(last));
        QCOMPARE(f.session.StoppedAtRecord, f.review->pair().reference.RECNUM);
        QCOMPARE(f.shown(), QString()); // the display is empty after "No more matches..."
        QVERIFY(f.walk(true).isEmpty()); // a second Next searches again and ends the same way
        QCOMPARE(f.walk(false), backward);
        QCOMPARE(f.review->files()->record().RECNUM, 1.0);
        // Every press searched: the resume record written each time, a beep each time, Stop hidden.
        const int presses = int(forward.size() + 1 + 1 + backward.size() + 1);
        QCOMPARE(f.writer.written.size(), presses);
        QCOMPARE(f.sound.beeps, presses);
        QVERIFY(!f.view.stopVisible);
        QVERIFY(f.view.controlsEnabled);
    }

    void passesOverDeletedRecordsAndOneFile_data()
    {
        QTest::addColumn<QList<CatalogueRecord>>("rows");
        QTest::addColumn<QStringList>("forward");
        QList<CatalogueRecord> deleted { fileRow(1, "a.jpg", "/x/"), fileRow(2, "a.jpg", "/y/"),
            fileRow(3, "a.jpg", "/z/"), fileRow(4, "b.jpg") };
        deleted[1].RTAG = QStringLiteral("D");
        QTest::newRow("a deleted record inside a run") << deleted << QStringList { "1-3" };
        // The first search ends on it, and so does the Next after it: the cursor back from the
        // end rests on the deleted record.
        QList<CatalogueRecord> lastDeleted { fileRow(1, "a.jpg", "/x/"), fileRow(2, "a.jpg", "/y/") };
        lastDeleted[1].RTAG = QStringLiteral("D");
        QTest::newRow("the last record deleted") << lastDeleted << QStringList {};
        QList<CatalogueRecord> twice { fileRow(1, "a.jpg", "/x/", "[ONE]"), fileRow(2, "a.jpg", "/x/", "[TWO]"),
            fileRow(3, "b.jpg"), fileRow(4, "b.jpg", "/other/") };
        QTest::newRow("one file catalogued twice") << twice << QStringList { "3-4" };
        QList<CatalogueRecord> cases { fileRow(1, "a.jpg", "/x/"), fileRow(2, "A.JPG", "/x/") };
        QTest::newRow("names differing in case are two files") << cases << QStringList { "1-2" };
    }
    void passesOverDeletedRecordsAndOneFile()
    {
        QFETCH(QList<CatalogueRecord>, rows);
        QFETCH(QStringList, forward);
        PairReviewFixture f;
        QVERIFY(f.make(rows));
        QVERIFY(f.open());
        QCOMPARE(f.walk(true), forward);
    }

    void oneFileReachedByTwoPaths()
    {
        PairReviewFixture f;
        const QString real = f.dir.file("real/");
        QVERIFY(writeFile(real + "a.jpg", "same"));
        QVERIFY(QFile::link(real, f.dir.file("link")));
        QVERIFY(f.make({ fileRow(1, "a.jpg", real), fileRow(2, "a.jpg", f.dir.file("link/")) }));
        QVERIFY(f.open());
        QVERIFY(f.walk(true).isEmpty());
    }

    void resumes_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("first");
        QTest::newRow("no resume record") << 0 << "1-2";
        QTest::newRow("at the stored record") << 4 << "4-5";
        QTest::newRow("a stored record not reviewed: the first") << 99 << "1-2";
        QTest::newRow("a stored record deleted: the next live one") << 3 << "4-5";
    }
    void resumes()
    {
        QFETCH(int, stored);
        QFETCH(QString, first);
        PairReviewFixture f;
        QList<CatalogueRecord> rows = groupedRows(ComparisonMode::Name, { 0, 0, 1, 2, 2, 3 });
        rows[2].RTAG = QStringLiteral("D");
        QVERIFY(f.make(rows));
        f.session.StoppedAtRecord = stored;
        QVERIFY(f.open());
        QCOMPARE(f.shown(), first);
        QCOMPARE(f.writer.written, QList<qint32> { f.review->pair().reference.RECNUM });
        f.review->unload();
        QCOMPARE(f.session.StoppedAtRecord, f.review->pair().reference.RECNUM);
    }

    // A whole forward walk shows the records the pre-match cycle marks; in PATTERN mode the cycle
    // takes a marked record out of later candidate sets while the review does not, so the review
    // shows more.
    void fullWalkShowsWhatThePrematchMarks_data()
    {
        QTest::addColumn<int>("mode");
        for (ComparisonMode mode : AllComparisonModes)
            QTest::newRow(qPrintable(modeSettingsLine(mode))) << int(mode);
    }
    void fullWalkShowsWhatThePrematchMarks()
    {
        QFETCH(int, mode);
        PairReviewFixture f;
        f.settings.mode = ComparisonMode(mode);
        f.settings.softMatch = true;
        QRandomGenerator random(7);
        QList<CatalogueRecord> rows = makePatternRows(200, randomBases(6, 7), 7);
        for (CatalogueRecord& r : rows) {
            const int pick = random.bounded(40);
            r.WHOLENAME = QStringLiteral("N%1.JPG").arg(pick % 25);
            r.NAME = r.WHOLENAME.chopped(4);
            r.BASENAME = QString(QLatin1Char(char('A' + pick % 20)));
            r.WHOLEBASE = r.BASENAME + ".JPG";
            r.SIZE = 1000 + pick % 30;
            r.CHECKSUM = QStringLiteral(".JPG %1").arg(pick % 35);
            r.RGB = QStringLiteral("R%1 G100 B100").arg(100 + pick * 3);
            r.QRGB = QStringLiteral("R%1 100 100 100 G100 100 100 100 B100 100 100 100").arg(100 + pick * 3);
            r.SOFTRGB = r.RGB;
            r.SOFTQRGB = r.QRGB;
            if (random.bounded(30) == 0)
                r.RTAG = QStringLiteral("D");
        }
        QVERIFY(f.make(rows));
        QVERIFY(f.open());
        std::set<int> shown;
        for (const QString& pair : f.walk(true)) {
            for (const QString& recnum : pair.split('-'))
                shown.insert(recnum.toInt());
        }

        PrematchCycle cycle(f.settings, f.session, f.dir.path(),
            PrematchPorts { f.yielder, f.prompter, f.sound, f.confirmer, nullptr });
        QVERIFY(cycle.open());
        cycle.run();
        cycle.removeResumeFile();
        auto db = CatalogueDatabase::open(f.databasePath());
        const QList<int> marked = markedRecnums(*db);
        const std::set<int> marks(marked.begin(), marked.end());
        QVERIFY(!marks.empty());
        if (ComparisonMode(mode) == ComparisonMode::Pattern)
            QVERIFY(std::includes(shown.begin(), shown.end(), marks.begin(), marks.end()));
        else
            QCOMPARE(shown, marks);
    }

    void deleteThenStep_data()
    {
        QTest::addColumn<QString>("action"); // "1", "2", "both"
        QTest::addColumn<bool>("autoNext");
        QTest::addColumn<QString>("tags");
        QTest::addColumn<QString>("next"); // on show after the delete and, without auto-next, one Next
        QTest::addColumn<int>("writes"); // settings writes of the delete itself
        QTest::newRow("candidate deleted: the reference meets the record beyond") << "2" << false << "  D  "
                                                                                  << "2-4" << 0;
        QTest::newRow("reference deleted: the candidate becomes the reference") << "1" << false << " D   "
                                                                                << "3-4" << 0;
        QTest::newRow("auto-next after a delete") << "2" << true << "  D  "
                                                  << "2-4" << 1;
        QTest::newRow("delete both with auto-next searches once") << "both" << true << " DD  "
                                                                  << "4-5" << 1;
    }
    void deleteThenStep()
    {
        QFETCH(QString, action);
        QFETCH(bool, autoNext);
        QFETCH(QString, tags);
        QFETCH(QString, next);
        QFETCH(int, writes);
        PairReviewFixture f;
        f.settings.mode = ComparisonMode::Size;
        f.settings.noConfirm = true;
        f.settings.autoNext = autoNext;
        const QString tree = f.dir.file("tree/");
        QList<CatalogueRecord> rows;
        for (int i = 1; i <= 5; ++i) {
            QVERIFY(writeFile(tree + QStringLiteral("a%1.jpg").arg(i), "picture"));
            rows << fileRow(i, QStringLiteral("a%1.jpg").arg(i), tree);
        }
        QVERIFY(f.make(rows));
        QVERIFY(f.open());
        f.review->cmdNEXT_Click();
        QCOMPARE(f.shown(), QString("2-3"));
        f.writer.written.clear();
        if (action == "both")
            f.review->cmdBOTH_Click();
        else
            action == "1" ? f.review->cmdDELETE1_Click() : f.review->cmdDELETE2_Click();
        QCOMPARE(f.tags(), tags);
        QCOMPARE(f.writer.written.size(), writes);
        QCOMPARE(f.session.NumberDeleted, action == "both" ? 2 : 1);
        QCOMPARE(f.view.status, autoNext ? QString() : QString(" 1 files deleted,  1 total..."));
        if (!autoNext) {
            // Pressing Delete on the emptied side does nothing.
            action == "1" ? f.review->cmdDELETE1_Click() : f.review->cmdDELETE2_Click();
            QCOMPARE(f.session.NumberDeleted, 1);
            f.review->cmdNEXT_Click();
        }
        QCOMPARE(f.shown(), next);
    }

    void stopShowsThePairInHand_data()
    {
        QTest::addColumn<bool>("candidateDeleted");
        QTest::newRow("a live candidate in hand") << false;
        QTest::newRow("a deleted candidate in hand: its half stays empty") << true;
    }
    void stopShowsThePairInHand()
    {
        QFETCH(bool, candidateDeleted);
        PairReviewFixture f;
        f.settings.mode = ComparisonMode::Pattern;
        // No record matches another; every one is a candidate of every other.
        QList<CatalogueRecord> rows = groupedRows(ComparisonMode::Pattern, { 0, 1, 2, 3 });
        rows[1].RTAG = candidateDeleted ? QStringLiteral("D") : QStringLiteral(" ");
        QVERIFY(f.make(rows));
        // Stop comes while the first reference's first candidate is in hand; the busy guard
        // keeps every other button out meanwhile.
        f.yielder.onYield = [&](int) {
            if (f.review->ReviewStopFlag || !f.view.stopVisible)
                return;
            f.review->cmdNEXT_Click();
            f.review->cmdSKIP_Click();
            f.review->cmdSTOP_Click();
        };
        QVERIFY(f.open());
        QVERIFY(f.prompter.messages().isEmpty());
        // That reference and that candidate, the resume record the reference.
        QCOMPARE(f.shown(), candidateDeleted ? QString("1-") : QString("1-2"));
        QCOMPARE(f.session.StoppedAtRecord, 1);
        QVERIFY(!f.view.stopVisible);
        QCOMPARE(f.writer.written.size(), 1);
        // The next search goes on from there and ends.
        f.yielder.onYield = nullptr;
        const QString inHand = f.shown();
        QCOMPARE(f.walk(true), QStringList { inHand });
    }

    void skip_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("to the next first letter")
            << int(ComparisonMode::Numbered) << QStringList { "abc.jpg", "abd.jpg", "az.gif", "b.jpg", "b1.jpg" }
            << "4-5" << QStringList {};
        QTest::newRow("no later letter") << int(ComparisonMode::Numbered)
                                         << QStringList { "abc.jpg", "abd.jpg", "az.gif" } << ""
                                         << QStringList { "No more matches..." };
        QTest::newRow("refused in SIZE mode")
            << int(ComparisonMode::Size) << QStringList { "a.jpg", "b.jpg" } << "2-1"
            << QStringList { "Cannot skip to next major alpha in SIZE mode (browse sequence not in name order)." };
    }
    void skip()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, names);
        QFETCH(QString, shown);
        QFETCH(QStringList, messages);
        PairReviewFixture f;
        f.settings.mode = ComparisonMode(mode);
        f.settings.softMatch = true;
        QList<CatalogueRecord> rows;
        for (const QString& name : names)
            rows << fileRow(int(rows.size()) + 1, name);
        QVERIFY(f.make(rows));
        f.session.StoppedAtRecord = 2;
        QVERIFY(f.open());
        // A backward step first: the skip's search still goes forward from the record reached.
        f.review->cmdPREVIOUS_Click();
        f.prompter.clear();
        f.review->cmdSKIP_Click();
        QCOMPARE(f.prompter.texts(), messages);
        QCOMPARE(f.shown(), shown);
        if (shown.isEmpty()) {
            QVERIFY(f.review->files()->isEof());
            f.prompter.clear();
            f.review->cmdNEXT_Click();
            QCOMPARE(f.prompter.texts(), QStringList { "No more matches..." });
            // Back from past the end: the search starts on the last record.
            f.prompter.clear();
            f.review->cmdPREVIOUS_Click();
            QCOMPARE(f.prompter.texts(), QStringList { "No more matches..." });
            QCOMPARE(f.review->files()->record().RECNUM, 1.0);
        }
    }

    void fileActionsWithheldOnOpticalMedia()
    {
        PairReviewFixture f;
        f.volumes
            = FakeVolumes({ VolumeInfo { "/", "", "ext4", "/dev/vda", DriveKind::Fixed, 0, 512 },
                              VolumeInfo { "/media/cd", "DISC", "iso9660", "/dev/sr0", DriveKind::CdRom, 0, 2048 } },
                false);
        QVERIFY(f.make({ fileRow(1, "a.jpg", "/pics/"), fileRow(2, "a.jpg", "/media/cd/pics/") }));
        QVERIFY(f.open());
        QCOMPARE(f.shown(), QString("1-2"));
        QCOMPARE(f.view.actions, (std::array<bool, 2> { true, false }));
        f.settings.noConfirm = true;
        f.review->cmdDELETE2_Click();
        QVERIFY(f.prompter.messages().isEmpty());
        QCOMPARE(f.tags(), QString("  "));
    }
};

QTEST_MAIN(tst_PairReview)
#include "tst_PairReview.moc"
