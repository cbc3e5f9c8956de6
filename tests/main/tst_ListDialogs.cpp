#include "main/frmFINDIT.h"
#include "main/frmLOADSAVE.h"
#include "main/frmMAIN.h"
#include "main/frmRESUME.h"
#include "session/DirectoryEntry.h"

#include "FakeVolumes.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "WidgetProbes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>

namespace {

VolumeInfo volume(const QString& mountPoint, const QString& label, DriveKind kind)
{
    VolumeInfo v;
    v.mountPoint = mountPoint;
    v.label = label;
    v.kind = kind;
    return v;
}

// A temporary tree on a fake fixed volume labelled "Tree".
struct Tree
{
    QTemporaryDir dir;
    QString root = QFileInfo(dir.path()).canonicalFilePath();
    FakeVolumes volumes { { volume(root, "Tree", DriveKind::Fixed) } };
    QString path(const QString& relative) const { return root + "/" + relative; }
    QString entry(const QString& relative) const { return DirectoryEntry::of(path(relative), "TREE").text(); }
};

// Runs the action on the modal dialog once it is up.
void whenModal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        action(modal);
    });
}

// A main window over a program directory with a settings file, so no first run.
struct Window
{
    TemporaryProgramDirectory dir;
    ScriptedPrompter prompter;
    Tree tree;
    std::unique_ptr<frmMAIN> main;
    Window()
    {
        writeFile(dir.file("TOLQ.INI"), "[MODE]\r\n");
        main = std::make_unique<frmMAIN>(prompter, dir.path());
        main->setVolumes(tree.volumes);
        main->Form_Activate(); // started, as a window is before its buttons are pressed
    }
    QString listFile(const QString& name) const { return dir.path() + "/data/" + name + ".lst"; }
};

} // namespace

