#pragma once

#include "dialogs/frmCOUNT.h"
#include "match/FileConfirmer.h"
#include "platform/Yielder.h"
#include "review/ReviewPorts.h"
#include "review/snapshot/SnapshotPadHost.h"
#include "review/snapshot/SnapshotView.h"

#include <QColor>
#include <QLine>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <array>
#include <memory>

class ImageBox;
class QFrame;
class frmALTVIEW;
class frmDOWHAT;
class frmMOVEIT;
class frmNAME;
class frmVIEWIMAGES;
class QLabel;
class QPushButton;
class SnapshotReview;
class SoundPlayer;
class WindowFrame;
struct MainSettings;
struct Session;

// The snapshot review window: a reference and its group as a grid of thumbnails (6 x 4, or 7 x 4
// when the window is 12000 twips wide or more), Next, Prev and Exit at the bottom, Stop and the
// status line while a pattern search runs. The buttons the pads and keys press lie below the
// window's edge. Pointing at a thumbnail shows its facts in the hover strip (frmNAME), a click
// brings up the action pad (frmDOWHAT); both reach the window only as their host. It is thin:
// its events become calls on SnapshotReview, which shows what comes back through its View.
class frmSNAPSHOT : public QWidget, private SnapshotPadHost
{
    Q_OBJECT
public:
    struct Services
    {
        Prompter& prompter;
        SoundPlayer& sound;
        const Volumes& volumes;
        SettingsWriter& settingsWriter;
        // The main window's external viewer launcher and the run's move dialog; without them
        // the window makes its own.
        frmALTVIEW* launcher = nullptr;
        frmMOVEIT* moveDialog = nullptr;
    };

    frmSNAPSHOT(const MainSettings& settings, Session& session, const QString& programDirectory, Services services,
        QWidget* mainWindow);
    ~frmSNAPSHOT() override;

    SnapshotReview& review() { return *m_review; }
    frmDOWHAT* actionPad() const { return m_pad; }
    frmNAME* hoverStrip() const { return m_strip; }
    frmVIEWIMAGES* viewer() const { return m_viewer; }

    // Controls, under their own names.
    QPushButton* cmdNEXT = nullptr;
    QPushButton* cmdPREV = nullptr;
    QPushButton* cmdEXIT = nullptr;
    QPushButton* cmdSTOP = nullptr;
    QPushButton* cmdALL = nullptr;
    QPushButton* cmdDELETE = nullptr;
    QPushButton* cmdRENAME = nullptr;
    QPushButton* cmdMOVE = nullptr;
    QPushButton* cmdTAG = nullptr;
    QPushButton* cmdVIEW = nullptr;
    QPushButton* cmdCOUNT = nullptr;
    QPushButton* cmdSKIP = nullptr;
    std::array<ImageBox*, 28> gvbIMAGE {};
    std::array<QLabel*, 28> picIMAGE {};
    std::array<QLabel*, 28> lblREFNAME {};
    QLabel* lblNAME = nullptr;
    QLabel* lblSIZE = nullptr;
    QLabel* lblDATE = nullptr;
    QLabel* lblDIM = nullptr;
    QLabel* lblDELSTATUS = nullptr;
    QLabel* lblSTATUS = nullptr;
    QLabel* lblTIP = nullptr;
    QLabel* imgTIP = nullptr;
    std::array<QFrame*, 4> boxLINE {}; // boxLINE1 to boxLINE4

    // The pixel size each thumbnail's picture has on disk (0 x 0 when none is shown).
    QSize naturalSize(int slot) const { return m_naturalSize[std::size_t(slot)]; }

public Q_SLOTS:
    void Form_Activate();

private Q_SLOTS:
    void cmdNEXT_Click();
    void cmdPREV_Click();
    void cmdEXIT_Click();
    void cmdSTOP_Click();
    void cmdALL_Click();
    void cmdDELETE_Click();
    void cmdCOUNT_Click();
    void cmdSKIP_Click();
    void cmdRENAME_Click();
    void cmdMOVE_Click();
    void cmdTAG_Click();
    void cmdVIEW_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QWidget* padAwaitingKeys() const;
    class Mover;
    // How the window renders what the review shows (frmSNAPSHOTView.cpp).
    class View;
    static std::unique_ptr<SnapshotView> makeView(frmSNAPSHOT& window);

    // SnapshotPadHost
    void press(Command command) override;
    bool busy() const override;
    int currentSlot() const override;
    QRect slotRect(int slot) const override;
    QRect frame() const override { return frameGeometry(); }
    QRect screenArea() const override;
    void hidePads() override;
    void closeReview() override { close(); }

    // The window's grey, behind the thumbnails too.
    static QColor windowGrey() { return QColor(0x80, 0x80, 0x80); }

    void buildControls();
    void wireHandlers();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    QPushButton* makeButton(const char* name, const QString& caption, int left, int width);

    QPointer<QWidget> m_mainWindow; // may be gone before the review
    EventLoopYielder m_yielder;
    MediaFileConfirmer m_confirmer;
    frmCOUNT::Notice m_countNotice;
    std::unique_ptr<SnapshotView> m_view; // outlives the review, which shows through it
    std::unique_ptr<SnapshotReview> m_review;
    frmNAME* m_strip = nullptr;
    frmDOWHAT* m_pad = nullptr;
    frmALTVIEW* m_launcher = nullptr;
    frmVIEWIMAGES* m_viewer = nullptr;
    frmMOVEIT* m_moveDialog = nullptr;
    std::unique_ptr<Mover> m_mover;
    WindowFrame* m_frame = nullptr; // the window's outer size is the frame's
    std::array<QSize, 28> m_naturalSize {};
    QLine m_tipLine; // lineTIP, in pixels
    bool m_firstActivation = true;
    bool m_unloaded = false;
};
