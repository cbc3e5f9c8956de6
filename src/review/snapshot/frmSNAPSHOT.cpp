#include "review/snapshot/frmSNAPSHOT.h"

#include "dialogs/MoveDialog.h"
#include "dialogs/frmALTVIEW.h"
#include "dialogs/frmMOVEIT.h"
#include "dialogs/frmVIEWIMAGES.h"
#include "platform/TextLines.h"
#include "review/snapshot/SnapshotReview.h"
#include "review/snapshot/ThumbnailGrid.h"
#include "review/snapshot/frmDOWHAT.h"
#include "review/snapshot/frmNAME.h"
#include "session/Session.h"
#include "widgets/FormKeys.h"
#include "widgets/ImageBox.h"
#include "widgets/ScreenPlace.h"
#include "widgets/Twips.h"
#include "widgets/WindowFrame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

using twips::px;

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect place)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(px(place));
    return label;
}

} // namespace

// The move dialog as the review asks it, placed on this window.
class frmSNAPSHOT::Mover : public MoveDialog
{
public:
    explicit Mover(frmSNAPSHOT& window)
        : m_window(window)
    {
    }
    MoveResult moveFile(const QString& fileName, const QString& from) override
    {
        return m_window.m_moveDialog->moveFile(fileName, from, &m_window);
    }

private:
    frmSNAPSHOT& m_window;
};

