#include "catalogue/CatalogueDatabase.h"
#include "catalogue/SqlRecordSet.h"
#include "match/ImageFacts.h"
#include "match/MatchRules.h"
#include "match/ModeOrder.h"
#include "match/PairWalker.h"
#include "match/RuleSettings.h"

#include "MatchTestSupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Values drawn from small pools, so that neighbours often agree, begin alike or lie within the
// tolerance, and the rules answer both ways.
CatalogueRecord randomRow(QRandomGenerator& random, int recnum)
{
    auto pick = [&](const QStringList& pool) { return pool.at(int(random.bounded(quint32(pool.size())))); };
    const QString name = pick({ "SUN", "SUNSET", "SUN1", "MOON", "MO" });
    CatalogueRecord r = fileRow(recnum, name + pick({ ".JPG", ".PNG" }), pick({ "/a/", "/b/" }));
    r.SIZE = double(random.bounded(3)) * 100;
    r.CHECKSUM = pick({ "C1", "C2" });
    r.RGB = pick({ "R100 G100 B100", "R103 G099 B101", "R150 G100 B100", " " });
    r.SOFTRGB = pick({ "R010 G010 B010", "R012 G011 B010", " " });
    r.QRGB = pick({ "R100 100 100 100 G100 100 100 100 B100 100 100 100",
        "R102 100 099 100 G100 101 100 100 B100 100 100 103", "R100 160 100 100 G100 100 100 100 B100 100 100 100" });
    r.SOFTQRGB = r.QRGB;
    r.RTAG = random.bounded(12) == 0 ? QStringLiteral("D") : QStringLiteral(" ");
    r.DISKNAME = QStringLiteral("f%1.jpg").arg(recnum); // one file per row
    return r;
}

} // namespace

