#include "catalogue/CatalogueDatabase.h"
#include "main/frmABOUT.h"
#include "main/frmFINDIT.h"
#include "main/frmLOADSAVE.h"
#include "main/frmMAIN.h"
#include "main/frmRESUME.h"
#include "main/frmSTATS.h"
#include "match/ModeOrder.h"
#include "match/frmPREMATCH.h"
#include "review/ReviewPorts.h"
#include "review/pair/frmCHECKEM.h"
#include "review/snapshot/frmSNAPSHOT.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include "FakeVolumes.h"
#include "MatchTestSupport.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <algorithm>

class tst_StageWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void prematchHandsOver()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("Matching.dat"), "17\r\n"));
        Session session;
        session.PreScanTop = 1500;
        session.PreScanLeft = 3000;
        MainSettings settings;
        QVERIFY(makeCatalogueWithRows(listDatabasePath(dir.path(), settings), {}));
        ScriptedPrompter prompter;
        RecordingSoundPlayer sound;
        QPointer<frmPREMATCH> window = new frmPREMATCH(settings, session, dir.path(), prompter, sound);
        QCOMPARE(window->pos(), QPoint(200, 100));
        window->Form_Activate();
        QTRY_VERIFY(window.isNull()); // unloaded
        QVERIFY(session.PrematchUnloaded);
        QVERIFY(!QFile::exists(dir.file("Matching.dat")));
        QCOMPARE(session.PreScanTop, 1500);
        QCOMPARE(session.PreScanLeft, 3000);
        QVERIFY(!session.WasSearchMinmized);
    }

    void reviewsHandBack_data()
    {
        QTest::addColumn<bool>("snapshot");
        QTest::newRow("pair review") << false;
        QTest::newRow("snapshot review") << true;
    }
    void reviewsHandBack()
    {
        QFETCH(bool, snapshot);
        Session session;
        session.ChangedSearch = true;
        session.NumberDeleted = 4;
        session.StoppedAtRecord = 12;
        ScriptedPrompter prompter;
        QWidget mainWindow;
        QPointer<QDialog> review;
        TemporaryProgramDirectory dir;
        MainSettings settings;
        RecordingSoundPlayer sound;
        struct : SettingsWriter
        {
            void writeSettings() override { }
        } writer;
        QVERIFY(makeCatalogueWithRows(listDatabasePath(dir.path(), settings), {}));
        QPointer<QWidget> snapshotWindow;
        FakeVolumes volumes;
        if (snapshot) {
            auto* window = new frmSNAPSHOT(
                settings, session, dir.path(), frmSNAPSHOT::Services { prompter, sound, volumes, writer }, &mainWindow);
            QCOMPARE(session.NumberDeleted, 4); // earlier deletes of the run still count
            snapshotWindow = window;
            window->Form_Activate();
        } else {
            auto* window = new frmCHECKEM(settings, session, dir.path(), prompter, sound, writer, &mainWindow);
            QCOMPARE(session.NumberDeleted, 4);
            review = window;
            window->Form_Activate();
        }
        QTRY_VERIFY(review.isNull() && snapshotWindow.isNull());
        QCOMPARE(prompter.texts(), QStringList { "No files to review..." });
        QVERIFY(mainWindow.isVisible());
        QVERIFY(!session.ChangedSearch);
        // Nothing reviewed: both store the reference they never had, so no resume is offered.
        QCOMPARE(session.StoppedAtRecord, 0);
    }

    void statisticsWindow_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("pressOk");
        QTest::addColumn<int>("answer");
        QTest::newRow("ok") << false << true << int(StatsAnswer::Ok);
        QTest::newRow("ok, switched off") << true << true << int(StatsAnswer::OkDoNotDisplay);
        QTest::newRow("closed otherwise, box ignored") << true << false << int(StatsAnswer::Closed);
    }
    void statisticsWindow()
    {
        QFETCH(bool, ticked);
        QFETCH(bool, pressOk);
        QFETCH(int, answer);
        frmSTATS stats(QStringLiteral("0 file(s) deleted this session.\r\rtwo"), nullptr);
        QCOMPARE(stats.windowTitle(), QStringLiteral("t'olq! - DriveSpace Recovery Stats"));
        QCOMPARE(stats.lblMSG->text(), QStringLiteral("0 file(s) deleted this session.\n\ntwo"));
        QCOMPARE(stats.cmdOK->text(), QStringLiteral("&Ok"));
        QTimer::singleShot(0, &stats, [&] {
            stats.chkNODISPLAY->setChecked(ticked);
            if (pressOk)
                stats.cmdOK->click();
            else
                stats.reject();
        });
        QCOMPARE(int(stats.showModal()), answer);
    }

    // The main window and the About box are placed by their outer frame, title bar included.
    void placedByTheFrame_data()
    {
        QTest::addColumn<bool>("about");
        QTest::newRow("the main window: a quarter of the spare space on a large screen") << false;
        QTest::newRow("the About box: centred on the screen") << true;
    }
    void placedByTheFrame()
    {
        QFETCH(bool, about);
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("TOLQ.INI"), "[MODE]\r\n"));
        ScriptedPrompter prompter;
        std::unique_ptr<QWidget> window;
        if (about)
            window = std::make_unique<frmABOUT>();
        else
            window = std::make_unique<frmMAIN>(prompter, dir.path());
        window->show();
        QTRY_VERIFY(window->frameGeometry().size() != window->size()); // framed
        const QRect screen = about ? window->screen()->geometry() : window->screen()->availableGeometry();
        const QSize frame = window->frameGeometry().size();
        const QPoint twips = MainController::placement(screen.size() * 15, frame * 15);
        const QPoint expected = about
            ? QPoint((screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2)
            : QPoint(twips.x() / 15, twips.y() / 15);
        QTRY_COMPARE(window->frameGeometry().topLeft(), screen.topLeft() + expected);
        // Also on a screen lower than the window's rows (ctest runs this on 800 by 600 too).
        QVERIFY(screen.contains(window->frameGeometry()));
    }

    // The main window's dialogs stand by their outer frame against the main window's: centred
    // over it, or the add dialog's bottom-right corner 100 twips inside its own.
    void dialogsPlacedByTheFrame_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("ownerAtTheBottom"); // the main window moved down past the screen's edge
        for (const char* name : { "frmSTATS", "frmLOADSAVE", "frmRESUME", "frmFINDIT" }) {
            QTest::newRow(name) << name << false;
            QTest::addRow("%s, kept on the screen", name) << name << true;
        }
    }
    void dialogsPlacedByTheFrame()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, ownerAtTheBottom);
        TemporaryProgramDirectory dir;
        ScriptedPrompter prompter;
        MainSettings settings;
        Session session;
        FakeVolumes volumes;
        QWidget main;
        main.resize(600, 500);
        main.move(40, ownerAtTheBottom ? main.screen()->geometry().height() - 200 : 30);
        main.show();
        QTRY_VERIFY(main.frameGeometry().size() != main.size());
        std::unique_ptr<QWidget> window;
        if (dialog == "frmSTATS")
            window = std::make_unique<frmSTATS>(QStringLiteral("0 file(s) deleted this session."), &main);
        else if (dialog == "frmLOADSAVE")
            window = std::make_unique<frmLOADSAVE>(dir.path(), prompter, nullptr, nullptr, &main);
        else if (dialog == "frmRESUME")
            window = std::make_unique<frmRESUME>(session, volumes, &main);
        else
            window = std::make_unique<frmFINDIT>(settings, session, volumes, prompter, &main);
        window->show();
        QTRY_VERIFY(window->frameGeometry().size() != window->size()); // framed
        const QRect over = main.frameGeometry();
        const QSize frame = window->frameGeometry().size();
        const QPoint expected = dialog == "frmFINDIT"
            ? over.bottomRight() + QPoint(1, 1) - QPoint(frame.width(), frame.height()) - QPoint(100 / 15, 100 / 15)
            : over.topLeft() + QPoint((over.width() - frame.width()) / 2, (over.height() - frame.height()) / 2);
        const QRect screen = window->screen()->geometry();
        const QPoint kept(expected.x(), std::min(expected.y(), screen.bottom() + 1 - frame.height()));
        QTRY_COMPARE(window->frameGeometry().topLeft(), kept);
        QVERIFY(screen.contains(window->frameGeometry()));
    }

    void aboutWindow()
    {
        QCOMPARE(frmABOUT::versionText(1, 2).left(13), QStringLiteral("Revision 1.02"));
        QCOMPARE(frmABOUT::versionText(3, 15).left(13), QStringLiteral("Revision 3.15"));
        frmABOUT about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About t'olq!"));
        QCOMPARE(about.Command1->text(), QStringLiteral("&Ok"));
        QVERIFY(about.lblVERSION->text().startsWith("Revision "));
    }
};

QTEST_MAIN(tst_StageWindows)
#include "tst_StageWindows.moc"