frmSNAPSHOT::frmSNAPSHOT(const MainSettings& settings, Session& session, const QString& programDirectory,
    Services services, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window)
    , m_mainWindow(mainWindow)
    , m_confirmer(MediaPromptSettings { session.DisableFilePolling, session.ReactivateDrives }, services.volumes,
          services.prompter)
    , m_countNotice(this)
{
    setObjectName(QStringLiteral("frmSNAPSHOT"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_view = makeView(*this);
    m_review = std::make_unique<SnapshotReview>(settings, session, programDirectory,
        ReviewPorts {
            services.prompter, services.sound, m_yielder, m_confirmer, services.volumes, services.settingsWriter },
        m_view.get(), &m_countNotice);
    buildControls();
    // The windows that live with the review, made hidden: the hover strip, the action pad, the
    // two-image viewer and, unless the main window lends its own, the launcher.
    m_strip = new frmNAME(*this, this);
    m_pad = new frmDOWHAT(*this, this);
    m_launcher = services.launcher;
    if (!m_launcher)
        m_launcher = new frmALTVIEW(session, services.volumes, services.prompter, this);
    m_viewer = new frmVIEWIMAGES(*m_launcher, this);
    m_moveDialog = services.moveDialog;
    if (!m_moveDialog)
        m_moveDialog = new frmMOVEIT(settings, session, services.volumes, services.prompter, this);
    m_mover = std::make_unique<Mover>(*this);
    m_review->setDialogs(ReviewDialogs { m_mover.get(), m_viewer });
    wireHandlers();
    Form_Load();
}

frmSNAPSHOT::~frmSNAPSHOT() = default;

QPushButton* frmSNAPSHOT::makeButton(const char* name, const QString& caption, int left, int width)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    // The window takes the keys, whichever button was pressed last.
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(px(left), 0, px(width), px(ThumbnailGrid::BottomButtonHeight));
    return button;
}

void frmSNAPSHOT::buildControls()
{
    setWindowTitle(QStringLiteral("t'olq! - Duplicate image file manager"));
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, windowGrey());
    setPalette(grey);
    setFocusPolicy(Qt::StrongFocus);
    // Moves over the background hide the facts.
    setMouseTracking(true);

    for (std::size_t n = 0; n < gvbIMAGE.size(); ++n) {
        QLabel* caption = makeLabel(
            this, "lblREFNAME", QString(), QRect(0, 0, ThumbnailGrid::CaptionWidth, ThumbnailGrid::CaptionHeight));
        caption->setProperty("index", int(n));
        caption->setAutoFillBackground(true);
        caption->setPalette(grey);
        caption->hide();
        lblREFNAME[n] = caption;

        auto* image = new ImageBox(this);
        image->setObjectName(QStringLiteral("gvbIMAGE"));
        image->setProperty("index", int(n));
        image->setDisplayMode(ImageBox::KeepSize);
        image->resize(px(ThumbnailGrid::ImageSize), px(ThumbnailGrid::ImageSize));
        image->hide();
        gvbIMAGE[n] = image;

        QLabel* icon
            = makeLabel(this, "picIMAGE", QString(), QRect(0, 0, ThumbnailGrid::IconSize, ThumbnailGrid::IconSize));
        icon->setProperty("index", int(n));
        // A click on the icon is a click on its thumbnail.
        icon->setAttribute(Qt::WA_TransparentForMouseEvents);
        icon->hide();
        picIMAGE[n] = icon;
    }

    lblNAME = makeLabel(this, "lblNAME", QStringLiteral("filename"), QRect(120, 6900, 585, 195));
    lblDIM = makeLabel(this, "lblDIM", QStringLiteral("0 x 0"), QRect(120, 7150, 345, 195));
    lblSIZE = makeLabel(this, "lblSIZE", QStringLiteral("filesize"), QRect(1680, 7150, 465, 195));
    lblDATE = makeLabel(this, "lblDATE", QStringLiteral("filedate"), QRect(3240, 7150, 510, 195));
    lblDELSTATUS = makeLabel(this, "lblDELSTATUS", QStringLiteral("status"), QRect(120, 7440, 420, 195));
    for (QLabel* label : { lblNAME, lblDIM, lblSIZE, lblDATE, lblDELSTATUS })
        label->adjustSize();
    lblSTATUS = makeLabel(this, "lblSTATUS", QStringLiteral("Status..."), QRect(120, 5400, 3600, 255));
    lblTIP = makeLabel(
        this, "lblTIP", QStringLiteral("Click on the thumbnails for more options..."), QRect(0, 0, 3000, 255));
    QFont small = lblTIP->font();
    small.setPointSizeF(8);
    lblTIP->setFont(small);
    lblTIP->adjustSize();
    imgTIP = makeLabel(this, "imgTIP", QString(), QRect(0, 0, 480, 480));
    imgTIP->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(px(480), px(480)));
    for (std::size_t k = 0; k < boxLINE.size(); ++k) {
        auto* line = new QFrame(this);
        line->setObjectName(QStringLiteral("boxLINE%1").arg(k + 1));
        line->setAutoFillBackground(true);
        line->hide();
        boxLINE[k] = line;
    }

    cmdNEXT = makeButton("cmdNEXT", QStringLiteral("&Next"), 120, ThumbnailGrid::BottomButtonWidth);
    cmdPREV = makeButton("cmdPREV", QStringLiteral("&Prev"), 1680, ThumbnailGrid::BottomButtonWidth);
    cmdEXIT = makeButton("cmdEXIT", QStringLiteral("E&xit"), 3240, ThumbnailGrid::BottomButtonWidth);
    cmdSTOP = makeButton("cmdSTOP", QStringLiteral("Stop"), 4800, ThumbnailGrid::BottomButtonWidth);
    cmdSTOP->hide();
    lblSTATUS->hide();
    cmdDELETE = makeButton("cmdDELETE", QStringLiteral("Delete"), 2520, 700);
    cmdALL = makeButton("cmdALL", QStringLiteral("All"), 3240, 580);
    cmdRENAME = makeButton("cmdRENAME", QStringLiteral("Rename"), 3840, 820);
    cmdMOVE = makeButton("cmdMOVE", QStringLiteral("Move"), 4680, 700);
    cmdTAG = makeButton("cmdTAG", QStringLiteral("Tag"), 5400, 700);
    cmdVIEW = makeButton("cmdVIEW", QStringLiteral("View"), 6120, 700);
    cmdSKIP = makeButton("cmdSKIP", QStringLiteral("&Skip"), 6840, 700);
    cmdCOUNT = makeButton("cmdCOUNT", QStringLiteral("&Count"), 7560, 700);
}

void frmSNAPSHOT::wireHandlers()
{
    connect(cmdNEXT, &QPushButton::clicked, this, &frmSNAPSHOT::cmdNEXT_Click);
    connect(cmdPREV, &QPushButton::clicked, this, &frmSNAPSHOT::cmdPREV_Click);
    connect(cmdEXIT, &QPushButton::clicked, this, &frmSNAPSHOT::cmdEXIT_Click);
    connect(cmdSTOP, &QPushButton::clicked, this, &frmSNAPSHOT::cmdSTOP_Click);
    connect(cmdALL, &QPushButton::clicked, this, &frmSNAPSHOT::cmdALL_Click);
    connect(cmdDELETE, &QPushButton::clicked, this, &frmSNAPSHOT::cmdDELETE_Click);
    connect(cmdCOUNT, &QPushButton::clicked, this, &frmSNAPSHOT::cmdCOUNT_Click);
    connect(cmdSKIP, &QPushButton::clicked, this, &frmSNAPSHOT::cmdSKIP_Click);
    connect(cmdRENAME, &QPushButton::clicked, this, &frmSNAPSHOT::cmdRENAME_Click);
    connect(cmdMOVE, &QPushButton::clicked, this, &frmSNAPSHOT::cmdMOVE_Click);
    connect(cmdTAG, &QPushButton::clicked, this, &frmSNAPSHOT::cmdTAG_Click);
    connect(cmdVIEW, &QPushButton::clicked, this, &frmSNAPSHOT::cmdVIEW_Click);
    for (std::size_t n = 0; n < gvbIMAGE.size(); ++n) {
        connect(gvbIMAGE[n], &ImageBox::clicked, this, [this, n] { m_review->thumbnailClicked(int(n)); });
        connect(gvbIMAGE[n], &ImageBox::mouseMoved, this, [this, n] { m_review->thumbnailHovered(int(n)); });
    }
}

