#include "catalogue/CatalogueDatabase.h"
#include "catalogue/DatabaseCompaction.h"
#include "catalogue/TemplateDatabase.h"
#include "main/ListFiles.h"
#include "main/SettingsFile.h"
#include "main/frmFINDIT.h"
#include "main/frmLOADSAVE.h"
#include "main/frmMAIN.h"
#include "main/frmMAINStages.h"
#include "main/frmRESUME.h"
#include "match/PrematchCycle.h"
#include "match/frmPREMATCH.h"
#include "platform/ProgramDirectory.h"
#include "platform/SystemVolumes.h"
#include "review/pair/PairReview.h"
#include "review/pair/frmCHECKEM.h"
#include "review/snapshot/SnapshotReview.h"
#include "review/snapshot/frmSNAPSHOT.h"
#include "session/DirectoryEntry.h"
#include "widgets/ImageBox.h"

#include "MatchTestSupport.h"
#include "ModalScript.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

// Stands in for the pre-scan window: on its first activation it files every image of the list's
// directories in the catalogue as met by this search, then unloads as the real window does.
class FakePreScan : public QWidget
{
public:
    FakePreScan(const MainSettings& settings, Session& session, QString database)
        : m_settings(settings)
        , m_session(session)
        , m_database(std::move(database))
    {
        setObjectName(QStringLiteral("frmDIRLOOK"));
        setAttribute(Qt::WA_DeleteOnClose);
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        QWidget::showEvent(event);
        QTimer::singleShot(0, this, [this] {
            run();
            close();
        });
    }
    void closeEvent(QCloseEvent* event) override
    {
        m_session.SearchCompleted = QStringLiteral("YES");
        m_session.SearchUnloaded = true;
        QWidget::closeEvent(event);
    }

private:
    void run()
    {
        auto db = CatalogueDatabase::open(m_database);
        if (!db)
            return;
        db->execute(QStringLiteral("UPDATE FILES SET ACTIVE = ' ', RECNUM = 0"));
        int recnum = 0;
        for (const QString& entry : m_settings.directories) {
            const DirectoryEntry parts = DirectoryEntry::split(entry);
            QDirIterator it(parts.path, { "*.jpg" }, QDir::Files);
            while (it.hasNext()) {
                it.next();
                db->execute(QStringLiteral("INSERT INTO FILES (RECNUM, NAME, ACTIVE) VALUES (?, ?, 'X')"),
                    { ++recnum, it.fileName().toUpper() });
            }
        }
    }

    const MainSettings& m_settings;
    Session& m_session;
    QString m_database;
};

// The program's windows, but a fake pre-scan; counts what was shown.
class TestStages : public frmMAINStages
{
public:
    int preScans = 0;
    int resumeDialogs = 0;
    bool realScan = false;
    std::function<void(frmRESUME&)> onResume;
    std::function<void()> onPreScan;
    std::function<void()> onReview;
    QList<ExitStatus> ends; // the process ends asked for; the test goes on
    std::function<void()> onEnd;

    void endProcess(ExitStatus status) override
    {
        ends << status;
        if (onEnd)
            onEnd();
    }

    QWidget* createReview(frmMAIN& main, bool snapshot) override
    {
        if (onReview)
            onReview();
        return frmMAINStages::createReview(main, snapshot);
    }
    QWidget* createPreScan(frmMAIN& main) override
    {
        ++preScans;
        if (onPreScan)
            onPreScan();
        if (realScan)
            return frmMAINStages::createPreScan(main);
        return new FakePreScan(main.settings(), main.session(), main.upkeep().listDatabasePath());
    }
    void showResumeDialog(frmMAIN& main) override
    {
        ++resumeDialogs;
        frmRESUME dialog(main.session(), main.volumes(), &main);
        QTimer::singleShot(0, &dialog, [&] {
            if (onResume)
                onResume(dialog);
        });
        dialog.exec();
    }
};

