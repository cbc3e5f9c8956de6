#include "review/snapshot/PatternGroupSearch.h"
#include "review/snapshot/SnapshotReview.h"

#include "SnapshotFixture.h"

#include <QTest>

// The pattern search as the window drives it: pages of hits beside their reference, Stop, the
// reference walking both ways, the tolerance window and the filters.
class tst_PatternGroupSearch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pages_data()
    {
        QTest::addColumn<QString>("options"); // exclusive ifcd=TEXT files noconfirm
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("stopAt"); // Stop pressed in the first search at "Comparing 1 to 4..."
        QTest::addColumn<QString>("actions"); // N Next, P Prev, D0 Delete slot 0
        QTest::addColumn<QStringList>("groups"); // the activation's, then one per action
        QTest::addColumn<int>("noMoreMatches");

        QStringList thirtyHits { "R.JPG pat=40" };
        for (int k = 0; k < 30; ++k)
            thirtyHits << QStringLiteral("C%1.JPG pat=40").arg(k);
        QTest::newRow("thirty hits: 23 on the first page, 7 on the second, then the next reference")
            << "" << thirtyHits << ""
            << "N N" << QStringList { "1 2..24", "1 25..31", "2 1 3..24" } << 0;
        QTest::newRow("Stop during the third hit: the page ends after it, the next goes on with the fourth")
            << "" << thirtyHits << "1 to 4"
            << "N N" << QStringList { "1 2 3 4", "1 5..27", "1 28..31" } << 0;
        QTest::newRow("a deleted reference has no further page")
            << "files noconfirm" << thirtyHits << ""
            << "D0 N" << QStringList { "1 2..24", "2..24", "2 3..25" } << 0;
        QTest::newRow("the reference walks both ways, the hits stay in RECNUM order")
            << "" << QStringList { "A.JPG pat=10", "B.JPG pat=40", "C.JPG pat=40", "D.JPG pat=70" } << ""
            << "N N P P P" << QStringList { "2 3", "3 2", "4", "3 2", "2 3", "1" } << 3;
        QTest::newRow("a window below zero: 3 dark cells, tolerance 5")
            << "" << QStringList { "R.JPG pat=3", "A.JPG pat=0", "B.JPG pat=9" } << ""
            << "N" << QStringList { "1 2", "2 1" } << 0;
        QTest::newRow("a deleted candidate is never shown")
            << "" << QStringList { "R.JPG pat=40", "C.JPG pat=40 rtag=D", "D.JPG pat=40" } << ""
            << "" << QStringList { "1 3" } << 0;
        QTest::newRow("exclusive: hits only in the reference's directory")
            << "exclusive" << QStringList { "R.JPG pat=40 path=/a/", "C.JPG pat=40 path=/b/", "D.JPG pat=40 path=/a/" }
            << ""
            << "" << QStringList { "1 3" } << 0;
        QTest::newRow("incoming files: references only there, hits anywhere")
            << "ifcd=[DISK]_/in/"
            << QStringList { "A.JPG pat=40 path=/x/", "B.JPG pat=40 path=/in/", "C.JPG pat=40 path=/x/" } << ""
            << "N" << QStringList { "2 1 3", "2" } << 1;
    }
    void pages()
    {
        QFETCH(QString, options);
        QFETCH(QStringList, rows);
        QFETCH(QString, stopAt);
        QFETCH(QString, actions);
        QFETCH(QStringList, groups);
        QFETCH(int, noMoreMatches);

        SnapshotFixture f;
        f.settings.mode = ComparisonMode::Pattern;
        f.apply(options);
        QVERIFY(f.make(rowsOf(rows), options.contains("files")));
        f.open();
        bool stopShownWhileSearching = false;
        f.yielder.onYield = [&](int) {
            stopShownWhileSearching = stopShownWhileSearching || f.view.statusShown;
            if (!stopAt.isEmpty()
                && f.view.statusTexts.value(f.view.statusTexts.size() - 1) == "Comparing " + stopAt + "...")
                f.review->cmdSTOP_Click();
        };
        f.review->firstActivation();
        f.yielder.onYield = {};
        QStringList seen { f.group() };
        for (const QString& action : actions.split(' ', Qt::SkipEmptyParts)) {
            if (action == "N")
                f.review->cmdNEXT_Click();
            else if (action == "P")
                f.review->cmdPREV_Click();
            else if (action.startsWith('D')) {
                f.review->thumbnailClicked(action.mid(1).toInt());
                f.review->cmdDELETE_Click();
            }
            seen << f.group();
        }
        QStringList expected;
        for (const QString& group : groups)
            expected << expandRuns(group);
        QCOMPARE(seen, expected);
        QCOMPARE(f.prompter.texts(), QStringList(noMoreMatches, QStringLiteral("No more matches...")));
        // Stop and the status line are up while the search runs, gone after it; the line names
        // the candidate in hand, of the first group's reference first.
        QVERIFY(stopShownWhileSearching);
        QVERIFY(!f.view.statusShown);
        QVERIFY(f.view.statusTexts.value(0).startsWith("Comparing " + expected.first().section(' ', 0, 0) + " to "));
    }
};

QTEST_MAIN(tst_PatternGroupSearch)
#include "tst_PatternGroupSearch.moc"
