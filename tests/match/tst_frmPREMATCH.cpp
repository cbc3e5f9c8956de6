#include "match/PrematchCycle.h"
#include "match/frmPREMATCH.h"

#include "MatchCycleFixture.h"
#include "WidgetProbes.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

class tst_frmPREMATCH : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controls()
    {
        MatchCycleFixture f;
        QVERIFY(f.make({}));
        frmPREMATCH window(f.settings, f.session, f.dir.path(), f.prompter, f.sound);
        QCOMPARE(window.windowTitle(), QStringLiteral("t'olq - Pre-Match Cycle"));
        QCOMPARE(window.cmdPAUSE->text(), QStringLiteral("Pause"));
        QCOMPARE(window.cmdCANCEL->text(), QStringLiteral("Quit    "));
        QCOMPARE(window.cmdKILL->text(), QStringLiteral("Abort  "));
        for (const char* name :
            { "lblFOUND", "cmdPAUSE", "cmdCANCEL", "cmdKILL", "Image1", "imgPIC1", "imgPIC5", "tmrPICTURE" })
            QVERIFY2(window.findChild<QObject*>(QLatin1String(name)), name);
        QCOMPARE(window.size(), QSize(508, 66));
        QCOMPARE(window.palette().color(QPalette::Window), QColor(192, 255, 192));
        QCOMPARE(window.cmdCANCEL->nextInFocusChain(), window.cmdPAUSE);
    }

    // The longest texts the cycle shows stand whole in the label, clear of the buttons.
    void foundTextFits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("99,990 records left") << "0 matches found...  99990 records left...";
        QTest::newRow("five-digit counts") << "99990 matches found...  99990 records left...";
        QTest::newRow("ten-digit counts") << "2147483647 matches found...  2147483647 records left...";
    }
    void foundTextFits()
    {
        QFETCH(QString, text);
        MatchCycleFixture f;
        QVERIFY(f.make({}));
        frmPREMATCH window(f.settings, f.session, f.dir.path(), f.prompter, f.sound);
        QLabel* label = window.lblFOUND;
        window.showFound(text);
        const QString shown = label->text();
        const QRect room = label->contentsRect();
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect needed = label->fontMetrics().boundingRect(room, flags, shown);
        QVERIFY2(room.contains(needed),
            qPrintable(QStringLiteral("%1x%2 in %3x%4")
                           .arg(needed.width())
                           .arg(needed.height())
                           .arg(room.width())
                           .arg(room.height())));
        QVERIFY(window.rect().contains(label->geometry()));
        QVERIFY(label->geometry().right() < window.cmdPAUSE->x());
        QCOMPARE(shown.simplified(), text.simplified());
    }

    void placement_data() { progressPlacementRows(); }
    void placement()
    {
        QFETCH(int, top);
        QFETCH(int, left);
        MatchCycleFixture f;
        QVERIFY(f.make({}));
        f.session.PreScanTop = top;
        f.session.PreScanLeft = left;
        frmPREMATCH window(f.settings, f.session, f.dir.path(), f.prompter, f.sound);
        verifyProgressPlacement(&window);
    }

    // The window runs the cycle and unloads; a catalogue that refuses the marks (a full disk)
    // is told instead of the summary, and the cycle's resume point stays.
    void runsAndHandsOver_data()
    {
        QTest::addColumn<bool>("minimized");
        QTest::addColumn<bool>("refused");
        QTest::newRow("normal") << false << false;
        QTest::newRow("started minimized") << true << false;
        QTest::newRow("the catalogue refuses the marks") << false << true;
    }
    void runsAndHandsOver()
    {
        QFETCH(bool, minimized);
        QFETCH(bool, refused);
        MatchCycleFixture f;
        f.session.FilesRead = 3;
        f.session.PreScanTop = 1500;
        f.session.PreScanLeft = 3000;
        f.session.WasSearchMinmized = minimized;
        f.settings.gather = false;
        QVERIFY(f.make({ fileRow(1, "a.jpg", "/x/"), fileRow(2, "a.jpg", "/y/"), fileRow(3, "b.jpg") }));
        if (refused)
            CatalogueDatabase::open(f.databasePath())
                ->execute("CREATE TRIGGER refuse BEFORE UPDATE ON FILES BEGIN SELECT RAISE(ABORT, 'full'); END");
        QPointer<frmPREMATCH> window = new frmPREMATCH(f.settings, f.session, f.dir.path(), f.prompter, f.sound);
        window->show();
        QTRY_VERIFY(window.isNull());
        QVERIFY(f.session.PrematchUnloaded);
        QCOMPARE(f.session.PrematchFailed, refused);
        QCOMPARE(f.prompter.texts(),
            QStringList { refused ? QStringLiteral("The catalogue could not be updated.\r\rfull")
                                  : QStringLiteral("3 files read,  1 matches found ...") });
        QCOMPARE(f.marks(), refused ? QList<int>() : QList({ 1, 2 }));
        QCOMPARE(QFile::exists(f.resumeFile()), refused);
        QCOMPARE(f.session.WasSearchMinmized, minimized);
        if (!minimized) {
            // The offscreen platform may keep or move the window; the stored place is where it stood.
            QVERIFY(f.session.PreScanTop != Session::NoStoredPosition);
        } else {
            QCOMPARE(f.session.PreScanTop, 1500);
            QCOMPARE(f.session.PreScanLeft, 3000);
        }
    }

    void abortKeepsResumeFile()
    {
        MatchCycleFixture f;
        QVERIFY(f.make({ fileRow(1, "a.jpg", "/x/"), fileRow(2, "a.jpg", "/y/") }));
        QVERIFY(writeFile(f.resumeFile(), " 2 \r\n"));
        bool ended = false;
        {
            frmPREMATCH window(f.settings, f.session, f.dir.path(), f.prompter, f.sound);
            window.setProgramEnd([&] { ended = true; });
            window.cmdKILL->click();
        }
        QVERIFY(ended);
        QCOMPARE(readFile(f.resumeFile()), QByteArray(" 2 \r\n"));
        QVERIFY(!f.session.PrematchUnloaded);
    }

    void missingDatabaseHandsOver()
    {
        MatchCycleFixture f;
        QVERIFY(writeFile(f.resumeFile(), " 2 \r\n"));
        QPointer<frmPREMATCH> window = new frmPREMATCH(f.settings, f.session, f.dir.path(), f.prompter, f.sound);
        window->Form_Activate();
        QTRY_VERIFY(window.isNull());
        QVERIFY(f.session.PrematchUnloaded);
        QCOMPARE(f.prompter.messages().size(), 1);
        // No step ran: the resume point stays for a later try.
        QCOMPARE(readFile(f.resumeFile()), QByteArray(" 2 \r\n"));
    }
};

QTEST_MAIN(tst_frmPREMATCH)
#include "tst_frmPREMATCH.moc"