// A program directory with a template, a settings file, a list over a small tree, and the main
// window started on it.
struct Program
{
    TemporaryProgramDirectory dir;
    ScriptedPrompter prompter;
    SystemVolumes volumes;
    TestStages stages;
    std::unique_ptr<frmMAIN> main;
    QString tree;

    explicit Program(const std::function<void(MainSettings&)>& adjust = {}, bool realScan = false)
    {
        stages.realScan = realScan;
        QVERIFY(writeTemplateDatabase(dir.file("tolq.mdb")));
        tree = dir.file("pictures");
        QDir().mkpath(tree);
        for (const char* name : { "one.jpg", "two.jpg", "three.jpg" }) {
            QImage image(120, 110, QImage::Format_RGB32);
            image.fill(QColor(40, 90, 200));
            QVERIFY(image.save(tree + "/" + name, "JPG"));
        }

        MainSettings settings;
        Session session;
        settingstable::applyDesignValues(settings, session, dir.path()); // a first start
        settings.listName = QStringLiteral("Pics");
        settings.filter = QStringLiteral("*");
        settings.fileTypes[9] = true; // .JPG
        settings.directories << DirectoryEntry::forPath(tree, volumes);
        if (adjust)
            adjust(settings);
        session.DisableFilePolling = true; // no prompt for the made-up rows of the fake pre-scan
        SettingsFile(dir.path(), prompter).write(settings, session);
        QVERIFY(ListFiles(dir.path(), prompter).saveList(settings.listName, settings));

        main = std::make_unique<frmMAIN>(prompter, dir.path());
        main->setVolumes(volumes);
        main->setStageWindows(stages);
        main->show();
        QTRY_VERIFY(!main->controller().firstActivation());
    }
    QString settingsText() const { return QString::fromLatin1(readFile(dir.file("TOLQ.INI"))); }
};

// A catalogue of 5000 pairs and the Matching.dat of an interrupted cycle: Go runs the cycle
// with the main window up, long enough for window events to come in while it marks.
QString leaveAPreMatch(Program& p)
{
    QList<CatalogueRecord> rows;
    for (int i = 1; i <= 10000; ++i)
        rows << fileRow(i, QStringLiteral("F%1.JPG").arg(i / 2), QStringLiteral("/p%1/").arg(i % 2));
    const QString database = p.main->upkeep().listDatabasePath();
    if (!makeCatalogueWithRows(database, rows) || !writeFile(p.dir.file("Matching.dat"), " 1 \r\n"))
        return {};
    p.main->session().ShowEndStats = false;
    return database;
}

PrematchCycle* runningCycle()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<frmPREMATCH*>(widget))
            return &window->cycle();
    }
    return nullptr;
}

} // namespace