void frmSNAPSHOT::Form_Load()
{
    m_frame = new WindowFrame(this, [this](QMargins frame) {
        const QRect screen = primaryScreenArea();
        const QRect outer = openingWindowRect(twips::of(screen.width()), twips::of(screen.height()));
        resize(px(outer.size()).shrunkBy(frame));
        move(screen.topLeft() + px(outer.topLeft()));
    });
    m_review->setLastSlot(SmallGridLastSlot);
    Form_Resize();
    m_review->load();
}

void frmSNAPSHOT::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmSNAPSHOT::Form_Resize()
{
    const QSize outer = m_frame->outerSize();
    const ThumbnailGrid grid = layoutThumbnails(twips::of(outer.width()), twips::of(outer.height()));
    for (QPushButton* button : { cmdDELETE, cmdALL, cmdRENAME, cmdMOVE, cmdTAG, cmdVIEW, cmdSKIP, cmdCOUNT })
        button->move(button->x(), px(grid.hiddenButtonTop));
    imgTIP->move(px(grid.tipPicture));
    lblTIP->move(px(grid.tipLabel));
    m_tipLine = px(grid.tipLine);
    for (QPushButton* button : { cmdNEXT, cmdPREV, cmdEXIT, cmdSTOP })
        button->move(button->x(), px(grid.bottomButtonTop));
    lblSTATUS->move(px(grid.status));
    for (std::size_t n = 0; n < gvbIMAGE.size(); ++n) {
        gvbIMAGE[n]->move(px(grid.image[n]));
        lblREFNAME[n]->move(px(grid.caption[n]));
        lblREFNAME[n]->lower();
        picIMAGE[n]->move(px(grid.icon[n]));
    }
    // The tip lies under the thumbnails, which cover it where a group reaches that far.
    imgTIP->lower();
    lblTIP->lower();
    m_review->setLastSlot(grid.lastSlot);
    update();
}

void frmSNAPSHOT::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    QTimer::singleShot(0, this, &frmSNAPSHOT::Form_Activate);
}

void frmSNAPSHOT::Form_Activate()
{
    if (!m_firstActivation)
        return;
    m_firstActivation = false;
    setFocus();
    if (!m_review->firstActivation())
        close();
}

void frmSNAPSHOT::closeEvent(QCloseEvent* event)
{
    // While an action runs, the close waits for it: the action stops, then the window closes.
    if (!m_review->requestClose()) {
        event->ignore();
        return;
    }
    Form_Unload();
    QWidget::closeEvent(event);
}

void frmSNAPSHOT::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    hidePads();
    m_review->unload();
    if (m_mainWindow)
        m_mainWindow->show();
}

QWidget* frmSNAPSHOT::padAwaitingKeys() const
{
    // A pad in view is where the user's keys are meant to go, even while the window manager has
    // yet to hand it the keyboard (or will not): they would be swallowed here.
    if (m_pad->isVisible())
        return m_pad;
    if (m_strip->isVisible())
        return m_strip;
    return nullptr;
}

void frmSNAPSHOT::keyPressEvent(QKeyEvent* event)
{
    if (QWidget* pad = padAwaitingKeys()) {
        QCoreApplication::sendEvent(pad, event);
        return;
    }
    // Every typed character is swallowed; N, P and C press their buttons. With Alt or Ctrl a key
    // is an access key or a shortcut, never a typed character.
    if (const auto typed = typedCharacter(event))
        m_review->keyPress(*typed);
    event->accept();
}

