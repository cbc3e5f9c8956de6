#pragma once

#include "dialogs/frmCOUNT.h"
#include "match/FileConfirmer.h"
#include "platform/SystemVolumes.h"
#include "platform/Yielder.h"

#include <QDialog>
#include <QPointer>

#include <array>
#include <memory>

class ImageBox;
class PairReview;
class frmALTVIEW;
class frmMOVEIT;
class frmVIEWIMAGES;
class Prompter;
class QLabel;
class QLineEdit;
class QPushButton;
class SettingsWriter;
class SoundPlayer;
struct MainSettings;
struct Session;

// The pair review window: image 1 (the reference) in the upper half, image 2 (the candidate) in
// the lower half, each with its thumbnail, facts and file buttons; below them the status line and
// the buttons that step through the matches. It is thin: every event becomes a call on the
// review engine, which renders through the window's view.
class frmCHECKEM : public QDialog
{
    Q_OBJECT
public:
    frmCHECKEM(const MainSettings& settings, Session& session, const QString& programDirectory, Prompter& prompter,
        SoundPlayer& sound, SettingsWriter& settingsWriter, QWidget* mainWindow, QWidget* parent = nullptr);
    ~frmCHECKEM() override;

    PairReview& review() { return *m_review; }
    // The move dialog of the run, shared by both reviews; without one the window makes its own
    // at the first move.
    void setMoveDialog(frmMOVEIT* dialog);
    frmMOVEIT& moveDialog();
    // The review's own two-image viewer and external viewer launcher, loaded with the window.
    frmVIEWIMAGES& viewer() { return *m_viewer; }
    frmALTVIEW& launcher() { return *m_launcher; }
    // Whether the window's keys act (off while an action runs).
    bool keyPreview() const { return m_keyPreview; }

    // Controls, under their own names; the names ending in 1 belong to image 1, in 2 to image 2.
    std::array<ImageBox*, 2> gvbIMAGE {};
    std::array<QLabel*, 2> picIMAGE {};
    std::array<QLabel*, 2> lblFILE {};
    std::array<QLabel*, 2> lblPATH {};
    std::array<QLabel*, 2> lblTYPE {};
    std::array<QLabel*, 2> lblSIZE {};
    std::array<QLabel*, 2> lblDATE {};
    std::array<QLabel*, 2> lblD {};
    std::array<QLabel*, 2> lblDIM {};
    std::array<QLabel*, 2> lblCHKNAME {};
    std::array<QLabel*, 2> lblCHKLOCATION {};
    std::array<QLabel*, 2> lblCHKTYPE {};
    std::array<QLabel*, 2> lblCHKSIZE {};
    std::array<QLabel*, 2> lblCHKDATE {};
    std::array<QLabel*, 2> lblCHKDIM {};
    std::array<QPushButton*, 2> cmdDELETE {};
    std::array<QPushButton*, 2> cmdMOVE {};
    std::array<QPushButton*, 2> cmdRENAME {};
    std::array<QLineEdit*, 2> txtNEWNAME {};
    std::array<QPushButton*, 2> cmdOK {};
    QLabel* lblSTATUS = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* cmdPREVIOUS = nullptr;
    QPushButton* cmdBOTH = nullptr;
    QPushButton* cmdSTOP = nullptr;
    QPushButton* cmdNEXT = nullptr;
    QPushButton* cmdSKIP = nullptr;
    QPushButton* cmdCANCEL = nullptr;
    QPushButton* cmdCOUNT = nullptr;
    QLabel* Image1 = nullptr;

public Q_SLOTS:
    void Form_Activate();

private Q_SLOTS:
    void cmdNEXT_Click();
    void cmdPREVIOUS_Click();
    void cmdDELETE1_Click();
    void cmdDELETE2_Click();
    void cmdBOTH_Click();
    void cmdSKIP_Click();
    void cmdCOUNT_Click();
    void cmdCANCEL_Click();
    void cmdSTOP_Click();
    void cmdMOVE1_Click();
    void cmdMOVE2_Click();
    void cmdRENAME1_Click();
    void cmdRENAME2_Click();
    void gvbIMAGE1_Click();
    void gvbIMAGE2_Click();
    void txtNEWNAME1_LostFocus();
    void txtNEWNAME2_LostFocus();

public:
    // Escape asks to close, like the title bar.
    void reject() override { close(); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class View;
    class Mover;

    void buildControls();
    void buildHalf(int image);
    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void Form_KeyPress(QChar key);
    void Form_KeyUp(int keyCode);
    // After every action: a close asked for while it ran happens now.
    void afterAction();
    // The rename's name box of an image (0 or 1): opened by Rename, applied when it loses the
    // focus to another control of the window.
    void openNameBox(std::size_t i);
    void applyNameBox(std::size_t i);
    // The row of the size and the date laid out for the texts it holds.
    void fitSizeRow(std::size_t i);

    const MainSettings& m_settings;
    Session& m_session;
    Prompter& m_prompter;
    EventLoopYielder m_yielder;
    SystemVolumes m_volumes;
    MediaFileConfirmer m_confirmer;
    frmCOUNT::Notice m_countNotice;
    std::array<QLabel*, 2> m_dateCaption {}; // "Date -", moved along with the date
    std::unique_ptr<View> m_view;
    std::unique_ptr<Mover> m_mover;
    QPointer<frmMOVEIT> m_moveDialog;
    frmALTVIEW* m_launcher = nullptr;
    frmVIEWIMAGES* m_viewer = nullptr;
    std::unique_ptr<PairReview> m_review;
    QPointer<QWidget> m_mainWindow; // may be gone before the review
    bool m_keyPreview = false;
    bool m_closePending = false;
    bool m_unloaded = false;
    // A name being applied: the focus its own confirmation takes from the box applies nothing.
    bool m_applyingName = false;
};
