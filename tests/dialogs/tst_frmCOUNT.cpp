#include "catalogue/CatalogueDatabase.h"
#include "catalogue/SqlRecordSet.h"
#include "dialogs/frmCOUNT.h"

#include "MatchTestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class tst_frmCOUNT : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void recordsLeft_data()
    {
        QTest::addColumn<int>("steps"); // moves from the first record; -1: to EOF
        QTest::addColumn<int>("left");
        QTest::newRow("first of six") << 0 << 5;
        QTest::newRow("third of six, a deleted record after it counts") << 2 << 3;
        QTest::newRow("last record") << 5 << 0;
        QTest::newRow("past the last record") << -1 << 0;
    }
    void recordsLeft()
    {
        QFETCH(int, steps);
        QFETCH(int, left);
        QTemporaryDir dir;
        QList<CatalogueRecord> rows;
        for (int i = 1; i <= 6; ++i)
            rows << fileRow(i, QStringLiteral("f%1.jpg").arg(i));
        rows[4].RTAG = QStringLiteral("D");
        auto db = makeCatalogueWithRows(dir.filePath("cat.mdb"), rows);
        QVERIFY(db);
        SqlRecordSet files(*db);
        files.setSource(QString(), QStringLiteral("RECNUM"));
        files.refresh();
        if (steps < 0) {
            files.moveLast();
            files.moveNext();
        }
        for (int i = 0; i < steps; ++i)
            files.moveNext();
        const double before = files.hasCurrent() ? files.record().RECNUM : -1;
        QCOMPARE(recordsLeftToReview(files), left);
        QCOMPARE(files.hasCurrent() ? files.record().RECNUM : -1, before); // the cursor stays
    }

    // The notice as both reviews drive it: up while counting, Continue disabled, then modal with
    // the closing text until Continue, which unloads it; the next count starts afresh.
    void noticeRunsThenWaitsForContinue()
    {
        QWidget review;
        frmCOUNT::Notice notice(&review);
        for (int round = 0; round < 2; ++round) {
            notice.showRunning(countRunningText(7));
            auto* window = review.findChild<frmCOUNT*>();
            QVERIFY(window);
            QVERIFY(window->isVisible());
            QVERIFY(!window->cmdOK->isEnabled());
            QCOMPARE(window->cmdOK->text(), QStringLiteral("Continue"));
            QCOMPARE(window->lblCOUNT->text(), QStringLiteral("There are 7 records left to review."));
            const QRect screen = QApplication::primaryScreen()->geometry();
            // Centred on the screen, within the window frame's few pixels.
            QVERIFY(qAbs(window->geometry().center().x() - screen.center().x()) <= 4);
            QVERIFY(qAbs(window->geometry().center().y() - screen.center().y()) <= 4);

            QPointer<frmCOUNT> shown = window;
            bool modal = false;
            bool enabled = false;
            QString text;
            QTimer::singleShot(0, [&] {
                modal = shown->isModal() && shown->isVisible();
                enabled = shown->cmdOK->isEnabled();
                text = shown->lblCOUNT->text();
                shown->cmdOK->click();
            });
            notice.showFinal(countFinalText(7));
            QVERIFY(modal);
            QVERIFY(enabled);
            QCOMPARE(text,
                QStringLiteral("There are 7 records left to review...\n\nPlease note that this is not a count of "
                               "duplicates left..."));
            QTRY_VERIFY(shown.isNull());
        }
    }
};

QTEST_MAIN(tst_frmCOUNT)
#include "tst_frmCOUNT.moc"