void frmSNAPSHOT::keyReleaseEvent(QKeyEvent* event)
{
    if (QWidget* pad = padAwaitingKeys()) {
        QCoreApplication::sendEvent(pad, event);
        return;
    }
    if (const int code = releasedKeyCode(event))
        m_review->keyUp(code);
}

void frmSNAPSHOT::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawLine(m_tipLine);
}

void frmSNAPSHOT::cmdNEXT_Click()
{
    m_review->cmdNEXT_Click();
}

void frmSNAPSHOT::cmdPREV_Click()
{
    m_review->cmdPREV_Click();
}

void frmSNAPSHOT::cmdEXIT_Click()
{
    // The pad's Exit ends the review, whichever window's Exit was pressed.
    if (!m_review->busy())
        m_pad->cmdEXIT_Click();
}

void frmSNAPSHOT::cmdSTOP_Click()
{
    m_review->cmdSTOP_Click();
}

void frmSNAPSHOT::cmdALL_Click()
{
    m_review->cmdALL_Click();
}

void frmSNAPSHOT::cmdDELETE_Click()
{
    m_review->cmdDELETE_Click();
}

void frmSNAPSHOT::cmdCOUNT_Click()
{
    m_review->cmdCOUNT_Click();
}

void frmSNAPSHOT::cmdSKIP_Click()
{
    m_review->cmdSKIP_Click();
}

void frmSNAPSHOT::cmdMOVE_Click()
{
    m_review->cmdMOVE_Click();
}

void frmSNAPSHOT::cmdRENAME_Click()
{
    // The name in the pad's box, trimmed there too, for the slot the box was opened for.
    QLineEdit* box = m_pad->txtNEWNAME;
    box->setText(textlines::trimBlanks(box->text()));
    const int slot = m_pad->renameSlot();
    m_review->cmdRENAME_Click(slot, box->text());
    // A name of several lines was refused: the box offers the present name again.
    if (textlines::holdsLineBreak(box->text()) && slot >= 0 && std::size_t(slot) < m_review->thumbnails().size())
        box->setText(m_review->thumbnails()[std::size_t(slot)].REFNAME);
}

void frmSNAPSHOT::cmdTAG_Click()
{
    m_review->cmdTAG_Click();
}

void frmSNAPSHOT::cmdVIEW_Click()
{
    m_review->cmdVIEW_Click();
}

void frmSNAPSHOT::press(Command command)
{
    const struct
    {
        Command command;
        QPushButton* button;
        void (frmSNAPSHOT::*handler)();
    } commands[] {
        { Command::View, cmdVIEW, &frmSNAPSHOT::cmdVIEW_Click },
        { Command::Tag, cmdTAG, &frmSNAPSHOT::cmdTAG_Click },
        { Command::Delete, cmdDELETE, &frmSNAPSHOT::cmdDELETE_Click },
        { Command::All, cmdALL, &frmSNAPSHOT::cmdALL_Click },
        { Command::Rename, cmdRENAME, &frmSNAPSHOT::cmdRENAME_Click },
        { Command::Move, cmdMOVE, &frmSNAPSHOT::cmdMOVE_Click },
        { Command::Prev, cmdPREV, &frmSNAPSHOT::cmdPREV_Click },
        { Command::Next, cmdNEXT, &frmSNAPSHOT::cmdNEXT_Click },
        { Command::Skip, cmdSKIP, &frmSNAPSHOT::cmdSKIP_Click },
        { Command::Count, cmdCOUNT, &frmSNAPSHOT::cmdCOUNT_Click },
    };
    for (const auto& pressed : commands) {
        if (pressed.command == command) {
            // A disabled button is not pressed, as the user could not press it either.
            if (pressed.button->isEnabled())
                (this->*pressed.handler)();
            return;
        }
    }
}

bool frmSNAPSHOT::busy() const
{
    return m_review->busy();
}

int frmSNAPSHOT::currentSlot() const
{
    return m_review->WHICHIMAGE;
}

QRect frmSNAPSHOT::slotRect(int slot) const
{
    if (slot < 0 || slot >= int(gvbIMAGE.size()))
        return {};
    return gvbIMAGE[std::size_t(slot)]->geometry();
}

QRect frmSNAPSHOT::screenArea() const
{
    const QScreen* onScreen = screen();
    return onScreen ? onScreen->availableGeometry() : QRect();
}

void frmSNAPSHOT::hidePads()
{
    m_strip->hide();
    m_pad->hide();
}

void frmSNAPSHOT::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    // A move a thumbnail passed on is no move over the background.
    if (!childAt(event->position().toPoint()))
        m_review->backgroundHovered();
}
