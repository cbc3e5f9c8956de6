#include "catalogue/CatalogueDatabase.h"
#include "imagestats/ComparePatterns.h"
#include "match/PatternBlockIndex.h"
#include "match/PatternCandidates.h"

#include "LiteralPatternCycle.h"
#include "MatchCycleFixture.h"
#include "PatternRows.h"

#include <QTest>

class tst_PatternCycle : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The fast cycle (candidates in memory, patterns as bits) marks exactly what the literal
    // cycle (a catalogue query per reference, patterns as text) marks.
    void equalsLiteral_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<bool>("soft");
        QTest::addColumn<bool>("exclusive");
        QTest::addColumn<QString>("ifcd");
        QTest::addColumn<bool>("awkward"); // deleted, odd patterns, marked, idle, shared numbers
        QTest::newRow("plain, T 5") << 1u << 5 << false << false << "" << false;
        QTest::newRow("soft, T 5") << 2u << 5 << true << false << "" << false;
        QTest::newRow("T 0") << 3u << 0 << false << false << "" << false;
        QTest::newRow("soft, T 0") << 4u << 0 << true << false << "" << false;
        QTest::newRow("T 12") << 5u << 12 << false << false << "" << false;
        QTest::newRow("exclusive") << 6u << 5 << false << true << "" << false;
        QTest::newRow("incoming-files directory") << 7u << 5 << true << false << "[PHOTOS] /photos/d03/" << false;
        QTest::newRow("awkward rows, plain") << 8u << 5 << false << false << "" << true;
        QTest::newRow("awkward rows, soft, exclusive") << 9u << 6 << true << true << "" << true;
        QTest::newRow("awkward rows, everything a hit") << 10u << 999 << false << false << "" << true;
        QTest::newRow("negative tolerance") << 12u << -3 << false << false << "" << false;
        QTest::newRow("tolerance past every count") << 13u << 1000000000 << true << false << "" << true;
        QTest::newRow("awkward rows, T 100") << 11u << 100 << true << false << "" << true;
    }
    void equalsLiteral()
    {
        QFETCH(quint32, seed);
        QFETCH(int, tolerance);
        QFETCH(bool, soft);
        QFETCH(bool, exclusive);
        QFETCH(QString, ifcd);
        QFETCH(bool, awkward);
        PatternRowOptions options;
        options.directories = 6;
        if (awkward) {
            options.deletedShare = 0.05;
            options.oddShare = 0.05;
            options.markedShare = 0.05;
            options.idleShare = 0.05;
            options.sharedRecnumShare = 0.03;
        }
        const QList<CatalogueRecord> rows
            = makePatternRows(awkward && tolerance >= 100 ? 60 : 400, randomBases(8, seed), seed, options);

        MatchCycleFixture fast;
        fast.settings.mode = ComparisonMode::Pattern;
        fast.settings.tolerance = QString::number(tolerance);
        fast.settings.softMatch = soft;
        fast.settings.exclusive = exclusive;
        fast.settings.ifcd = ifcd;
        QVERIFY(fast.make(rows));
        const int matches = fast.runWhole();

        MatchCycleFixture slow;
        slow.settings = fast.settings;
        QVERIFY(slow.make(rows));
        int literalMatches = 0;
        {
            auto db = CatalogueDatabase::open(slow.databasePath());
            QVERIFY(db);
            literalMatches = literal::runPatternCycle(*db, RuleSettings::from(slow.settings));
        }
        QCOMPARE(fast.marks(), slow.marks());
        QCOMPARE(matches, literalMatches);
        if (!awkward && tolerance > 0 && tolerance < 100)
            QVERIFY(matches > 0);
    }

    // Candidates that are marked after a query still belong to it; those marked before do not.
    void markedCandidates()
    {
        MatchCycleFixture f;
        const QList<CatalogueRecord> rows = makePatternRows(50, randomBases(3, 7), 7, { .duplicateShare = 0.6 });
        QVERIFY(f.make(rows));
        auto db = CatalogueDatabase::open(f.databasePath());
        PatternCandidates candidates;
        candidates.load(*db);
        QCOMPARE(candidates.size(), 50);
        ImageFacts reference = factsOf(rows.first());
        RuleSettings rules;
        rules.tolerance = 100;
        const auto all = candidates.hits(reference, rules);
        QCOMPARE(int(all.size()), 49);
        candidates.marked(all.at(3).recnum);
        const auto again = candidates.hits(reference, rules);
        QCOMPARE(int(again.size()), 48);
        QVERIFY(std::find(again.begin(), again.end(), all.at(3)) == again.end());
        QVERIFY(std::is_sorted(again.begin(), again.end(), [](auto& a, auto& b) { return a.recnum < b.recnum; }));
    }

    // A row written since the candidates were loaded (a file deleted or moved in review) counts
    // as it now stands: here with exclusive matching, the reference R in /a/ beside X, and Y in /b/.
    void candidatesFollowWrittenRows_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<QList<int>>("hits");
        QTest::newRow("nothing written") << "" << QList<int> { 2 };
        QTest::newRow("X deleted") << "UPDATE FILES SET RTAG = 'D' WHERE RECNUM = 2" << QList<int> {};
        QTest::newRow("X moved away") << "UPDATE FILES SET PATH = '/b/' WHERE RECNUM = 2" << QList<int> {};
        QTest::newRow("Y moved in") << "UPDATE FILES SET PATH = '/a/' WHERE RECNUM = 3" << QList<int> { 2, 3 };
    }
    void candidatesFollowWrittenRows()
    {
        QFETCH(QString, write);
        QFETCH(QList<int>, hits);
        QList<CatalogueRecord> rows { fileRow(1, "R.JPG", "/a/"), fileRow(2, "X.JPG", "/a/"),
            fileRow(3, "Y.JPG", "/b/") };
        for (CatalogueRecord& r : rows) {
            r.PXLRAY = QString(40, QLatin1Char('*')) + QString(60, QLatin1Char(' '));
            r.PXLNUM = 40;
        }
        MatchCycleFixture f;
        QVERIFY(f.make(rows));
        auto db = CatalogueDatabase::open(f.databasePath());
        PatternCandidates candidates;
        candidates.load(*db);
        if (!write.isEmpty())
            QCOMPARE(db->execute(write), 1);
        RuleSettings rules;
        rules.tolerance = 5;
        rules.exclusive = true;
        QList<int> found;
        for (const PatternCandidates::Hit& hit : candidates.hits(factsOf(rows.first()), rules))
            found << hit.recnum;
        QCOMPARE(found, hits);
    }
    // The block index leaves out only what no comparison would keep: over near-duplicates and
    // unrelated random patterns, the pairs the candidates give (pruned where it pays) and the
    // pairs the index names are exactly those a plain comparison of every pair within the
    // window of dark-cell counts finds.
    void prunedEqualsPlainScan_data()
    {
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<bool>("soft");
        for (const int t : { 0, 1, 5, 10, 30, 99 }) {
            QTest::addRow("T %d, plain", t) << t << false;
            QTest::addRow("T %d, soft", t) << t << true;
        }
    }
    void prunedEqualsPlainScan()
    {
        QFETCH(int, tolerance);
        QFETCH(bool, soft);
        const quint32 seed = quint32(17 + tolerance);
        QList<CatalogueRecord> rows
            = makePatternRows(600, randomBases(6, seed), seed, { .duplicateShare = 0.5, .directories = 3 });
        QRandomGenerator random(seed);
        for (int i = 0; i < 150; ++i) { // unrelated pictures: every cell by chance
            CatalogueRecord r = rows.at(i);
            const PatternBits bits { random.generate64(), random.generate64() & ((quint64(1) << 36) - 1) };
            r.RECNUM = int(rows.size()) + 1;
            r.PXLRAY = bits.toText();
            r.PXLNUM = bits.count();
            rows << r;
        }
        MatchCycleFixture f;
        QVERIFY(f.make(rows));
        auto db = CatalogueDatabase::open(f.databasePath());
        PatternCandidates candidates;
        candidates.load(*db);
        RuleSettings rules;
        rules.tolerance = tolerance;
        rules.softMatch = soft;

        std::vector<PatternBits> patterns;
        std::vector<OrientedPattern> oriented; // the plain comparison, on bits (as texts: tst_ComparePatterns)
        std::vector<quint32> ids;
        for (const CatalogueRecord& r : rows) {
            patterns.push_back(*PatternBits::fromText(r.PXLRAY));
            oriented.push_back(orientPattern(patterns.back()));
            ids.push_back(quint32(ids.size()));
        }
        PatternBlockIndex index;
        index.build(tolerance, patterns, ids);
        QCOMPARE(index.builtFor(tolerance), PatternBlockIndex::prunes(tolerance));

        qsizetype pairs = 0;
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QSet<int> plain;
            QSet<int> named;
            for (qsizetype j = 0; j < rows.size(); ++j) {
                if (j == i || comparePatternBits(patterns[std::size_t(i)], oriented[std::size_t(j)], soft) > tolerance)
                    continue;
                named << int(j);
                if (std::abs(rows[j].PXLNUM - rows[i].PXLNUM) <= tolerance)
                    plain << rows[j].RECNUM;
            }
            QSet<int> found;
            for (const PatternCandidates::Hit& hit : candidates.hits(factsOf(rows[i]), rules))
                found << hit.recnum;
            QCOMPARE(found, plain);
            pairs += plain.size();
            if (!index.builtFor(tolerance))
                continue;
            const OrientedPattern turned = turnPattern(patterns[std::size_t(i)]);
            QSet<int> listed;
            std::vector<PatternBlockIndex::List> lists;
            index.lists(turned.oriented.data(), soft ? 6 : 1, lists);
            for (const PatternBlockIndex::List& list : lists)
                listed.unite(QSet<int>(list.ids, list.ids + list.count));
            QVERIFY((named - listed).isEmpty());
        }
        if (tolerance > 0)
            QVERIFY(pairs > 0);
    }
    // Later references' hits are found on other threads; the cycle marks exactly what it marks
    // on one.
    void sameMarksOnAnyThreads_data()
    {
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<bool>("soft");
        QTest::addColumn<bool>("awkward");
        QTest::newRow("plain, T 5") << 5 << false << false;
        QTest::newRow("soft, T 5, awkward rows") << 5 << true << true;
        QTest::newRow("T 14, no blocks") << 14 << false << false;
    }
    void sameMarksOnAnyThreads()
    {
        QFETCH(int, tolerance);
        QFETCH(bool, soft);
        QFETCH(bool, awkward);
        PatternRowOptions options;
        if (awkward) {
            options.deletedShare = 0.05;
            options.oddShare = 0.05;
            options.sharedRecnumShare = 0.03;
        }
        const QList<CatalogueRecord> rows = makePatternRows(3000, randomBases(12, 5), 5, options);
        QList<int> marks[2];
        int matches[2] = {};
        for (const int run : { 0, 1 }) {
            MatchCycleFixture f;
            f.settings.mode = ComparisonMode::Pattern;
            f.settings.tolerance = QString::number(tolerance);
            f.settings.softMatch = soft;
            QVERIFY(f.make(rows));
            matches[run] = f.runWhole(run == 0 ? 1 : 8);
            marks[run] = f.marks();
        }
        QVERIFY(matches[0] > 0);
        QCOMPARE(matches[1], matches[0]);
        QCOMPARE(marks[1], marks[0]);
    }

    // Clusters of alike pictures, larger than what is worked out ahead for one reference: a
    // fifth of the pictures blank, and a burst of near-identical shots. The cycle marks what a
    // plain comparison of each reference with every record not marked before it marks.
    void clustersMarkAsPlainComparison_data()
    {
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<bool>("soft");
        QTest::addColumn<int>("threads");
        for (const int threads : { 1, 8 }) {
            for (const int t : { 0, 5, 10, 30 })
                QTest::addRow("T %d, %d threads", t, threads) << t << false << threads;
            QTest::addRow("soft, T 5, %d threads", threads) << 5 << true << threads;
        }
    }
    void clustersMarkAsPlainComparison()
    {
        QFETCH(int, tolerance);
        QFETCH(bool, soft);
        QFETCH(int, threads);
        QList<CatalogueRecord> rows = makePatternRows(2000, randomBases(12, 3), 3);
        const PatternBits burst = *PatternBits::fromText(rows.at(1).PXLRAY);
        QRandomGenerator random(3);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            PatternBits bits;
            if (i % 5 == 4)
                bits = PatternBits(); // blank
            else if (i % 6 == 2)
                bits = flipCells(burst, random.bounded(2), random);
            else
                continue;
            rows[i].PXLRAY = bits.toText();
            rows[i].PXLNUM = bits.count();
        }
        // Each reference in turn, against the records not marked when its turn came.
        std::vector<PatternBits> patterns;
        std::vector<OrientedPattern> oriented;
        for (const CatalogueRecord& r : rows) {
            patterns.push_back(*PatternBits::fromText(r.PXLRAY));
            oriented.push_back(orientPattern(patterns.back()));
        }
        std::vector<bool> marked(std::size_t(rows.size()));
        for (std::size_t i = 0; i < marked.size(); ++i) {
            const std::vector<bool> before = marked;
            for (std::size_t j = 0; j < marked.size(); ++j) {
                if (j != i && !before[j] && std::abs(rows[qsizetype(j)].PXLNUM - rows[qsizetype(i)].PXLNUM) <= tolerance
                    && comparePatternBits(patterns[i], oriented[j], soft) <= tolerance)
                    marked[i] = marked[j] = true;
            }
        }
        QList<int> expected;
        for (std::size_t i = 0; i < marked.size(); ++i) {
            if (marked[i])
                expected << rows[qsizetype(i)].RECNUM;
        }

        MatchCycleFixture f;
        f.settings.mode = ComparisonMode::Pattern;
        f.settings.tolerance = QString::number(tolerance);
        f.settings.softMatch = soft;
        QVERIFY(f.make(rows));
        QVERIFY(f.runWhole(threads) > 0);
        QCOMPARE(f.marks(), expected);
    }
};

QTEST_GUILESS_MAIN(tst_PatternCycle)
#include "tst_PatternCycle.moc"
