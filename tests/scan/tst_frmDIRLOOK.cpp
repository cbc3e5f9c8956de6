// The pre-scan window offscreen: placement, the run on first activation, the buttons, closing
// mid-run, Abort, the minimized window and the preview.

#include "ScanFixture.h"
#include "TestSupport.h"
#include "WidgetProbes.h"

#include "scan/frmDIRLOOK.h"
#include "widgets/ImageBox.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class tst_frmDIRLOOK : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placement_data();
    void placement();
    void runsOnFirstActivationAndUnloads();
    void closingMidRunIsQuit();
    void pauseAndQuitButtons();
    void abortEndsTheProgram();
    void pausedRun_data();
    void pausedRun();
    void minimizedWindow();
    void catalogueThatCannotBeOpened();
    void previewOrAnimation_data();
    void previewOrAnimation();
};

namespace {

std::unique_ptr<frmDIRLOOK> makeWindow(ScanFixture& f)
{
    auto window = std::make_unique<frmDIRLOOK>(f.settings, f.session, f.programDirectory(),
        frmDIRLOOK::Services { f.prompter, f.sound, f.volumes, &f.yielder, 1 });
    window->setEndProgram([] { QFAIL("the program must not end"); });
    return window;
}

void threeFiles(ScanFixture& f)
{
    for (int i = 1; i <= 3; ++i)
        f.image(QStringLiteral("a"), QStringLiteral("f%1.jpg").arg(i), i);
    f.settings.directories = { f.entry(QStringLiteral("a")) };
}

// Pause is pressed once, while the second file is shown.
void pauseAtTheSecondFile(ScanFixture& f, frmDIRLOOK& window)
{
    f.yielder.onYield = [&window, paused = false](int) mutable {
        if (!paused && window.lblNUMBER->text() == QLatin1String("2 found...")) {
            paused = true;
            window.cmdPAUSE->click();
        }
    };
}

} // namespace

void tst_frmDIRLOOK::placement_data()
{
    progressPlacementRows();
}

void tst_frmDIRLOOK::placement()
{
    QFETCH(int, top);
    QFETCH(int, left);
    ScanFixture f;
    f.session.PreScanTop = top;
    f.session.PreScanLeft = left;
    auto window = makeWindow(f);
    QCOMPARE(window->windowTitle(), QStringLiteral("t'olq - Directory Pre-Scan"));
    QCOMPARE(window->cmdCANCEL->text(), QStringLiteral("Quit    "));
    QCOMPARE(window->cmdKILL->text(), QStringLiteral("Abort  "));
    QCOMPARE(window->Label1->text(), QStringLiteral("Reading directory..."));
    verifyProgressPlacement(window.get());
}

void tst_frmDIRLOOK::runsOnFirstActivationAndUnloads()
{
    ScanFixture f;
    threeFiles(f);
    auto window = makeWindow(f);
    QSignalSpy unloaded(window.get(), &frmDIRLOOK::unloaded);
    window->show();
    QTRY_VERIFY(window->isUnloaded());
    QCOMPARE(unloaded.size(), 1);
    QVERIFY(f.session.SearchUnloaded);
    QCOMPARE(f.session.SearchCompleted, QStringLiteral("YES"));
    QCOMPARE(window->lblNUMBER->text(), QStringLiteral("3 found..."));
    QCOMPARE(f.prompter.texts(), QStringList { QStringLiteral("3 files read...") });
    QVERIFY(!QFile::exists(f.scanningFile()));
    QCOMPARE(f.session.PreScanTop, window->y() * 15);
    QCOMPARE(f.session.PreScanLeft, window->x() * 15);
    QVERIFY(!f.session.WasSearchMinmized);
    QCOMPARE(f.rows().size(), 3);
    // A later activation does not run again.
    window->Form_Activate();
    QCOMPARE(f.prompter.texts().size(), 1);
}

void tst_frmDIRLOOK::closingMidRunIsQuit()
{
    ScanFixture f;
    threeFiles(f);
    auto window = makeWindow(f);
    f.yielder.onYield = [&](int) {
        if (window->lblNUMBER->text() == QLatin1String("1 found..."))
            window->close();
    };
    window->show();
    QTRY_VERIFY(window->isUnloaded());
    QVERIFY(f.session.SearchUnloaded);
    QCOMPARE(f.session.SearchCompleted, QStringLiteral("NO"));
    QCOMPARE(f.rows(QStringLiteral("ACTIVE = 'X'")).size(), 1);
    QVERIFY(!QFile::exists(f.scanningFile()));
}

void tst_frmDIRLOOK::pauseAndQuitButtons()
{
    ScanFixture f;
    threeFiles(f);
    auto window = makeWindow(f);
    pauseAtTheSecondFile(f, *window);
    f.yielder.onSleep = [&](int sleeps) {
        if (sleeps == 1)
            window->cmdCANCEL->click();
        if (sleeps == 2)
            window->cmdPAUSE->click();
    };
    window->show();
    QTRY_VERIFY(window->isUnloaded());
    QCOMPARE(f.yielder.sleeps.size(), 2);
    QCOMPARE(window->cmdPAUSE->text(), QStringLiteral("Pause"));
    // Quit pressed while paused acts once the pause ends and the file at hand is handled.
    QCOMPARE(f.rows(QStringLiteral("ACTIVE = 'X'")).size(), 3);
    QCOMPARE(f.session.SearchCompleted, QStringLiteral("NO"));
}