class tst_HeldFieldWalk : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    // A walk decides its steps on the fields ruleFields names: no rule may read another.
    void ruleFieldsCoverTheRules_data()
    {
        QTest::addColumn<int>("mode");
        for (ComparisonMode mode :
            { ComparisonMode::Name, ComparisonMode::Size, ComparisonMode::NameAndSize, ComparisonMode::Numbered,
                ComparisonMode::Checksum, ComparisonMode::AverageRgb, ComparisonMode::QuadrantRgb })
            QTest::newRow(qPrintable(modeSettingsLine(mode))) << int(mode);
    }
    void ruleFieldsCoverTheRules()
    {
        QFETCH(int, mode);
        const auto m = ComparisonMode(mode);
        QRandomGenerator random(quint32(mode) + 1);
        int matches = 0;
        for (int i = 0; i < 300; ++i) {
            const ImageFacts reference = factsOf(randomRow(random, 1));
            const ImageFacts candidate = factsOf(randomRow(random, 2));
            for (int switches = 0; switches < 4; ++switches) {
                RuleSettings settings;
                settings.softMatch = switches & 1;
                settings.ignoreExtension = switches & 2;
                settings.tolerance = 5;
                const CatalogueFields::FieldMask fields = ruleFields(m, settings);
                QCOMPARE(fields & ~ruleFields(m), 0u);
                ImageFacts r;
                ImageFacts c;
                copyFacts(r, reference, fields);
                copyFacts(c, candidate, fields);
                for (SearchDirection direction : { SearchDirection::Forward, SearchDirection::Backward }) {
                    const bool whole = ruleAndGuardPass(m, reference, candidate, settings, direction);
                    QCOMPARE(ruleAndGuardPass(m, r, c, settings, direction), whole);
                    QCOMPARE(ruleMatches(m, r, c, settings, direction),
                        ruleMatches(m, reference, candidate, settings, direction));
                    matches += whole ? 1 : 0;
                }
            }
        }
        QVERIFY(matches > 0);
    }

    // The same walk over a record set that holds the deciding fields and over one that reads
    // every row whole finds the same pairs and hands out the same slots, while rows are deleted
    // and renamed between the searches through the walk's connection or another one.
    void heldWalkEqualsWholeWalk_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("backward");
        QTest::addColumn<bool>("soft");
        QTest::addColumn<bool>("ignore");
        QTest::addColumn<bool>("otherConnection");
        QTest::newRow("name") << int(ComparisonMode::Name) << false << false << false << false;
        QTest::newRow("name, soft, backward") << int(ComparisonMode::Name) << true << true << false << true;
        QTest::newRow("name and size, ignore") << int(ComparisonMode::NameAndSize) << false << false << true << true;
        QTest::newRow("size, backward") << int(ComparisonMode::Size) << true << false << false << false;
        QTest::newRow("numbered, soft") << int(ComparisonMode::Numbered) << false << true << false << false;
        QTest::newRow("checksum") << int(ComparisonMode::Checksum) << false << false << false << true;
        QTest::newRow("average rgb, soft") << int(ComparisonMode::AverageRgb) << false << true << false << false;
        QTest::newRow("quadrant rgb, backward") << int(ComparisonMode::QuadrantRgb) << true << false << true << true;
    }
    void heldWalkEqualsWholeWalk()
    {
        QFETCH(int, mode);
        QFETCH(bool, backward);
        QFETCH(bool, soft);
        QFETCH(bool, ignore);
        QFETCH(bool, otherConnection);
        QRandomGenerator random(quint32(mode) * 7 + (backward ? 1 : 0));
        QList<CatalogueRecord> rows;
        for (int i = 1; i <= 150; ++i)
            rows << randomRow(random, i);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        auto held = makeCatalogueWithRows(m_dir.filePath(name + QStringLiteral(" held.mdb")), rows);
        auto whole = makeCatalogueWithRows(m_dir.filePath(name + QStringLiteral(" whole.mdb")), rows);
        QVERIFY(held && whole);

        RuleSettings settings;
        settings.softMatch = soft;
        settings.ignoreExtension = ignore;
        settings.tolerance = 5;
        auto walk = [&](CatalogueDatabase& db, bool holdFields) {
            RecordSource source = buildModeRecordSource(ComparisonMode(mode), false, ignore, { QStringLiteral("X") });
            if (!holdFields)
                source.heldFields = 0;
            SqlRecordSet files(db);
            applySource(files, source);
            if (backward)
                files.moveLast();
            auto other = CatalogueDatabase::open(db.path());
            RecordPair pair;
            PairWalker walker(files, pair);
            FakeConfirmer confirmer;
            QList<RecordPair> found;
            const SearchDirection direction = backward ? SearchDirection::Backward : SearchDirection::Forward;
            QRandomGenerator rowPicker(7);
            auto anyRow = [&] { return int(rowPicker.bounded(150)) + 1; };
            while (walker.find(direction, ComparisonMode(mode), settings, confirmer)) {
                found << pair;
                // Between the searches: every third candidate is deleted in review; every other
                // time a record elsewhere is deleted and one is given the candidate's values,
                // through the walk's own connection or, once, through another one.
                if (found.size() % 3 == 0) {
                    db.execute(QStringLiteral("UPDATE FILES SET RTAG = ? WHERE rowid = ?"),
                        { QStringLiteral("D"), qint64(pair.candidate.rowId) });
                    pair.candidate.RTAG = QStringLiteral("D");
                }
                if (found.size() % 2 == 0) {
                    CatalogueDatabase& writer = otherConnection && found.size() == 20 ? *other : db;
                    writer.execute(QStringLiteral("UPDATE FILES SET RTAG = ? WHERE RECNUM = ?"),
                        { QStringLiteral("D"), anyRow() });
                    writer.execute(QStringLiteral("UPDATE FILES SET NAME = ?, WHOLENAME = ?, SIZE = ?, RGB = ?, "
                                                  "QRGB = ?, CHECKSUM = ? WHERE RECNUM = ?"),
                        { pair.candidate.NAME, pair.candidate.WHOLENAME, pair.candidate.SIZE.trimmed().toInt(),
                            pair.candidate.RGB, pair.candidate.QRGB, pair.candidate.CHECKSUM, anyRow() });
                }
            }
            found << pair; // the slots as the walk ends
            return found;
        };
        const QList<RecordPair> fromHeld = walk(*held, true);
        const QList<RecordPair> fromWhole = walk(*whole, false);
        QVERIFY(fromWhole.size() > 24);
        QCOMPARE(fromHeld.size(), fromWhole.size());
        for (qsizetype i = 0; i < fromWhole.size(); ++i) {
            QVERIFY(!fromHeld[i].reference.partial && !fromHeld[i].candidate.partial);
            QVERIFY2(fromHeld[i].reference == fromWhole[i].reference, qPrintable(QString::number(i)));
            QVERIFY2(fromHeld[i].candidate == fromWhole[i].candidate, qPrintable(QString::number(i)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_HeldFieldWalk)
#include "tst_HeldFieldWalk.moc"
