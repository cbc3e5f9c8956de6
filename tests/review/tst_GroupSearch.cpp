#include "review/snapshot/GroupSearch.h"
#include "review/snapshot/SnapshotReview.h"

#include "SnapshotFixture.h"

#include <QTest>

Q_DECLARE_METATYPE(ComparisonMode)

namespace {

QStringList repeated(const QString& row, int count)
{
    return QStringList(count, row);
}

QString qrgbOf(const QString& red, const QString& rest = QStringLiteral("010"))
{
    const QString four = QStringList(4, rest).join(QLatin1Char('_'));
    return QStringLiteral("R%1_%2_%2_%2_G%3_B%3").arg(red, rest, four);
}

} // namespace

// The group searches of every mode but PATTERN, walked through Next and Prev as the window
// presses them: the groups shown, where each walk turns, and what the rules let through.
class tst_GroupSearch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void walk_data()
    {
        QTest::addColumn<ComparisonMode>("mode");
        QTest::addColumn<QString>("options"); // soft ignore exclusive tree tol=T ifcd=TEXT differ=NAME
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("presses"); // N Next, P Prev, after the first activation's group
        QTest::addColumn<QStringList>("groups"); // the activation's group, then one per press
        QTest::addColumn<int>("noMoreMatches");

        const ComparisonMode name = ComparisonMode::Name;
        QTest::newRow("forty equal names: the boundary record in both groups, the end, the turn")
            << name << "" << repeated("A.JPG", 40) << "NNN" << QStringList { "1..24", "24..40", "-", "40..17" } << 2;
        QTest::newRow("a full group leaves the cursor on its last member")
            << name << "" << repeated("A.JPG", 24) << "NP" << QStringList { "1..24", "-", "24..1" } << 2;
        QTest::newRow("a group run to the end: the next search finds nothing")
            << name << "" << repeated("A.JPG", 3) << "NN" << QStringList { "1 2 3", "-", "3 2 1" } << 2;
        QTest::newRow("turn at the start") << name << "" << QStringList { "A.JPG", "A.JPG", "B.JPG", "C.JPG", "C.JPG" }
                                           << "PPP" << QStringList { "1 2", "2 1", "-", "1 2" } << 2;
        QTest::newRow("deleted records inside a run")
            << name << "" << QStringList { "A.JPG", "A.JPG rtag=D", "A.JPG", "B.JPG" } << "" << QStringList { "1 3" }
            << 0;
        QTest::newRow("soft: CAT, CAT1, CAT12 all begin with CAT")
            << name << "soft" << QStringList { "CAT.JPG", "CAT1.JPG", "CAT12.JPG", "DOG.JPG" } << ""
            << QStringList { "1 2 3" } << 0;
        QTest::newRow("soft backward: the reference begins with the earlier name")
            << name << "soft" << QStringList { "CAT.JPG", "CAT1.JPG" } << "NP" << QStringList { "1 2", "-", "2 1" }
            << 2;
        QTest::newRow("numbered: the letters of the name")
            << ComparisonMode::Numbered << "" << QStringList { "IMG1.JPG", "IMG22.JPG", "PIC3.JPG" } << ""
            << QStringList { "1 2" } << 0;
        QTest::newRow("name and size") << ComparisonMode::NameAndSize << ""
                                       << QStringList { "A.JPG size=1", "A.JPG size=2", "A.JPG size=2" } << ""
                                       << QStringList { "2 3" } << 0;
        QTest::newRow("size") << ComparisonMode::Size << "" << QStringList { "A.JPG size=7", "B.JPG size=7" } << ""
                              << QStringList { "1 2" } << 0;
        QTest::newRow("checksum, soft: the files differ")
            << ComparisonMode::Checksum << "soft differ=B.JPG" << QStringList { "A.JPG sum=K", "B.JPG sum=K" } << ""
            << QStringList { "-" } << 1;
        QTest::newRow("exclusive: another location ends the group, the first pair too")
            << name << "exclusive"
            << QStringList { "A.JPG vol=[V1] path=/a/", "A.JPG vol=[V2] path=/a/", "a.jpg vol=[V1] path=/a/" } << ""
            << QStringList { "-" } << 1;
        QTest::newRow("exclusive: directories whose paths differ in case are walked apart")
            << name << "exclusive" << QStringList { "A.JPG path=/p/A/", "A.JPG path=/p/a/", "a.jpg path=/p/A/" } << ""
            << QStringList { "1 3" } << 0;
        QTest::newRow("one file reached twice is no group")
            << name << "" << QStringList { "A.JPG path=/x/", "A.JPG path=/x/" } << "" << QStringList { "-" } << 1;
        QTest::newRow("a group outside the incoming-files directory is dropped")
            << name << "ifcd=[DISK]_/in/"
            << QStringList { "A.JPG path=/x/", "a.jpg path=/x/", "B.JPG path=/in/", "B.JPG path=/x/" } << ""
            << QStringList { "3 4" } << 0;
        QTest::newRow("tree mode keeps a group with a member below it")
            << name << "tree ifcd=[DISK]_/in/" << QStringList { "A.JPG path=/in/sub/", "A.JPG path=/x/" } << ""
            << QStringList { "1 2" } << 0;
        QTest::newRow("average colour: a blank reference opens no group, a blank member joins one")
            << ComparisonMode::AverageRgb << ""
            << QStringList { "A.JPG rgb=_", "B.JPG rgb=R000_G000_B000", "C.JPG rgb=R001_G001_B001" } << "NP"
            << QStringList { "2 3", "-", "3 2 1" } << 2;
        QTest::newRow("quadrant colour: at the tolerance")
            << ComparisonMode::QuadrantRgb << ""
            << QStringList { "A.JPG rgb=R1 qrgb=" + qrgbOf("010"), "B.JPG rgb=R1 qrgb=" + qrgbOf("015", "015") } << ""
            << QStringList { "1 2" } << 0;
        QTest::newRow("a tolerance above 99 stands as written: a difference of 6 passes")
            << ComparisonMode::AverageRgb << "tol=150"
            << QStringList { "A.JPG rgb=R000_G000_B000", "B.JPG rgb=R006_G000_B000" } << "" << QStringList { "1 2" }
            << 0;
        QTest::newRow("a negative tolerance stands as written: equal colours fail")
            << ComparisonMode::AverageRgb << "tol=-3"
            << QStringList { "A.JPG rgb=R000_G000_B000", "B.JPG rgb=R000_G000_B000" } << "" << QStringList { "-" } << 1;
    }
    void walk()
    {
        QFETCH(ComparisonMode, mode);
        QFETCH(QString, options);
        QFETCH(QStringList, rows);
        QFETCH(QString, presses);
        QFETCH(QStringList, groups);
        QFETCH(int, noMoreMatches);

        SnapshotFixture f;
        f.settings.mode = mode;
        f.apply(options);
        QVERIFY(f.make(rowsOf(rows)));
        f.start();
        QStringList seen { f.group() };
        for (QChar press : presses) {
            press == QLatin1Char('N') ? f.review->cmdNEXT_Click() : f.review->cmdPREV_Click();
            seen << f.group();
        }
        QStringList expected;
        for (const QString& group : groups)
            expected << expandRuns(group);
        QCOMPARE(seen, expected);
        QCOMPARE(f.prompter.texts(), QStringList(noMoreMatches, QStringLiteral("No more matches...")));
        // The reference of the group shown is the resume record, written after every step.
        QCOMPARE(f.writer.writes, int(presses.size()) + 1);
        QCOMPARE(f.session.StoppedAtRecord, f.review->pair().reference.RECNUM);
        if (f.group() != "-")
            QCOMPARE(f.group().section(' ', 0, 0).toInt(), f.session.StoppedAtRecord);
        QVERIFY(f.view.controlsEnabled);
    }
};

QTEST_MAIN(tst_GroupSearch)
#include "tst_GroupSearch.moc"
