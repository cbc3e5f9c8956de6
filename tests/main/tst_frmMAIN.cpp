#include "main/frmMAIN.h"
#include "main/frmMAINStages.h"
#include "platform/ScriptedPrompter.h"

#include "TestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
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
        QCOMPARE(prompter.texts(), QStringList { "Unable to read INI file" });
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
        QCOMPARE(prompter.texts(), QStringList { "Unable to create INI file" });
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