class tst_SearchRun : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void goRunsTheStagesAndTheReviewHandsBack_data()
    {
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<bool>("realScan");
        QTest::addColumn<int>("resumeRecord");
        QTest::addColumn<QStringList>("reviewMessages");
        // The fake pre-scan's records lie outside the incoming-files directory and name no file:
        // both reviews find nothing and stop on the last record. The real pre-scan's three pictures are
        // one picture: the first pair is on show.
        QTest::newRow("pair review") << false << false << 3 << QStringList { "No more matches..." };
        QTest::newRow("snapshot review") << true << false << 3 << QStringList { "No more matches..." };
        QTest::newRow("pair review after the real pre-scan") << false << true << 1 << QStringList {};
        QTest::newRow("snapshot review after the real pre-scan") << true << true << 1 << QStringList {};
    }
    void goRunsTheStagesAndTheReviewHandsBack()
    {
        QFETCH(bool, snapshot);
        QFETCH(bool, realScan);
        QFETCH(int, resumeRecord);
        QFETCH(QStringList, reviewMessages);
        Program p(
            [&](MainSettings& s) {
                s.mode = ComparisonMode::Checksum;
                s.softMatch = true;
                s.ignoreExtension = true;
                s.snapshot = snapshot;
                s.ifcd = s.directories.first();
            },
            realScan);
        QCOMPARE(p.main->settings().mode, ComparisonMode::Checksum);
        p.main->cmdGO->click();

        QCOMPARE(p.stages.preScans, 1);
        QCOMPARE(p.stages.resumeDialogs, 0); // a new database: no start-or-resume
        QPointer<QWidget> review = p.main->reviewWindow();
        QVERIFY(review);
        QCOMPARE(review->objectName(), QString(snapshot ? "frmSNAPSHOT" : "frmCHECKEM"));
        QCOMPARE(review->windowTitle(), QStringLiteral("t'olq! - CHECKSUM search, SOFT MATCHING, IGNORE TYPE, IFCD"));
        QVERIFY(!p.main->isVisible());
        QVERIFY(!p.main->Timer3->isActive());
        QVERIFY(!p.main->searchControl().searchRunning());
        auto db = CatalogueDatabase::open(p.main->upkeep().listDatabasePath());
        QVERIFY(db);
        QCOMPARE(db->queryValue("SELECT count(*) FROM FILES WHERE ACTIVE = 'X'").toInt(), 3);
        if (realScan) {
            QCOMPARE(db->queryValue("SELECT count(*) FROM FILES WHERE length(CHECKSUM) >= 200").toInt(), 3);
            QVERIFY(!QFile::exists(p.dir.file("Scanning.dat")));
        }
        db.reset();

        // Closing the review brings the main window back, whose activation rewrites the settings.
        QVERIFY(QFile::remove(p.dir.file("TOLQ.INI")));
        QTest::qWait(0);
        QVERIFY(review);
        review->close();
        QTRY_VERIFY(review.isNull());
        QVERIFY(p.main->isVisible());
        QTRY_VERIFY(QFile::exists(p.dir.file("TOLQ.INI")));
        QVERIFY(p.settingsText().contains(QStringLiteral("STOPPED AT RECORD = %1\r\n").arg(resumeRecord)));
        QVERIFY(p.main->Timer3->isActive());
        QVERIFY(!p.main->session().ChangedSearch);
        // The real pre-scan ends with its count message.
        QStringList messages = p.prompter.texts();
        if (realScan)
            QVERIFY(messages.takeFirst().contains(" files read"));
        QCOMPARE(messages, reviewMessages);
    }

    void preMatchRunsBetweenScanAndReview()
    {
        Program p(
            [](MainSettings& s) {
                s.mode = ComparisonMode::Checksum;
                s.preMatch = true;
            },
            true);
        p.main->cmdGO->click();
        QVERIFY(p.main->session().PrematchUnloaded);
        QVERIFY(!QFile::exists(p.dir.file("Matching.dat")));
        QVERIFY(p.main->reviewWindow());
        QCOMPARE(p.main->reviewWindow()->windowTitle(), QStringLiteral("t'olq! - CHECKSUM search, IGNORE TYPE"));
        // The three pictures are the same bytes: the cycle marks them all.
        auto db = CatalogueDatabase::open(p.main->upkeep().listDatabasePath());
        QVERIFY(db);
        QCOMPARE(db->queryValue("SELECT count(*) FROM FILES WHERE ACTIVE = '*'").toInt(), 3);
        // With the pre-match the pre-scan says nothing; the cycle reports what it read.
        QCOMPARE(p.prompter.messages().size(), 1);
        QVERIFY(p.prompter.texts().first().startsWith("3 files read,  "));
    }

    // The pre-match of a left Matching.dat runs with the main window up. Purge and Compact do
    // nothing then; Quit ends the program at once: settings written, Matching.dat kept.
    void mainWindowDuringALeftPreMatch()
    {
        Program p([](MainSettings& s) { s.preMatch = true; });
        const QString database = leaveAPreMatch(p);
        QVERIFY(!database.isEmpty());
        const QString matching = p.dir.file("Matching.dat");
        QVERIFY(QFile::remove(p.dir.file("TOLQ.INI")));

        QList<int> marksAtEnd;
        QByteArray matchingAtEnd;
        bool settingsAtEnd = false;
        p.stages.onEnd = [&] {
            marksAtEnd = markedRecnums(*CatalogueDatabase::open(database));
            matchingAtEnd = readFile(matching);
            settingsAtEnd = QFile::exists(p.dir.file("TOLQ.INI"));
        };
        int marksSeen = -1;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            const PrematchCycle* cycle = runningCycle();
            if (marksSeen >= 0 || !cycle || cycle->MatchCount < 2)
                return;
            marksSeen = 2 * cycle->MatchCount;
            QVERIFY(p.main->isVisible());
            p.main->cmdPURGE->click();
            p.main->cmdCOMPACT->click();
            QVERIFY(p.prompter.messages().isEmpty()); // neither asked
            QVERIFY(QFile::exists(database));
            p.main->cmdQUIT->click();
        });
        poll.start(0);
        p.main->cmdGO->click();
        QVERIFY(marksSeen > 0);
        QCOMPARE(p.stages.ends, QList<ExitStatus> { ExitStatus::Completed });
        // The marks so far are committed and Matching.dat names a step they finished.
        QCOMPARE(marksAtEnd.size(), marksSeen);
        QVERIFY(marksAtEnd.contains(matchingAtEnd.trimmed().toInt()));
        QVERIFY(settingsAtEnd);
        QVERIFY(p.main->hasEnded());
    }

    // Nor does any other control but Quit act while that cycle runs: no dialog opens inside the
    // cycle's yield, no setting changes under it, and the cycle goes on to its end.
    void mainWindowHoldsStillDuringALeftPreMatch_data()
    {
        QTest::addColumn<QString>("control");
        for (const char* name : { "cmdABOUT", "cmdADD", "cmdLOAD", "cmdSAVE", "cmdCLEAR", "cmdDELETE", "cmdGO",
                 "chkSOFTMATCH", "chkPNG", "chkSNAPSHOT", "optPATTERN", "txtFILTER", "txtTOLERANCE" })
            QTest::newRow(name) << name;
    }
    void mainWindowHoldsStillDuringALeftPreMatch()
    {
        QFETCH(QString, control);
        Program p([](MainSettings& s) { s.preMatch = true; });
        QVERIFY(!leaveAPreMatch(p).isEmpty());
        p.main->lstDIRECTORIES->item(0)->setSelected(true); // something for Delete to take
        auto* pressed = p.main->findChild<QWidget*>(control);
        QVERIFY(pressed);
        auto shown = [&] {
            auto* edit = qobject_cast<QLineEdit*>(pressed);
            return edit ? edit->text() : QString::number(qobject_cast<QAbstractButton*>(pressed)->isChecked());
        };
        // A dialog opened inside the cycle would hold it until closed: each is noted and closed.
        const auto close = [](QWidget* modal) { modal->close(); };
        ModalScript modals({ close, close, close });

        MainSettings settingsAtPress;
        bool changedAtPress = false;
        QString shownAtPress;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            const PrematchCycle* cycle = runningCycle();
            if (!cycle || cycle->MatchCount < 2)
                return;
            poll.stop();
            settingsAtPress = p.main->settings();
            changedAtPress = p.main->session().ChangedSearch;
            shownAtPress = shown();
            QFile::remove(p.dir.file("TOLQ.INI"));
            if (auto* edit = qobject_cast<QLineEdit*>(pressed)) {
                edit->setText(QStringLiteral(" 12"));
                QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
                QCoreApplication::sendEvent(edit, &focusOut);
            } else {
                qobject_cast<QAbstractButton*>(pressed)->click();
            }
        });
        bool reviewed = false;
        bool settingsWritten = true;
        p.stages.onReview = [&] {
            reviewed = true;
            settingsWritten = QFile::exists(p.dir.file("TOLQ.INI"));
        };
        poll.start(0);
        p.main->cmdGO->click();
        QVERIFY(!shownAtPress.isEmpty());
        QCOMPARE(modals.seen, QStringList {});
        // The cycle ran to its end with the settings it started with.
        QCOMPARE(p.prompter.texts(), QStringList { "0 files read,  4999 matches found ..." });
        QVERIFY(reviewed);
        QVERIFY(!QFile::exists(p.dir.file("Matching.dat")));
        QVERIFY(p.main->settings() == settingsAtPress);
        QCOMPARE(p.main->session().ChangedSearch, changedAtPress);
        QCOMPARE(shown(), shownAtPress);
        QVERIFY(!settingsWritten);
    }

    void gatherFromTheCommandLine()
    {
        const QString program = QCoreApplication::applicationDirPath() + "/../src/tolq";
        if (!QFile::exists(program))
            QSKIP("the program is not built beside the tests");
        TemporaryProgramDirectory dir;
        SystemVolumes volumes;
        const QString tree = dir.file("pictures");
        QDir().mkpath(tree + "/deeper");
        for (const char* name : { "one.jpg", "two.png", "deeper/three.jpg" }) {
            QImage image(150, 120, QImage::Format_RGB32);
            image.fill(QColor(200, 30, 60));
            QVERIFY(image.save(tree + "/" + name));
        }
        ScriptedPrompter prompter;
        MainSettings settings;
        Session session;
        settingstable::applyDesignValues(settings, session, dir.path()); // a first start
        settings.listName = "Holiday";
        settings.fileTypes[9] = true; // .JPG
        settings.fileTypes[15] = true; // .PNG
        settings.directories << DirectoryEntry::forPath(tree, volumes)
                             << DirectoryEntry::forPath(tree + "/deeper", volumes);
        QVERIFY(ListFiles(dir.path(), prompter).saveList("Holiday", settings));
        settings.listName = "General"; // the command line names the list
        QCOMPARE(SettingsFile(dir.path(), prompter).write(settings, session), ProgramOutcome::Continue);

        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TOLQ_HOME", dir.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        run.setProcessEnvironment(environment);
        run.start(program, { "Holiday /GATHER" }); // one argument, as a shortcut passes it
        QVERIFY(run.waitForStarted());
        // Guards a hang on a message box; not a timing check.
        QVERIFY2(run.waitForFinished(300000), "the gather run waited for an answer");
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QCOMPARE(run.exitCode(), 0);

        auto db = CatalogueDatabase::open(dir.file("data/Holiday.mdb"));
        QVERIFY(db);
        QCOMPARE(db->queryValue("SELECT count(*) FROM FILES WHERE ACTIVE = 'X'").toInt(), 3);
        // Every statistic is gathered, whatever the mode.
        QCOMPARE(db->queryValue("SELECT count(*) FROM FILES WHERE length(CHECKSUM) >= 200 AND length(RGB) = 14 "
                                "AND length(QRGB) >= 50 AND length(SOFTRGB) = 14 AND length(PXLRAY) = 100 "
                                "AND X = 150 AND Y = 120 AND XYRATIO > 1.2")
                     .toInt(),
            3);
        QVERIFY(!QFile::exists(dir.file("Scanning.dat")));
        QVERIFY(QFile::exists(dir.file("TOLQ.INI")));
    }

    // The pair review as the user meets it: Go, the first pair, keys, a delete, Exit, the main
    // window back and the settings file holding the resume record.
    void pairReviewFromGoToExit()
    {
        Program p(
            [](MainSettings& s) {
                s.mode = ComparisonMode::Checksum;
                s.noConfirm = true;
            },
            true);
        p.main->cmdGO->click();
        QPointer<frmCHECKEM> review = qobject_cast<frmCHECKEM*>(p.main->reviewWindow());
        QVERIFY(review);
        QTRY_VERIFY(review->review().imageShown(2)); // the first pair is on show
        const QString first = review->lblFILE[0]->text();
        const QString second = review->lblFILE[1]->text();
        auto type = [&](const QString& key) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : review.data();
            QKeyEvent press(QEvent::KeyPress, key.at(0).toUpper().unicode(), Qt::NoModifier, key);
            QApplication::sendEvent(target, &press);
        };
        type("n");
        QCOMPARE(review->lblFILE[0]->text(), second);
        const QString third = review->lblFILE[1]->text();
        QVERIFY(third != first && third != second);
        type("2");
        QVERIFY(!QFile::exists(p.tree + "/" + third + ".jpg"));
        QCOMPARE(review->lblSTATUS->text(), QStringLiteral(" 1 files deleted,  1 total..."));
        const qint32 resume = review->review().pair().reference.RECNUM;
        review->cmdCANCEL->click();
        QTRY_VERIFY(review.isNull());
        QVERIFY(p.main->isVisible());
        QTRY_VERIFY(p.settingsText().contains(QStringLiteral("STOPPED AT RECORD = %1\r\n").arg(resume)));
        QVERIFY(p.settingsText().contains(QStringLiteral("1 FILES DELETED")));
    }

    void snapshotChain()
    {
        Program p(
            [](MainSettings& s) {
                s.mode = ComparisonMode::Checksum;
                s.snapshot = true;
            },
            true);
        // Beside the three same blue pictures, two same red ones: two groups.
        for (const char* name : { "red1.jpg", "red2.jpg" }) {
            QImage image(140, 100, QImage::Format_RGB32);
            image.fill(QColor(220, 20, 20));
            QVERIFY(image.save(p.tree + "/" + name, "JPG"));
        }
        p.main->cmdGO->click();
        QPointer<frmSNAPSHOT> window = qobject_cast<frmSNAPSHOT*>(p.main->reviewWindow());
        QVERIFY(window);
        auto shown = [&] {
            int count = 0;
            for (ImageBox* box : window->gvbIMAGE)
                count += box->isVisible() && box->hasImage() ? 1 : 0;
            return count;
        };
        QTRY_COMPARE(window->review().pair().reference.RECNUM > 0, true);
        const int first = shown();
        QVERIFY(first == 2 || first == 3);

        QTest::keyClick(window, Qt::Key_N); // the other group
        QCOMPARE(shown(), 5 - first);
        const qint32 reference = window->review().pair().reference.RECNUM;
        QVERIFY(p.settingsText().contains(QStringLiteral("STOPPED AT RECORD = %1\r\n").arg(reference)));
        const QString file = window->review().thumbnails()[1].filePath();
        QTest::mouseClick(window->gvbIMAGE[1], Qt::LeftButton);
        QCOMPARE(window->review().WHICHIMAGE, 1);
        p.prompter.queueAnswer(MsgAnswer::Yes);
        window->cmdDELETE->click(); // as the action pad will
        QVERIFY(!QFile::exists(file));
        QVERIFY(!window->gvbIMAGE[1]->isVisible());
        QCOMPARE(p.main->session().NumberDeleted, 1);

        // The grid follows the window's width: 7 x 4 from 12000 twips.
        const int frame = window->frameGeometry().width() - window->width();
        window->resize(800 - frame, 500);
        QCOMPARE(window->review().LastSlot, 27);
        QCOMPARE(window->gvbIMAGE[27]->pos(), QPoint(10285 / 15, 5260 / 15));
        window->resize(799 - frame, 500);
        QCOMPARE(window->review().LastSlot, 23);

        window->cmdEXIT->click();
        QTRY_VERIFY(window.isNull());
        QVERIFY(p.main->isVisible());
        QCOMPARE(p.main->session().StoppedAtRecord, reference);
        QTRY_VERIFY(p.settingsText().contains(QStringLiteral("STOPPED AT RECORD = %1\r\n").arg(reference)));
    }

    void resumeOpensTheReviewDirectly()
    {
        Program p;
        p.main->cmdGO->click();
        QPointer<QWidget> review = p.main->reviewWindow();
        QVERIFY(review);
        QTest::qWait(0); // the review's first activation: no pair, it stops on the last record
        QCOMPARE(p.prompter.texts(), QStringList { "No more matches..." });
        const qint32 last = p.main->session().StoppedAtRecord;
        QVERIFY(last > 0);
        QVERIFY(p.settingsText().contains(QStringLiteral("STOPPED AT RECORD = %1\r\n").arg(last)));
        review->close();
        QTRY_VERIFY(p.main->isVisible());
        QCOMPARE(p.main->session().StoppedAtRecord, last);
        p.prompter.clear();

        bool resumeOffered = false;
        p.stages.onResume = [&](frmRESUME& dialog) {
            resumeOffered = dialog.optRESUME->isEnabled() && dialog.optRESUME->isChecked();
            dialog.cmdGO->click();
        };
        p.main->cmdGO->click();
        QCOMPARE(p.stages.resumeDialogs, 1);
        QVERIFY(resumeOffered);
        QCOMPARE(p.main->session().SessionMode, QStringLiteral("RESUME"));
        QCOMPARE(p.stages.preScans, 1); // no second pre-scan
        QVERIFY(p.main->reviewWindow());
        QTest::qWait(0); // the review starts at the resume record and searches on from there
        QCOMPARE(p.main->session().StoppedAtRecord, last);
        QCOMPARE(p.main->reviewWindow()->windowTitle(), QStringLiteral("t'olq! - NAME search, IGNORE TYPE"));
        QVERIFY(!p.main->isVisible());
        QCOMPARE(p.prompter.texts(), QStringList { "No more matches..." });
        p.main->reviewWindow()->close();
        QCOMPARE(p.main->session().StoppedAtRecord, last);
    }

    void changedSettingsStartANewSearch()
    {
        Program p;
        p.main->cmdGO->click();
        QTest::qWait(0);
        p.main->reviewWindow()->close();
        QTRY_VERIFY(p.main->isVisible());

        p.main->findChild<QRadioButton*>("optSIZE")->setChecked(true); // the search changed
        bool resumeEnabled = true;
        p.stages.onResume = [&](frmRESUME& dialog) {
            resumeEnabled = dialog.optRESUME->isEnabled();
            dialog.cmdGO->click();
        };
        p.main->cmdGO->click();
        QVERIFY(!resumeEnabled);
        QCOMPARE(p.stages.preScans, 2);
        QCOMPARE(p.main->session().StoppedAtRecord, 0);
        QCOMPARE(p.main->reviewWindow()->windowTitle(), QStringLiteral("t'olq! - SIZE search, IGNORE TYPE"));
    }

    void monthlyCompactionShowsItsNotice()
    {
        Program p;
        p.main->cmdGO->click();
        QTest::qWait(0);
        p.main->reviewWindow()->close();
        QTRY_VERIFY(p.main->isVisible());
        const QString tag = p.dir.file("data/Pics.lcd");
        QVERIFY(writeFile(tag, ListFiles::monthTagLine(QDate::currentDate().month() % 12 + 1).toLatin1()));

        int compactions = 0;
        bool noticeShown = false;
        QPoint offset;
        p.main->upkeep().setCompactor([&](const QString& source, const QString& work, QString* error) {
            ++compactions;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->objectName() == "frmCOMPACT" && widget->isVisible()) {
                    noticeShown = true;
                    offset = widget->frameGeometry().center() - p.main->frameGeometry().center();
                }
            }
            return compactDatabase(source, work, error);
        });
        p.stages.onResume = [](frmRESUME& dialog) { dialog.cmdGO->click(); };
        p.main->optNAMESIZE->setChecked(true);
        p.main->cmdGO->click();
        QCOMPARE(compactions, 1);
        QVERIFY(noticeShown);
        QVERIFY(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1);
        QCOMPARE(QString::fromLatin1(readFile(tag)).trimmed(), QString::number(QDate::currentDate().month()));
        QCOMPARE(p.stages.preScans, 2);
        QTRY_VERIFY(!p.main->findChild<QWidget*>("frmCOMPACT"));
    }

    // Every activation of the main window rewrites the settings and restarts the eyes, also when
    // one of its modal dialogs closes: what the dialog changed is kept should the window then be
    // closed from its title bar, which writes nothing.
    void modalDialogsActivateTheMainWindow_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("line"); // in the rewritten settings; "TREE" stands for the tree
        QTest::newRow("Add") << "Add"
                             << "LAST DIRECTORY = TREE\r\n";
        QTest::newRow("Load") << "Load"
                              << "LIST NAME = Other\r\n";
        QTest::newRow("Save") << "Save"
                              << "LIST NAME = Saved\r\n";
        QTest::newRow("About") << "About"
                               << "LIST NAME = Pics\r\n";
        QTest::newRow("start-or-resume") << "Resume"
                                         << "LIST NAME = Pics\r\n";
    }
    void modalDialogsActivateTheMainWindow()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, line);
        Program p;
        const QString settingsFile = p.dir.file("TOLQ.INI");
        MainSettings other;
        QVERIFY(ListFiles(p.dir.path(), p.prompter).saveList("Other", other));
        QString written;
        if (dialog == "Resume") {
            p.main->cmdGO->click(); // a database to resume
            p.main->reviewWindow()->close();
            QTRY_VERIFY(p.main->isVisible());
            p.stages.onResume = [&](frmRESUME& resume) {
                QFile::remove(settingsFile);
                resume.optNEW->setChecked(true);
                resume.cmdGO->click();
            };
            p.stages.onPreScan = [&] { written = QString::fromLatin1(readFile(settingsFile)); };
            p.main->cmdGO->click();
        } else {
            QVERIFY(QFile::remove(settingsFile));
            p.main->Timer3->stop();
            QTimer::singleShot(0, this, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                QVERIFY(modal);
                if (auto* finder = qobject_cast<frmFINDIT*>(modal)) {
                    finder->pointBrowserAt(p.tree);
                    finder->cmdCANCEL->click();
                } else if (auto* lists = qobject_cast<frmLOADSAVE*>(modal)) {
                    lists->txtFILENAME->setText(dialog == "Load" ? "Other" : "Saved");
                    lists->cmdACTION->click();
                } else {
                    modal->close();
                }
            });
            (dialog == "Add" ? p.main->cmdADD : dialog == "Load" ? p.main->cmdLOAD
                    : dialog == "Save"                           ? p.main->cmdSAVE
                                                                 : p.main->cmdABOUT)
                ->click();
            QVERIFY(p.main->Timer3->isActive());
            written = p.settingsText();
        }
        QVERIFY2(written.contains(QString(line).replace("TREE", p.tree)), qPrintable(written));
    }

    void refusalKeepsTheMainWindow()
    {
        Program p;
        p.main->fileTypeBoxes[9]->setChecked(false);
        p.main->cmdGO->click();
        QCOMPARE(p.prompter.texts(), QStringList { "You have not selected any file types..." });
        QVERIFY(p.main->isVisible());
        QCOMPARE(p.stages.preScans, 0);
        QVERIFY(!p.main->reviewWindow());
        QVERIFY(!QFile::exists(p.main->upkeep().listDatabasePath()));
    }

    void purgeButton()
    {
        Program p;
        p.main->cmdGO->click();
        QTest::qWait(0);
        p.main->reviewWindow()->close();
        QTRY_VERIFY(p.main->isVisible());
        QVERIFY(QFile::exists(p.main->upkeep().listDatabasePath()));
        QCOMPARE(p.main->cmdPURGE->text(), QStringLiteral("Purge Database..."));
        QCOMPARE(p.main->cmdCOMPACT->text(), QStringLiteral("Compact Database..."));
        p.prompter.queueAnswer(MsgAnswer::Yes);
        p.main->cmdPURGE->click();
        QVERIFY(!QFile::exists(p.main->upkeep().listDatabasePath()));
        QCOMPARE(p.main->session().StoppedAtRecord, 0);
        QVERIFY(p.settingsText().contains("STOPPED AT RECORD = 0\r\n"));
    }
};

QTEST_MAIN(tst_SearchRun)
#include "tst_SearchRun.moc"