void tst_frmDIRLOOK::abortEndsTheProgram()
{
    ScanFixture f;
    threeFiles(f);
    auto window = makeWindow(f);
    bool ended = false;
    window->setEndProgram([&] { ended = true; });
    f.yielder.onYield = [&](int) {
        if (!ended && window->lblNUMBER->text() == QLatin1String("2 found..."))
            window->cmdKILL->click();
    };
    window->show();
    QTRY_VERIFY(ended);
    // What was written is kept, the resume point stays, nothing of the unload ran.
    QCOMPARE(f.rows(QStringLiteral("ACTIVE = 'X'")).size(), 2);
    QCOMPARE(readFile(f.scanningFile()), QByteArray(" 0\r\n"));
    QVERIFY(!f.session.SearchUnloaded);
    QVERIFY(f.prompter.messages().isEmpty());
}

// A paused run answers Abort and closing at once, not once the pause is released.
void tst_frmDIRLOOK::pausedRun_data()
{
    QTest::addColumn<bool>("abort"); // else the window is closed
    QTest::newRow("Abort ends the program") << true;
    QTest::newRow("closing releases the pause and quits") << false;
}

void tst_frmDIRLOOK::pausedRun()
{
    QFETCH(bool, abort);
    ScanFixture f;
    threeFiles(f);
    auto window = makeWindow(f);
    int rowsAtEnd = -1;
    window->setEndProgram([&] { rowsAtEnd = int(f.rows(QStringLiteral("ACTIVE = 'X'")).size()); });
    pauseAtTheSecondFile(f, *window);
    f.yielder.onSleep = [&](int sleeps) {
        if (sleeps == 1 && abort)
            window->cmdKILL->click();
        if (sleeps == 1 && !abort)
            window->close();
        if (sleeps == 5 && window->engine().Paused()) // released by hand at last
            window->cmdPAUSE->click();
    };
    window->show();
    QTRY_VERIFY(window->isUnloaded());
    QCOMPARE(f.yielder.sleeps.size(), 1);
    QCOMPARE(f.session.SearchCompleted, QStringLiteral("NO"));
    if (abort) {
        // The two files written before the pause are kept, and the resume point with them.
        QCOMPARE(rowsAtEnd, 2);
        QCOMPARE(f.rows(QStringLiteral("ACTIVE = 'X'")).size(), 2);
        QCOMPARE(readFile(f.scanningFile()), QByteArray(" 0\r\n"));
        QVERIFY(!f.session.SearchUnloaded);
    } else {
        QCOMPARE(rowsAtEnd, -1);
        QVERIFY(f.session.SearchUnloaded);
        QVERIFY(!QFile::exists(f.scanningFile()));
    }
}

void tst_frmDIRLOOK::minimizedWindow()
{
    ScanFixture f;
    threeFiles(f);
    f.session.PreScanTop = 1500;
    f.session.PreScanLeft = 3000;
    auto window = makeWindow(f);
    QStringList captions;
    f.yielder.onYield = [&](int) { captions << window->windowTitle(); };
    window->showMinimized();
    QTRY_VERIFY(window->isUnloaded());
    QVERIFY(captions.contains(QStringLiteral("2 files...")));
    QVERIFY(f.session.WasSearchMinmized);
    QCOMPARE(f.session.PreScanTop, 1500);
    QCOMPARE(f.session.PreScanLeft, 3000);
}

void tst_frmDIRLOOK::catalogueThatCannotBeOpened()
{
    ScanFixture f;
    threeFiles(f);
    QVERIFY(writeFile(f.databasePath(), "not a catalogue"));
    QVERIFY(writeFile(f.scanningFile(), " 0\r\n"));
    auto window = makeWindow(f);
    QCOMPARE(f.prompter.messages().size(), 1);
    QCOMPARE(f.prompter.messages().first().title, QStringLiteral("t'olq! - Error"));
    window->show();
    QTRY_VERIFY(window->isUnloaded());
    // Nothing ran: the resume point is kept for a later try, and the search goes on.
    QVERIFY(f.session.SearchUnloaded);
    QCOMPARE(f.session.SearchCompleted, QStringLiteral("NO"));
    QVERIFY(QFile::exists(f.scanningFile()));
}

void tst_frmDIRLOOK::previewOrAnimation_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("preview");
    QTest::newRow("NAME keeps the drive animation") << int(ComparisonMode::Name) << false;
    QTest::newRow("CHECKSUM keeps the drive animation") << int(ComparisonMode::Checksum) << false;
    QTest::newRow("PATTERN shows the preview") << int(ComparisonMode::Pattern) << true;
}

void tst_frmDIRLOOK::previewOrAnimation()
{
    QFETCH(int, mode);
    QFETCH(bool, preview);
    ScanFixture f;
    threeFiles(f);
    f.settings.mode = ComparisonMode(mode);
    auto window = makeWindow(f);
    bool animating = false;
    bool previewShown = false;
    QSize previewBox;
    f.yielder.onYield = [&](int) {
        animating = animating || window->tmrDRIVE->isActive();
        previewShown = previewShown || window->Picture2->isVisible();
        if (window->Picture2->hasImage())
            previewBox = window->Picture2->size();
    };
    window->show();
    QTRY_VERIFY(window->isUnloaded());
    QCOMPARE(animating, !preview);
    QCOMPARE(previewShown, preview);
    QCOMPARE(window->imgDRIVE->isHidden(), preview);
    if (preview)
        QCOMPARE(previewBox, QSize(40, 30));
}

QTEST_MAIN(tst_frmDIRLOOK)
#include "tst_frmDIRLOOK.moc"
