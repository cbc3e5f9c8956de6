#include "main/DirectoryAdder.h"
#include "main/ListFiles.h"
#include "main/frmMAIN.h"
#include "main/frmMAINStages.h"

#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

namespace {

// A main window over a program directory that already has a settings file, so no first run.
struct Window
{
    TemporaryProgramDirectory dir;
    ScriptedPrompter prompter;
    std::unique_ptr<frmMAIN> main;
    explicit Window(const QByteArray& settingsFile = "[MODE]\r\n", const QString& commandLine = {})
    {
        writeFile(dir.file("TOLQ.INI"), settingsFile);
        main = std::make_unique<frmMAIN>(prompter, dir.path(), commandLine);
    }
    template <typename T> T* control(const QString& name) { return main->findChild<T*>(name); }
};

// The program's stage windows, but a pre-scan that only counts its showings.
struct CountingStages : frmMAINStages
{
    int preScans = 0;
    QWidget* createPreScan(frmMAIN&) override
    {
        ++preScans;
        return nullptr;
    }
    // No review follows: there is no catalogue to review.
    QWidget* createReview(frmMAIN&, bool) override { return nullptr; }
};

// What the user set on the main window, and the session values beside it, for one settings file
// of tests/main/data/settings.
struct ControlState
{
    const char* sample;
    const char* mode = "optNAME";
    QStringList ticked { "chkIGNORE" };
    QString listName = QStringLiteral("General");
    QString tolerance = QStringLiteral("5");
    QString filter = QStringLiteral("*");
    QString thumbnail = QStringLiteral(".THN");
    std::function<void(Session&)> session = {};
};

QStringList allBoxes()
{
    QStringList boxes { "chkSAVELIST", "chkSINGLETABLE", "chkIGNORE", "chkSOFTMATCH", "chkEXCLUSIVE", "chkSNAPSHOT",
        "chkRECYCLE", "chkCONFIRM", "chkAUTONEXT", "chkNOT", "chkJPEG", "chkPREMATCH", "chkGATHER", "chkNOSOUND",
        "chkTREEMODEIFCD" };
    for (const FileType& type : FileTypes)
        boxes << QString::fromLatin1(type.control);
    return boxes;
}

// Every other type box from the first, or from the second.
QStringList everyOtherType(int first)
{
    QStringList boxes;
    for (int i = first; i < FileTypeCount; i += 2)
        boxes << QString::fromLatin1(FileTypes[std::size_t(i)].control);
    return boxes;
}

QList<ControlState> controlStates()
{
    const QString odd = QStringLiteral("DÖG*,ÇAT*=[x];\"'\\");
    return {
        { "start-values", "optNAME", { "chkIGNORE" }, "General", "5", "", "" },
        { "first-run", "optNAME", { "chkIGNORE" }, "General", "5", "*", ".THN" },
        { "every-box", "optQUADRGB", allBoxes() },
        { "no-box", "optSIZE", {} },
        { "name-and-size", "optNAMESIZE", { "chkRECYCLE", "chkCONFIRM", "chkAUTONEXT", "chkJPG" } },
        { "numbered", "optNUMBERED", everyOtherType(0) },
        { "checksum-soft", "optCHECKSUM",
            QStringList { "chkSOFTMATCH", "chkEXCLUSIVE", "chkSINGLETABLE" } + everyOtherType(1) },
        { "average-rgb", "optAVERAGERGB", { "chkNOT", "chkJPEG", "chkNOSOUND", "chkGIF", "chkPNG" }, "Pics", "0",
            "DOG*,CAT*,BIRD*" },
        { "pattern", "optPATTERN", { "chkPREMATCH", "chkSNAPSHOT", "chkSAVELIST", "chkIGNORE", "chkTIF" }, "Pics",
            "99" },
        { "odd-texts", "optNAME", { "chkIGNORE", "chkBMP" }, QStringLiteral("Ferien Ärger & Co. = #1"), "7.5", odd,
            QStringLiteral(".ä="),
            [](Session& v) {
                v.AltViewer = QStringLiteral("/usr/bin/viewer --opt=a=b \"x y\"");
                v.SearchCompleted = QStringLiteral("YES");
                v.ReactivateDrives = QStringLiteral("/media/usb stick|/mnt/cd");
                v.LastDirUsed = QStringLiteral("/home/ünï/Bilder [2024]/");
                v.WavDirectory = QStringLiteral("/home/x/sounds");
            } },
        { "empty-texts", "optSIZE", { "chkICO" }, "", "", "", "",
            [](Session& v) {
                v.SearchCompleted.clear();
                v.LastDirUsed.clear();
                v.WavDirectory.clear();
            } },
        { "counters", "optNAME", { "chkIGNORE" }, "General", "5", "*", ".THN",
            [](Session& v) {
                v.TotalDeleted = 2147483647;
                v.TotalSectorBytes = 1.5e15;
                v.RecoveredSectorBytes = 4096;
                v.CompactedMonth = 12;
                v.StoppedAtRecord = 4711;
                v.PreScanTop = -30;
                v.PreScanLeft = 1200;
            } },
        { "fractional-bytes", "optNAME", { "chkIGNORE" }, "General", "5", "*", ".THN",
            [](Session& v) {
                v.TotalDeleted = 3;
                v.TotalSectorBytes = 999999999999999;
                v.RecoveredSectorBytes = 1;
                v.StoppedAtRecord = -2;
            } },
        { "session-flags", "optCHECKSUM", { "chkIGNORE" }, "General", "5", "*", ".THN",
            [](Session& v) {
                v.DisableFilePolling = true;
                v.ShowEndStats = false;
                v.ThreeMonthPurge = false;
                v.IdentifyByLocation = true;
                v.NoWarnings = true;
            } },
        { "line-breaks", "optNAME", { "chkIGNORE" }, "General", "5", "*", ".THN",
            [](Session& v) {
                v.AltViewer = QStringLiteral("/x\nDO NOT CONFIRM DELETES");
                v.LastDirUsed = QStringLiteral("/a\r/b");
            } },
        { "lower-case-general", "optCHECKSUM", { "chkSAVELIST", "chkJPG" }, "general" },
        { "full-pattern", "optPATTERN",
            QStringList { "chkSAVELIST", "chkSOFTMATCH", "chkSNAPSHOT", "chkRECYCLE", "chkAUTONEXT", "chkNOT",
                "chkPREMATCH", "chkNOSOUND" }
                + everyOtherType(0),
            QStringLiteral("Urlaub 2024"), "12", "IMG*,DSC*", ".XMP",
            [](Session& v) {
                v.AltViewer = QStringLiteral("/usr/bin/gimp");
                v.SearchCompleted = QStringLiteral("NO");
                v.ReactivateDrives = QStringLiteral("/media/cam");
                v.TotalDeleted = 17;
                v.TotalSectorBytes = 123456789;
                v.StoppedAtRecord = 88;
                v.PreScanTop = 300;
                v.PreScanLeft = 450;
                v.ShowEndStats = false;
                v.NoWarnings = true;
            } },
        { "full-rgb", "optAVERAGERGB",
            QStringList { "chkSINGLETABLE", "chkIGNORE", "chkEXCLUSIVE", "chkCONFIRM", "chkJPEG", "chkGATHER" }
                + everyOtherType(1),
            QStringLiteral("Scans"), "3", "*", "",
            [](Session& v) {
                v.CompactedMonth = 6;
                v.DisableFilePolling = true;
                v.ThreeMonthPurge = false;
                v.IdentifyByLocation = true;
                v.RecoveredSectorBytes = 512;
            } },
    };
}

// The window as the user left it, and the session values as other windows left them.
void setControls(frmMAIN& main, const ControlState& state)
{
    main.settings().listName = state.listName; // the label follows the list loaded or saved
    main.showSettings();
    main.findChild<QRadioButton*>(state.mode)->setChecked(true); // before the boxes: it clears SOFT
    for (QCheckBox* box : main.findChildren<QCheckBox*>())
        box->setChecked(state.ticked.contains(box->objectName()));
    main.txtTOLERANCE->setText(state.tolerance);
    main.txtFILTER->setText(state.filter);
    main.txtTHUMBNAILEXT->setText(state.thumbnail);
    Session& session = main.session();
    MainSettings firstStart;
    settingstable::applyDesignValues(firstStart, session, QStringLiteral("/opt/tolq"));
    session.LastDirUsed = QStringLiteral("/home/someone/Pictures");
    if (state.session)
        state.session(session);
}

// The file again as the reader leaves the values it does not take as written: an empty filter
// reads as "*", an empty list name loads the list "General".
QByteArray asReadBack(QByteArray file)
{
    return file.replace("\r\nFILTER = \r\n", "\r\nFILTER = *\r\n")
        .replace("\r\nLIST NAME = \r\n", "\r\nLIST NAME = General\r\n");
}

void loseFocus(QWidget* widget)
{
    QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

class tst_frmMAIN : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controlsAndStartValues()
    {
        Window w;
        const QStringList types { "ART", "BMP", "CUT", "DIB", "GEM", "GIF", "HRZ", "IFF", "IMG", "JPG", "LBM", "MAC",
            "MSP", "PCX", "PIC", "PNG", "RAS", "RLE", "TGA", "TIF", "WMF", "WPG", "CUR", "ICO" };
        for (int i = 0; i < types.size(); ++i) {
            QCheckBox* box = w.main->fileTypeBoxes[std::size_t(i)];
            QCOMPARE(box->objectName(), "chk" + types[i]);
            QCOMPARE(box->text(), "." + types[i].toLower());
            QVERIFY(!box->isChecked());
            QVERIFY(!box->toolTip().isEmpty());
        }
        QCOMPARE(w.control<QCheckBox>("chkJPG")->toolTip(), QStringLiteral("Joint Photographics Experts Group"));
        QCOMPARE(w.control<QLabel>("lblLISTNAME")->text(), QStringLiteral("General"));
        QVERIFY(w.control<QRadioButton>("optNAME")->isChecked());
        QCOMPARE(w.control<QRadioButton>("optNAMESIZE")->text(), QStringLiteral("Name && Size"));
        QVERIFY(w.control<QCheckBox>("chkIGNORE")->isChecked());
        QCOMPARE(w.control<QLineEdit>("txtTOLERANCE")->text(), QStringLiteral("5"));
        QVERIFY(!w.control<QCheckBox>("chkTREEMODEIFCD")->isEnabled());
        QVERIFY(w.control<QCheckBox>("chkGATHER")->isEnabled());
        QCOMPARE(w.control<QPushButton>("cmdGO")->text(), QStringLiteral("&Go"));
        QCOMPARE(w.control<QPushButton>("cmdGO")->toolTip(), QStringLiteral("Let's go!"));
        QCOMPARE(w.control<QPushButton>("cmdQUIT")->text(), QStringLiteral("&Quit"));
        QCOMPARE(w.control<QPushButton>("cmdSAVE")->toolTip(), QStringLiteral("Save a directory list"));
        QCOMPARE(w.control<QLabel>("imgLEFTEYES")->toolTip(), QStringLiteral("Oowww That hurts!"));
        QCOMPARE(w.control<QListWidget>("lstDIRECTORIES")->selectionMode(), QAbstractItemView::ExtendedSelection);
        // The settings value matches the controls.
        QVERIFY(w.main->settings() == MainSettings {});
        QVERIFY(w.main->findChild<QWidget*>("frmALTVIEW"));
        QVERIFY(!w.main->findChild<QWidget*>("frmALTVIEW")->isVisible());
    }

    // The settings file written for the controls, byte for byte, and read back to the same
    // controls. The samples were written by the program before its settings became one table;
    // TOLQ_WRITE_SETTINGS_SAMPLES=<directory> writes them anew, for a deliberate change of the file.
    void settingsFileOfTheControls_data()
    {
        QTest::addColumn<int>("state");
        const QList<ControlState> states = controlStates();
        for (int i = 0; i < states.size(); ++i)
            QTest::newRow(states[i].sample) << i;
    }
    void settingsFileOfTheControls()
    {
        QFETCH(int, state);
        const ControlState wanted = controlStates().at(state);
        const QString name = QStringLiteral("%1.ini").arg(QLatin1String(wanted.sample));
        Window w;
        setControls(*w.main, wanted);
        QCOMPARE(w.main->WriteINI(), ProgramOutcome::Continue);
        const QByteArray written = readFile(w.dir.file("TOLQ.INI"));
        if (const QString target = qEnvironmentVariable("TOLQ_WRITE_SETTINGS_SAMPLES"); !target.isEmpty()) {
            QVERIFY(writeFile(target + "/" + name, written));
            return;
        }
        const QString samplePath = QFINDTESTDATA("data/settings/" + name);
        QVERIFY2(!samplePath.isEmpty(), qPrintable(name));
        const QByteArray sample = readFile(samplePath);
        QCOMPARE(written, sample);

        Window read(sample);
        MainSettings list;
        if (!wanted.listName.trimmed().isEmpty())
            QVERIFY(ListFiles(read.dir.path(), read.prompter).saveList(wanted.listName, list));
        read.main->Form_Activate();
        for (QCheckBox* box : read.main->findChildren<QCheckBox*>()) {
            if (box->objectName() != "chkGATHER" && box->objectName() != "chkTREEMODEIFCD")
                QVERIFY2(box->isChecked() == wanted.ticked.contains(box->objectName()), qPrintable(box->objectName()));
        }
        QVERIFY(read.control<QRadioButton>(wanted.mode)->isChecked());
        QCOMPARE(read.main->txtTOLERANCE->text(), wanted.tolerance);
        QCOMPARE(read.main->txtFILTER->text(), wanted.filter.isEmpty() ? QStringLiteral("*") : wanted.filter);
        QCOMPARE(read.main->txtTHUMBNAILEXT->text(), wanted.thumbnail);
        QCOMPARE(
            read.main->lblLISTNAME->text(), wanted.listName.isEmpty() ? QStringLiteral("General") : wanted.listName);
        // The activation wrote the file again from what it read.
        QCOMPARE(readFile(read.dir.file("TOLQ.INI")), asReadBack(sample));
    }

    void normalisation_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("preMatch");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("changed");
        QTest::newRow("filter empty") << "txtFILTER"
                                      << "  " << false << "*" << true;
        QTest::newRow("filter unchanged still marks") << "txtFILTER"
                                                      << "*" << false << "*" << true;
        QTest::newRow("filter upper and trimmed") << "txtFILTER"
                                                  << " dog*,cat* " << false << "DOG*,CAT*" << true;
        QTest::newRow("thumbnail thn") << "txtTHUMBNAILEXT"
                                       << "thn" << false << ".THN" << false;
        QTest::newRow("thumbnail .thn") << "txtTHUMBNAILEXT"
                                        << ".thn" << false << ".THN" << false;
        QTest::newRow("thumbnail empty stays") << "txtTHUMBNAILEXT"
                                               << "" << false << "" << false;
        QTest::newRow("thumbnail four letters grows") << "txtTHUMBNAILEXT"
                                                      << "abcd" << false << ".ABCD" << false;
        QTest::newRow("tolerance 100") << "txtTOLERANCE"
                                       << "100" << false << "5" << false;
        QTest::newRow("tolerance -1") << "txtTOLERANCE"
                                      << "-1" << false << "5" << false;
        QTest::newRow("tolerance 99") << "txtTOLERANCE"
                                      << "99" << false << "99" << false;
        QTest::newRow("tolerance 0") << "txtTOLERANCE"
                                     << "0" << false << "0" << false;
        QTest::newRow("tolerance 7.5") << "txtTOLERANCE"
                                       << " 7.5" << false << "7.5" << false;
        QTest::newRow("tolerance abc reads 0") << "txtTOLERANCE"
                                               << "abc" << false << "abc" << false;
        QTest::newRow("tolerance with pre-match marks") << "txtTOLERANCE"
                                                        << "12" << true << "12" << true;
    }
    void normalisation()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(bool, preMatch);
        QFETCH(QString, shown);
        QFETCH(bool, changed);
        Window w;
        w.control<QCheckBox>("chkPREMATCH")->setChecked(preMatch);
        w.main->session().ChangedSearch = false;
        auto* edit = w.control<QLineEdit>(field);
        edit->setText(typed);
        loseFocus(edit);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(w.main->session().ChangedSearch, changed);
        const MainSettings& s = w.main->settings();
        QCOMPARE(field == "txtFILTER" ? s.filter : field == "txtTOLERANCE" ? s.tolerance : s.thumbnailExt, shown);
    }

    void typingIsLimited()
    {
        Window w;
        auto* edit = w.control<QLineEdit>("txtTOLERANCE");
        edit->clear();
        QTest::keyClicks(edit, "123456");
        QCOMPARE(edit->text(), QStringLiteral("1234"));
    }

    void changeFlags_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("marks");
        for (const char* name :
            { "chkART", "chkPNG", "chkICO", "chkEXCLUSIVE", "chkGATHER", "chkNOT", "chkSINGLETABLE", "chkSOFTMATCH" })
            QTest::newRow(name) << name << true;
        for (const char* name : { "chkIGNORE", "chkTREEMODEIFCD", "chkSAVELIST", "chkSNAPSHOT", "chkRECYCLE",
                 "chkCONFIRM", "chkAUTONEXT", "chkJPEG", "chkPREMATCH", "chkNOSOUND" })
            QTest::newRow(name) << name << false;
    }
    void changeFlags()
    {
        QFETCH(QString, box);
        QFETCH(bool, marks);
        Window w;
        w.main->session().ChangedSearch = false;
        auto* check = w.control<QCheckBox>(box);
        QVERIFY(check);
        // Code setting the value fires the handler as a click would.
        check->setChecked(!check->isChecked());
        QCOMPARE(w.main->session().ChangedSearch, marks);
    }

    void typeBoxBindsToTheValue()
    {
        Window w;
        w.control<QCheckBox>("chkPNG")->setChecked(true);
        QVERIFY(w.main->settings().fileTypes[15]);
        w.main->settings().fileTypes[0] = true;
        w.main->settings().listName = "Other";
        w.main->showSettings();
        QVERIFY(w.control<QCheckBox>("chkART")->isChecked());
        QCOMPARE(w.control<QLabel>("lblLISTNAME")->text(), QStringLiteral("Other"));
    }

    void modeChoiceClearsSoftMatching()
    {
        Window w;
        w.control<QCheckBox>("chkSOFTMATCH")->setChecked(true);
        w.main->session().ChangedSearch = false;
        w.control<QRadioButton>("optPATTERN")->setChecked(true);
        QVERIFY(!w.control<QCheckBox>("chkSOFTMATCH")->isChecked());
        QVERIFY(!w.main->settings().softMatch);
        QCOMPARE(w.main->settings().mode, ComparisonMode::Pattern);
        QVERIFY(w.main->session().ChangedSearch);
    }

    void settingsFileReachesTheControls()
    {
        Window w("USE SOFTMATCH\r\nCHECKSUM\r\nUSE SOFTMATCH\r\n.GIF\r\nTHUMBNAIL = .jpx\r\nRGB TOLERANCE = 12\r\n");
        w.main->Form_Activate();
        QVERIFY(w.control<QRadioButton>("optCHECKSUM")->isChecked());
        QVERIFY(w.control<QCheckBox>("chkSOFTMATCH")->isChecked());
        QVERIFY(w.control<QCheckBox>("chkGIF")->isChecked());
        QCOMPARE(w.control<QLineEdit>("txtTHUMBNAILEXT")->text(), QStringLiteral(".jpx"));
        QCOMPARE(w.control<QLineEdit>("txtTOLERANCE")->text(), QStringLiteral("12"));
        QCOMPARE(w.control<QLineEdit>("txtFILTER")->text(), QStringLiteral("*"));
        QVERIFY(!w.main->session().ChangedSearch);
        QVERIFY(w.main->Timer3->isActive());
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("listName");
        QTest::addColumn<bool>("gather");
        QTest::newRow("name and gather") << "Holiday /GATHER"
                                         << "Holiday" << true;
        QTest::newRow("gather in lower case") << "Holiday /gather"
                                              << "Holiday" << true;
        QTest::newRow("name alone") << "Holiday"
                                    << "Holiday" << false;
        QTest::newRow("gather alone") << "/Gather"
                                      << "General" << true;
    }
    void commandLine()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, listName);
        QFETCH(bool, gather);
        Window w("[MODE]\r\n", commandLine);
        QVERIFY(writeFile(w.dir.file("data/Holiday.lst"), "[DIRECTORIES]\r\n[] /pics/\r\n"));
        w.main->Form_Activate();
        QCOMPARE(w.control<QLabel>("lblLISTNAME")->text(), listName);
        QCOMPARE(w.control<QCheckBox>("chkGATHER")->isChecked(), gather);
        QCOMPARE(w.main->settings().gather, gather);
        QVERIFY(w.main->session().ChangedSearch);
        QCOMPARE(w.control<QListWidget>("lstDIRECTORIES")->count(), listName == "Holiday" ? 1 : 0);
    }

    void crashRecoveryQuestions_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("left");
        QTest::newRow("No deletes the state file") << int(MsgAnswer::No) << false;
        QTest::newRow("Yes resumes and keeps it") << int(MsgAnswer::Yes) << true;
    }
    void crashRecoveryQuestions()
    {
        QFETCH(int, answer);
        QFETCH(bool, left);
        Window w;
        CountingStages stages;
        w.main->setStageWindows(stages);
        QVERIFY(writeFile(w.dir.file("Scanning.dat"), "3\r\n"));
        QVERIFY(writeFile(w.dir.file("Matching.dat"), "3\r\n"));
        w.prompter.queueAnswer(MsgAnswer(answer));
        w.prompter.queueAnswer(MsgAnswer::No);
        w.main->Form_Activate();
        QCOMPARE(stages.preScans, left ? 1 : 0); // Yes presses Go, which goes straight to the pre-scan
        QCOMPARE(w.prompter.messages().size(), 2);
        QVERIFY(w.prompter.texts().at(0).contains("Pre-Scan"));
        QVERIFY(w.prompter.texts().at(1).contains("Pre-Match"));
        QCOMPARE(QFile::exists(w.dir.file("Scanning.dat")), left);
        QVERIFY(!QFile::exists(w.dir.file("Matching.dat")));
    }

    // Text of several lines pasted into the IFCD box is never taken: Quit writes the list as it
    // was, and the next start shows it so. Leaving the box puts the IFCD back, and says why.
    void pastedLinesNeverReachTheList_data()
    {
        QTest::addColumn<QString>("lineBreak");
        QTest::addColumn<bool>("boxLeft");
        QTest::newRow("LF, box left") << "\n" << true;
        QTest::newRow("CR, box left") << "\r" << true;
        QTest::newRow("CRLF, box left") << "\r\n" << true;
        QTest::newRow("LF, Quit at once") << "\n" << false;
    }
    void pastedLinesNeverReachTheList()
    {
        QFETCH(QString, lineBreak);
        QFETCH(bool, boxLeft);
        Window w("[CURRENT LIST]\r\nLIST NAME = General\r\n \r\n[MISC]\r\nDISABLE END STATS MESSAGE\r\n");
        const QByteArray list = "[DIRECTORIES]\r\n[] /pics/\r\n[] /in/\r\n[] /in/ = INCOMING FILE DIRECTORY\r\n \r\n";
        QVERIFY(writeFile(w.dir.file("data/General.lst"), list));
        w.main->Form_Activate();
        QCOMPARE(w.main->txtIFCD->text(), QStringLiteral("[] /in/"));
        const QString pasted = QStringLiteral("x%1[] /etc/%1DO NOT CONFIRM DELETES").arg(lineBreak);
        QGuiApplication::clipboard()->setText(pasted);
        w.main->txtIFCD->selectAll();
        w.main->txtIFCD->paste();
        QCOMPARE(w.main->txtIFCD->text(), pasted);
        QCOMPARE(w.main->settings().ifcd, QStringLiteral("[] /in/"));
        if (boxLeft) {
            loseFocus(w.main->txtIFCD);
            QCOMPARE(w.main->txtIFCD->text(), QStringLiteral("[] /in/"));
            QCOMPARE(w.prompter.texts(), QStringList { DirectoryAdder::lineBreakRefusal({ pasted }) });
        } else {
            // Quit's statistics box taking the focus is not the user leaving the box.
            QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
            QCoreApplication::sendEvent(w.main->txtIFCD, &away);
            QVERIFY(w.prompter.messages().isEmpty());
        }
        w.control<QPushButton>("cmdQUIT")->click();
        QVERIFY(w.main->hasEnded());
        QCOMPARE(readFile(w.dir.file("data/General.lst")), list);
        QVERIFY(!readFile(w.dir.file("TOLQ.INI")).contains("/etc/"));

        frmMAIN again(w.prompter, w.dir.path());
        again.Form_Activate();
        QCOMPARE(again.settings().directories, (QStringList { "[] /pics/", "[] /in/" }));
        QCOMPARE(again.txtIFCD->text(), QStringLiteral("[] /in/"));
        QVERIFY(!again.settings().noConfirm);
    }

    // Text of several lines pasted into a box of the settings is never taken: leaving the box
    // shows the value held again, and says why.
    void pastedLinesInASettingBox_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("what");
        QTest::newRow("filter") << QString("txtFILTER") << QString("A*\nB*") << QString("file filter");
        QTest::newRow("tolerance") << QString("txtTOLERANCE") << QString("7\r3") << QString("tolerance");
        QTest::newRow("thumbnail extension")
            << QString("txtTHUMBNAILEXT") << QString("J\nK") << QString("thumbnail file extension");
    }
    void pastedLinesInASettingBox()
    {
        QFETCH(QString, box);
        QFETCH(QString, pasted);
        QFETCH(QString, what);
        Window w("[OPTIONS]\r\nFILTER = X*\r\nRGB TOLERANCE = 12\r\nTHUMBNAIL = .THN\r\n");
        w.main->Form_Activate();
        auto* edit = w.control<QLineEdit>(box);
        const QString held = edit->text();
        QGuiApplication::clipboard()->setText(pasted);
        edit->selectAll();
        edit->paste();
        loseFocus(edit);
        QCOMPARE(edit->text(), held);
        const MainSettings& s = w.main->settings();
        QCOMPARE(QStringList({ s.filter, s.tolerance, s.thumbnailExt }), QStringList({ "X*", "12", ".THN" }));
        const QStringList told = w.prompter.texts();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].contains(what) && told[0].contains("line break"), qPrintable(told[0]));
    }

    void everyActivationRewritesTheSettings()
    {
        Window w;
        w.main->Form_Activate();
        QVERIFY(writeFile(w.dir.file("TOLQ.INI"), "junk"));
        w.main->Form_Activate();
        QVERIFY(readFile(w.dir.file("TOLQ.INI")).startsWith("[CURRENT LIST]\r\nLIST NAME = General\r\n"));
    }

    void unreadableSettingsEndTheProgram()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(QDir().mkpath(dir.file("TOLQ.INI")));
        ScriptedPrompter prompter;
        frmMAIN main(prompter, dir.path());
        QSignalSpy ends(&main, &frmMAIN::programEnds);
        QVERIFY(!main.hasEnded());
        main.Form_Activate();
        QCOMPARE(prompter.texts(), QStringList { "Unable to read INI file\r\rThe path is not a file." });
        QCOMPARE(ends.count(), 1);
        QVERIFY(main.hasEnded());
        QVERIFY(!main.Timer3->isActive());
    }

    void unwritableSettingsEndTheProgram()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("plain-file"), "x"));
        ScriptedPrompter prompter;
        frmMAIN main(prompter, dir.file("plain-file/tolq"));
        QCOMPARE(prompter.texts(),
            QStringList { "Unable to create INI file\r\r" + dir.file("plain-file/tolq/TOLQ.INI")
                + " cannot be written: " + QString::fromLocal8Bit(std::strerror(ENOTDIR)) });
        QVERIFY(main.hasEnded());
    }

    void eyesBlink()
    {
        BlinkStepper stepper;
        QList<int> first;
        while (const std::optional<int> frame = stepper.tick())
            first << *frame;
        QList<int> second;
        while (const std::optional<int> frame = stepper.tick())
            second << *frame;
        QCOMPARE(first, (QList<int> { 0, 1, 2, 1, 0 }));
        QCOMPARE(second, (QList<int> { 1, 2, 1, 0 }));

        Window w;
        w.main->Timer1->start();
        for (int i = 0; i < 6; ++i)
            QMetaObject::invokeMethod(w.main->Timer1, "timeout", Qt::DirectConnection);
        QVERIFY(!w.main->Timer1->isActive());
        QCOMPARE(w.main->imgLEFTEYES->pixmap().toImage(), w.main->imgLEFT[0].toImage());
        QVERIFY(w.main->imgLEFT[0].toImage() != w.main->imgLEFT[2].toImage());
    }
};

QTEST_MAIN(tst_frmMAIN)
#include "tst_frmMAIN.moc"