class tst_ListDialogs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void findItControls()
    {
        Tree tree;
        MainSettings settings;
        Session session;
        ScriptedPrompter prompter;
        frmFINDIT finder(settings, session, tree.volumes, prompter);
        QCOMPARE(finder.windowTitle(), QStringLiteral("Add directories"));
        QCOMPARE(finder.cmdADDDIR->text(), QStringLiteral("Add &Directory"));
        QCOMPARE(finder.cmdADDTREE->text(), QStringLiteral("Add &Tree"));
        QCOMPARE(finder.cmdIFCD->text(), QStringLiteral("Set &Incoming Files Check Directory"));
        QCOMPARE(finder.cmdIFCDTREE->text(), QStringLiteral("Set &Incoming Files Check Tree"));
        QCOMPARE(finder.cmdCANCEL->text(), QStringLiteral("&Exit"));
        QCOMPARE(finder.lstDRIVE->count(), 1);
        QCOMPARE(finder.lstDRIVE->itemData(0).toString(), tree.root);
    }

    void findItOpensAtTheRememberedDirectory_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("opensThere");
        QTest::newRow("fixed") << int(DriveKind::Fixed) << true;
        QTest::newRow("removable") << int(DriveKind::Removable) << false;
    }
    void findItOpensAtTheRememberedDirectory()
    {
        QFETCH(int, kind);
        QFETCH(bool, opensThere);
        QTemporaryDir dir;
        const QString root = QFileInfo(dir.path()).canonicalFilePath();
        QDir().mkpath(root + "/Photos");
        const FakeVolumes volumes({ volume(root, "", DriveKind(kind)) });
        MainSettings settings;
        Session session;
        session.LastDirUsed = root + "/Photos";
        ScriptedPrompter prompter;
        frmFINDIT finder(settings, session, volumes, prompter);
        const QString expected = opensThere ? root + "/Photos" : QDir::homePath();
        QCOMPARE(finder.browserPath(), expected);
        QCOMPARE(finder.lblDIR->text(), expected);
        auto* model = qobject_cast<QFileSystemModel*>(finder.lstDIR->model());
        QVERIFY(model);
        QCOMPARE(model->filePath(finder.lstDIR->currentIndex()), expected);
        // Browsing moves the path the buttons act on.
        finder.lstDIR->setCurrentIndex(model->index(root));
        QCOMPARE(finder.browserPath(), root);
        QCOMPARE(finder.lblDIR->text(), root);
    }

    void findItAddsAndDesignates()
    {
        Tree tree;
        QDir().mkpath(tree.path("top/one"));
        QDir().mkpath(tree.path("top/two"));
        QDir().mkpath(tree.path("single"));
        MainSettings settings;
        Session session;
        session.LastDirUsed = tree.path("top");
        ScriptedPrompter prompter;
        frmFINDIT finder(settings, session, tree.volumes, prompter);
        finder.show();
        finder.cmdIFCDTREE->click();
        QCOMPARE(
            settings.directories, QStringList({ tree.entry("top"), tree.entry("top/one"), tree.entry("top/two") }));
        QCOMPARE(settings.ifcd, tree.entry("top"));
        QVERIFY(settings.treeModeIfcd);
        // The browser is back at the tree's top, and every control enabled again.
        QCOMPARE(finder.browserPath(), tree.path("top"));
        QVERIFY(finder.cmdCANCEL->isEnabled() && finder.lstDIR->isEnabled() && finder.lstDRIVE->isEnabled());

        finder.pointBrowserAt(tree.path("single"));
        finder.cmdIFCD->click();
        QCOMPARE(settings.ifcd, tree.entry("single"));
        QVERIFY(!settings.treeModeIfcd);
        QCOMPARE(settings.directories.last(), tree.entry("single"));
        finder.cmdADDDIR->click();
        QCOMPARE(settings.directories.size(), 4);

        finder.cmdCANCEL->click();
        QVERIFY(!finder.isVisible());
        QCOMPARE(session.LastDirUsed, tree.path("single"));
        QVERIFY(prompter.messages().isEmpty());
    }

    void findItStaysOpenDuringATreeWalk()
    {
        Tree tree;
        QDir().mkpath(tree.path("top/a/b"));
        MainSettings settings;
        Session session;
        session.LastDirUsed = tree.path("top");
        ScriptedPrompter prompter;
        frmFINDIT finder(settings, session, tree.volumes, prompter);
        finder.show();
        bool checked = false;
        // The first yield of the walk runs this: the dialog refuses to close and its controls are off.
        QTimer::singleShot(0, &finder, [&] {
            checked = true;
            QVERIFY(finder.isWalking());
            QVERIFY(!finder.cmdCANCEL->isEnabled());
            QVERIFY(!finder.cmdIFCDTREE->isEnabled());
            QVERIFY(!finder.lstDIR->isEnabled());
            finder.close();
            QVERIFY(finder.isVisible());
        });
        finder.cmdADDTREE->click();
        QVERIFY(checked);
        QVERIFY(finder.isVisible());
        QCOMPARE(settings.directories.size(), 3);
        QCOMPARE(session.LastDirUsed, tree.path("top")); // not yet unloaded
        finder.close();
        QVERIFY(!finder.isVisible());
        QCOMPARE(session.LastDirUsed, tree.path("top"));
    }

    void findItDeviceNotResponding()
    {
        Tree tree;
        FakeVolumes volumes({ volume(tree.root, "Tree", DriveKind::Fixed),
                                volume(tree.root + "/unmounted", "Gone", DriveKind::Removable) },
            false);
        MainSettings settings;
        Session session;
        session.LastDirUsed = tree.root;
        ScriptedPrompter prompter;
        frmFINDIT finder(settings, session, volumes, prompter);
        const int gone = finder.lstDRIVE->findData(tree.root + "/unmounted");
        QVERIFY(gone >= 0);
        finder.lstDRIVE->setCurrentIndex(gone);
        Q_EMIT finder.lstDRIVE->activated(gone);
        QCOMPARE(prompter.texts(), QStringList { "Device not responding..." });
        QCOMPARE(prompter.messages().first().title, QStringLiteral("Error"));
        QCOMPARE(prompter.messages().first().icon, MsgIcon::Critical);
        QCOMPARE(finder.browserPath(), tree.root);
        QCOMPARE(finder.lstDRIVE->currentIndex(), gone);
    }

    void loadSaveDialog()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + "/data";
        for (const char* file : { "Zoo.lst", "GENERAL.lst", "GENERAL.mdb", "GENERAL.lcd" })
            QVERIFY(writeFile(data + "/" + file, "x"));
        ScriptedPrompter prompter;
        QStringList loads;
        frmLOADSAVE dialog(
            data, prompter, [&](const QString& name) { loads << name; }, [](const QString&) {});
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Load / Save Directory list"));
        QCOMPARE(dialog.Command1->text(), QStringLiteral("Delete"));
        QCOMPARE(dialog.Label1->text(), QStringLiteral("Enter a list name or select one from the list of previous..."));
        dialog.cmdACTION->setText("Load");
        dialog.show();
        QCOMPARE(dialog.listFILES->count(), 2);
        QCOMPARE(dialog.listFILES->item(0)->text(), QStringLiteral("GENERAL.lst"));

        // The short name: refused and the box emptied; the dialog stays.
        dialog.txtFILENAME->setText("Tolq");
        dialog.cmdACTION->click();
        QCOMPARE(dialog.txtFILENAME->text(), QString());
        QVERIFY(dialog.isVisible());

        // Delete, after the question, takes the list with its database and tag.
        Q_EMIT dialog.listFILES->itemClicked(dialog.listFILES->item(0));
        QCOMPARE(dialog.txtFILENAME->text(), QStringLiteral("GENERAL.lst"));
        prompter.queueAnswer(MsgAnswer::Yes);
        dialog.Command1->click();
        QCOMPARE(QDir(data).entryList(QDir::Files), QStringList { "Zoo.lst" });
        QCOMPARE(dialog.listFILES->count(), 1);
        QCOMPARE(dialog.txtFILENAME->text(), QString());
        QVERIFY(dialog.isVisible());

        // A double click loads at once and closes.
        Q_EMIT dialog.listFILES->itemDoubleClicked(dialog.listFILES->item(0));
        QCOMPARE(loads, QStringList { "Zoo" });
        QVERIFY(!dialog.isVisible());
        QCOMPARE(prompter.texts(), QStringList({ "You may not use the name TOLQ!", "Delete list - GENERAL ?" }));
    }

    void resumeDialog()
    {
        const FakeVolumes volumes({ volume("/", "", DriveKind::Fixed), volume("/media/usb", "", DriveKind::Removable),
                                      volume("/mnt/nas", "", DriveKind::Remote) },
            false);
        Session session;
        session.SessionMode = "RESUME";
        session.ReactivateDrives = "/media/gone";
        {
            frmRESUME resume(session, volumes);
            QCOMPARE(resume.windowTitle(), QStringLiteral("t'olq! - Start / Resume Search"));
            QCOMPARE(resume.optRESUME->text(), QStringLiteral("&Resume my last search where I had left off..."));
            QCOMPARE(resume.optNEW->text(), QStringLiteral("Start a &new search..."));
            QCOMPARE(resume.cmdGO->text(), QStringLiteral("&Start"));
            QCOMPARE(resume.driveBoxes.size(), 3);
            QCOMPARE(resume.driveBoxes[0]->text(), QStringLiteral("/media/gone"));
            QVERIFY(resume.driveBoxes[0]->isChecked() && !resume.driveBoxes[0]->isEnabled());
            // The remembered tick selected a new search.
            QVERIFY(resume.optNEW->isChecked());
            QVERIFY(resume.optRESUME->isEnabled());
            resume.optRESUME->click();
            QVERIFY(resume.optRESUME->isChecked());
            resume.driveBoxes[2]->click(); // /mnt/nas
            QVERIFY(resume.optNEW->isChecked());
            resume.driveBoxes[1]->click(); // /media/usb
            // Closed without Start: nothing written.
            resume.close();
            QCOMPARE(session.SessionMode, QStringLiteral("RESUME"));
            QCOMPARE(session.ReactivateDrives, QStringLiteral("/media/gone"));
            resume.show();
            resume.cmdGO->click();
        }
        QCOMPARE(session.SessionMode, QStringLiteral("NEW"));
        QCOMPARE(session.ReactivateDrives, QStringLiteral("/media/gone|/media/usb|/mnt/nas"));

        session.SessionMode = "NEW";
        session.ReactivateDrives.clear();
        frmRESUME fresh(session, volumes);
        QVERIFY(!fresh.optRESUME->isEnabled());
        QVERIFY(fresh.optNEW->isChecked());
        fresh.cmdGO->click();
        QCOMPARE(session.ReactivateDrives, QString());
    }

    void mainAddButton_data()
    {
        QTest::addColumn<bool>("autosave");
        QTest::newRow("autosave off") << false;
        QTest::newRow("autosave on") << true;
    }
    void mainAddButton()
    {
        QFETCH(bool, autosave);
        Window w;
        QDir().mkpath(w.tree.path("pics"));
        w.main->session().LastDirUsed = w.tree.path("pics");
        w.main->chkSAVELIST->setChecked(autosave);
        w.main->session().ChangedSearch = false;
        whenModal([](QWidget* modal) {
            auto* finder = qobject_cast<frmFINDIT*>(modal);
            QVERIFY(finder);
            finder->cmdADDDIR->click();
            finder->cmdCANCEL->click();
        });
        w.main->cmdADD->click();
        QVERIFY(w.main->session().ChangedSearch);
        QCOMPARE(w.main->lstDIRECTORIES->count(), 1);
        QCOMPARE(w.main->lstDIRECTORIES->item(0)->text(), w.tree.entry("pics"));
        QCOMPARE(QFile::exists(w.listFile("General")), autosave);

        // Opening and leaving at once still marks the search and saves.
        QFile::remove(w.listFile("General"));
        w.main->session().ChangedSearch = false;
        whenModal([](QWidget* modal) { modal->close(); });
        w.main->cmdADD->click();
        QVERIFY(w.main->session().ChangedSearch);
        QCOMPARE(QFile::exists(w.listFile("General")), autosave);
    }

    // The main window's list shows each entry as the dialog adds it, the dialog still open.
    void mainListFollowsTheDialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("Add Directory") << "cmdADDDIR" << QStringList { "top" };
        QTest::newRow("Add Tree") << "cmdADDTREE" << QStringList { "top", "top/a", "top/a/b", "top/c" };
        QTest::newRow("Set IFCD") << "cmdIFCD" << QStringList { "top" };
        QTest::newRow("Set IFCD tree") << "cmdIFCDTREE" << QStringList { "top", "top/a", "top/a/b", "top/c" };
    }
    void mainListFollowsTheDialog()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, entries);
        Window w;
        QDir().mkpath(w.tree.path("top/a/b"));
        QDir().mkpath(w.tree.path("top/c"));
        w.main->session().LastDirUsed = w.tree.path("top");
        QStringList shown; // each entry as the main window's list took it, the dialog up
        connect(w.main->lstDIRECTORIES->model(), &QAbstractItemModel::rowsInserted, this,
            [&](const QModelIndex&, int first, int last) {
                if (!QApplication::activeModalWidget())
                    return;
                QCOMPARE(first, last); // one at a time
                shown << w.main->lstDIRECTORIES->item(first)->text();
            });
        QString ifcd;
        whenModal([&](QWidget* modal) {
            auto* finder = qobject_cast<frmFINDIT*>(modal);
            QVERIFY(finder);
            finder->findChild<QPushButton*>(button)->click();
            ifcd = w.main->txtIFCD->text();
            finder->cmdCANCEL->click();
        });
        w.main->cmdADD->click();
        for (QString& entry : entries)
            entry = w.tree.entry(entry);
        QCOMPARE(shown, entries);
        QCOMPARE(ifcd, button.startsWith("cmdIFCD") ? entries.first() : QString());
        QCOMPARE(itemTexts(w.main->lstDIRECTORIES), entries);
    }

    // A directory whose name holds a line break is refused by the dialog, and the settings file
    // never carries its name either: browsed to, it is not remembered as the last directory.
    void lineBreakDirectoryLeavesTheSettingsAlone()
    {
        auto w = std::make_unique<Window>();
        const QString odd = w->tree.path("x\nDO NOT CONFIRM DELETES");
        QVERIFY(QDir().mkpath(odd));
        const QString before = w->main->session().LastDirUsed;
        whenModal([&](QWidget* modal) {
            auto* finder = qobject_cast<frmFINDIT*>(modal);
            QVERIFY(finder);
            finder->pointBrowserAt(odd);
            finder->cmdADDDIR->click();
            finder->cmdCANCEL->click();
        });
        w->main->cmdADD->click();
        QCOMPARE(w->prompter.texts(), QStringList { DirectoryAdder::lineBreakRefusal({ odd }) });
        QVERIFY(w->main->settings().directories.isEmpty());
        whenModal([](QWidget* statistics) { statistics->close(); });
        w->main->cmdQUIT->click();
        QVERIFY(w->main->hasEnded());
        const QByteArray written = readFile(w->dir.file("TOLQ.INI"));
        QVERIFY(!written.contains("DO NOT CONFIRM DELETES"));
        QVERIFY(written.contains("\r\nLAST DIRECTORY = " + before.toUtf8() + "\r\n"));

        // Started again: deletes are still confirmed.
        w->main.reset();
        frmMAIN again(w->prompter, w->dir.path());
        again.Form_Activate();
        QVERIFY(!again.chkCONFIRM->isChecked());
        QVERIFY(!again.settings().noConfirm);
        QCOMPARE(again.session().LastDirUsed, before);
    }

    void mainLoadAndSaveButtons()
    {
        Window w;
        w.main->settings().directories = { w.tree.entry("a") };
        w.main->showSettings();
        w.main->session().ChangedSearch = false;
        whenModal([](QWidget* modal) {
            auto* dialog = qobject_cast<frmLOADSAVE*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->cmdACTION->text(), QStringLiteral("Save"));
            dialog->txtFILENAME->setText("Holiday");
            dialog->cmdACTION->click();
        });
        w.main->cmdSAVE->click();
        QVERIFY(QFile::exists(w.listFile("Holiday")));
        QCOMPARE(w.main->lblLISTNAME->text(), QStringLiteral("Holiday"));
        QVERIFY(!w.main->session().ChangedSearch);

        w.main->cmdCLEAR->click(); // the prompter's default answer: Yes
        QCOMPARE(w.main->lstDIRECTORIES->count(), 0);
        QCOMPARE(w.main->lblLISTNAME->text(), QString());

        // Load closed without loading still marks the search changed.
        whenModal([](QWidget* modal) { modal->close(); });
        w.main->cmdLOAD->click();
        QVERIFY(w.main->session().ChangedSearch);
        QCOMPARE(w.main->lstDIRECTORIES->count(), 0);

        whenModal([](QWidget* modal) {
            auto* dialog = qobject_cast<frmLOADSAVE*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->cmdACTION->text(), QStringLiteral("Load"));
            QCOMPARE(dialog->listFILES->count(), 1);
            Q_EMIT dialog->listFILES->itemDoubleClicked(dialog->listFILES->item(0));
        });
        w.main->cmdLOAD->click();
        QCOMPARE(w.main->lblLISTNAME->text(), QStringLiteral("Holiday"));
        QCOMPARE(w.main->lstDIRECTORIES->count(), 1);
        QCOMPARE(w.main->lstDIRECTORIES->item(0)->text(), w.tree.entry("a"));
    }

    void mainDeleteButton()
    {
        Window w;
        w.main->settings().directories = { w.tree.entry("a"), w.tree.entry("a/b"), w.tree.entry("c") };
        w.main->settings().ifcd = w.tree.entry("a");
        w.main->settings().treeModeIfcd = true;
        w.main->showSettings();
        w.main->session().ChangedSearch = false;
        w.main->lstDIRECTORIES->item(0)->setSelected(true);
        w.main->lstDIRECTORIES->item(2)->setSelected(true);
        w.main->cmdDELETE->click();
        QCOMPARE(w.main->lstDIRECTORIES->count(), 1);
        QCOMPARE(w.main->lstDIRECTORIES->item(0)->text(), w.tree.entry("a/b"));
        QCOMPARE(w.main->txtIFCD->text(), QString());
        QVERIFY(!w.main->chkTREEMODEIFCD->isChecked());
        QVERIFY(w.main->session().ChangedSearch);
        QCOMPARE(w.main->settings().directories, QStringList { w.tree.entry("a/b") });
        QVERIFY(w.prompter.messages().isEmpty());
    }
};

QTEST_MAIN(tst_ListDialogs)
#include "tst_ListDialogs.moc"
