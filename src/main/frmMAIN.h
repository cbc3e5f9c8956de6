#pragma once

#include "main/BlinkStepper.h"
#include "main/ListDatabaseUpkeep.h"
#include "main/MainController.h"
#include "main/SearchControl.h"
#include "main/SearchHost.h"
#include "main/StageWindowFactory.h"

#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QRandomGenerator>
#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;
class frmALTVIEW;
class frmMOVEIT;
class frmCOMPACT;
class Volumes;
namespace settingstable {
struct Row;
}

// The main window: every search setting, the directory list and the start of a search. It is thin:
// its controls are bound to the MainSettings value of its controller, which does the work.
class frmMAIN : public QMainWindow,
                private StartupServices,
                private StatsPresenter,
                private SearchHost,
                private CompactionNotice
{
    Q_OBJECT
public:
    frmMAIN(Prompter& prompter, const QString& programDirectory, const QString& commandLine = {},
        QWidget* parent = nullptr);
    ~frmMAIN() override;

    MainController& controller() { return m_controller; }
    MainSettings& settings() { return m_controller.settings(); }
    Session& session() { return m_controller.session(); }
    Prompter& prompter() { return m_prompter; }
    SearchControl& searchControl() { return *m_search; }
    ListDatabaseUpkeep& upkeep() { return *m_upkeep; }
    // The windows a search shows; the program's own unless others are set.
    void setStageWindows(StageWindowFactory& stages) { m_stages = &stages; }
    // The review window the last search opened, while it is up.
    QWidget* reviewWindow() const { return m_review; }
    // Public methods other windows call.
    ProgramOutcome WriteINI();
    void SaveList(const QString& name);
    void LoadList(const QString& name);
    // Puts the settings value into the controls after code changed it.
    void showSettings();
    // Shows the directory list and the IFCD as the settings value now holds them: the entries
    // added since the list was last shown are appended.
    void showDirectoryList();
    frmALTVIEW* altViewer() const { return m_altView; }
    // The move dialog both reviews share, made at its first use and kept for the run, so the
    // destinations it remembers last as long.
    frmMOVEIT& moveDialog();
    // The mounted file systems the list dialogs show: the system's unless others are set.
    void setVolumes(const Volumes& volumes) { m_volumes = &volumes; }
    const Volumes& volumes();

    // The hooks of the image statistics subsystem run at the first activation.
    void setStartupHooks(std::function<void()> checkDiskSpace, std::function<void()> buildOrientationTable);
    // True once the program has been told to end (the settings file failed, Quit, a gather run).
    bool hasEnded() const { return m_ended; }

Q_SIGNALS:
    // The program should end now; the application quits its event loop.
    void programEnds();

public Q_SLOTS:
    void Form_Activate();

private Q_SLOTS:
    // The Click of every mode option (optNAME_Click ... optPATTERN_Click): the newly selected one
    // marks the search changed and clears soft matching.
    void optMODE_Click(bool selected);
    void txtFILTER_LostFocus();
    void txtTHUMBNAILEXT_LostFocus();
    void txtTOLERANCE_LostFocus();
    // Leaving any of these boxes with text of several lines puts back the value taken last, and
    // the user is told why (for the IFCD as the add dialog tells of such a directory).
    void txtIFCD_LostFocus();
    void cmdGO_Click();
    void cmdPURGE_Click();
    void cmdCOMPACT_Click();
    void cmdQUIT_Click();
    void cmdHELP_Click();
    void cmdABOUT_Click();
    void cmdADD_Click();
    void cmdLOAD_Click();
    void cmdSAVE_Click();
    void cmdCLEAR_Click();
    void cmdDELETE_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // StartupServices
    void yieldOnce() override;
    void checkDiskSpace() override;
    void buildOrientationTable() override;
    qint64 screenColours() override;
    ProgramOutcome pressGo() override;
    void openHelp() override;
    void settingsChanged() override;
    // StatsPresenter
    StatsAnswer showStatistics(const QString& text) override;
    // SearchHost
    void showResumeDialog() override;
    void stopAnimation() override;
    void hideMainWindow() override;
    void showMainWindow() override;
    void showPreScan() override;
    void showPreMatch() override;
    bool waitUntil(const bool& flag) override;
    void showReview(bool snapshot, const QString& caption) override;
    bool showsWindows() const override;
    void pressQuit() override;
    void endProgramNow() override;
    void endDuringStage(ExitStatus status) override;
    // CompactionNotice
    void showNotice() override;
    void hideNotice() override;

    void Form_Load();
    void Form_Unload();
    void buildControls();
    void wireHandlers();
    void placeWindow();
    // A search runs while the window is up (the pre-match of a left Matching.dat): nothing but
    // Quit and Help acts.
    bool searchRunning() const;
    // Takes the values of the controls into the settings. False when the change is not to act:
    // while a search runs the controls are put back instead.
    bool takeControlValues();
    // The Click of every box of the settings table (chkART_Click ... chkWPG_Click, chkNOT_Click,
    // chkSOFTMATCH_Click, ...): the value taken, and the search marked changed where the table
    // says so.
    void chkSETTING_Click(const settingstable::Row& row);
    void markChanged();
    // A box left holding a line break, which no line of the settings or list files takes: it
    // shows the value held again, and the user is told why. True when the text is one line.
    bool keepsOneLine(QLineEdit* box, const QString& held, const QString& reason);
    // The same for a box of the settings table, whose value is held in its row.
    bool keepsOneLine(QLineEdit* box, const QString& what);
    void endProgram();
    // The list dialog with its action button captioned Load or Save.
    void showListDialog(const QString& action);

    MainController m_controller;
    Prompter& m_prompter;
    CommandLine m_commandLine;
    std::function<void()> m_checkDiskSpace;
    std::function<void()> m_buildOrientationTable;
    QRandomGenerator m_random;
    bool m_ended = false;
    bool m_applyingSettings = false;
    frmALTVIEW* m_altView = nullptr;
    frmMOVEIT* m_moveIt = nullptr;
    std::unique_ptr<Volumes> m_systemVolumes;
    const Volumes* m_volumes = nullptr;
    std::unique_ptr<ListDatabaseUpkeep> m_upkeep;
    std::unique_ptr<SearchControl> m_search;
    std::unique_ptr<StageWindowFactory> m_ownStages;
    StageWindowFactory* m_stages = nullptr;
    QPointer<QWidget> m_stageWindow;
    QPointer<QWidget> m_review;
    QPointer<frmCOMPACT> m_compactNotice;

public:
    // Controls, under their own names.
    QLabel* lblLISTNAME = nullptr;
    QListWidget* lstDIRECTORIES = nullptr;
    QLineEdit* txtIFCD = nullptr;
    QCheckBox* chkTREEMODEIFCD = nullptr;
    QCheckBox* chkSAVELIST = nullptr;
    QCheckBox* chkSINGLETABLE = nullptr;
    QRadioButton* optNAME = nullptr;
    QRadioButton* optSIZE = nullptr;
    QRadioButton* optNAMESIZE = nullptr;
    QRadioButton* optNUMBERED = nullptr;
    QRadioButton* optCHECKSUM = nullptr;
    QRadioButton* optAVERAGERGB = nullptr;
    QRadioButton* optQUADRGB = nullptr;
    QRadioButton* optPATTERN = nullptr;
    QCheckBox* chkIGNORE = nullptr;
    QLineEdit* txtTOLERANCE = nullptr;
    QCheckBox* chkSOFTMATCH = nullptr;
    QCheckBox* chkEXCLUSIVE = nullptr;
    QCheckBox* chkSNAPSHOT = nullptr;
    QCheckBox* chkRECYCLE = nullptr;
    QCheckBox* chkCONFIRM = nullptr;
    QCheckBox* chkAUTONEXT = nullptr;
    QLineEdit* txtFILTER = nullptr;
    QCheckBox* chkNOT = nullptr;
    QLineEdit* txtTHUMBNAILEXT = nullptr;
    QCheckBox* chkJPEG = nullptr;
    QCheckBox* chkPREMATCH = nullptr;
    QCheckBox* chkGATHER = nullptr;
    QCheckBox* chkNOSOUND = nullptr;
    std::array<QCheckBox*, FileTypeCount> fileTypeBoxes {}; // chkART ... chkICO
    QPushButton* cmdGO = nullptr;
    QPushButton* cmdPURGE = nullptr;
    QPushButton* cmdCOMPACT = nullptr;
    QPushButton* cmdQUIT = nullptr;
    QPushButton* cmdHELP = nullptr;
    QPushButton* cmdABOUT = nullptr;
    QPushButton* cmdADD = nullptr;
    QPushButton* cmdLOAD = nullptr;
    QPushButton* cmdSAVE = nullptr;
    QPushButton* cmdCLEAR = nullptr;
    QPushButton* cmdDELETE = nullptr;
    QLabel* imgLEFTEYES = nullptr;
    QLabel* imgRIGHTEYES = nullptr;
    std::array<QPixmap, 3> imgLEFT;
    std::array<QPixmap, 3> imgRIGHT;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;

private:
    BlinkStepper m_leftBlink; // LeftBlinkStep
    BlinkStepper m_rightBlink; // RightBlinkStep
    // The controls of the settings table's rows, by row.
    std::vector<std::pair<const settingstable::Row*, QWidget*>> m_settingControls;
};
