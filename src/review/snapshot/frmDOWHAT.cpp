#include "review/snapshot/frmDOWHAT.h"

#include "platform/KeyCodes.h"
#include "review/snapshot/PadPlacement.h"
#include "widgets/Twips.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using twips::px;
using Command = SnapshotPadHost::Command;

frmDOWHAT::frmDOWHAT(SnapshotPadHost& host, QWidget* owner)
    : FloatingPad(owner)
    , m_host(host)
{
    setObjectName(QStringLiteral("frmDOWHAT"));
    buildControls();
    setPadHeight(PadPlacement::ActionPadHeight);
}

void frmDOWHAT::buildControls()
{
    auto button = [this](const char* name, const QString& caption, const QString& tip, QRect place) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(tip);
        b->setGeometry(px(place));
        return b;
    };
    cmdVIEW = button("cmdVIEW", QStringLiteral("&View"), QStringLiteral("View this file"), { 120, 120, 1575, 495 });
    cmdTAG = button("cmdTAG", QStringLiteral("&Tag"),
        QStringLiteral("Tag this file for comparision to another with View..."), { 1800, 120, 1575, 495 });
    cmdDELETE
        = button("cmdDELETE", QStringLiteral("&Delete"), QStringLiteral("Delete this file"), { 120, 720, 975, 375 });
    cmdALL = button("cmdALL", QStringLiteral("&All"), QStringLiteral("Delete all..."), { 1200, 720, 495, 375 });
    cmdRENAME
        = button("cmdRENAME", QStringLiteral("&Rename"), QStringLiteral("Rename this file"), { 1800, 720, 855, 375 });
    cmdMOVE = button("cmdMOVE", QStringLiteral("&Move"), QStringLiteral("Move this file"), { 2760, 720, 615, 375 });
    cmdPREVIOUS = button("cmdPREVIOUS", QStringLiteral("<"), QStringLiteral("Previous match"), { 120, 1200, 375, 375 });
    cmdNEXT = button("cmdNEXT", QStringLiteral(">"), QStringLiteral("Next match"), { 600, 1200, 375, 375 });
    cmdSKIP
        = button("cmdSKIP", QStringLiteral("&Skip"), QStringLiteral("Skip to next Alpha"), { 1080, 1200, 615, 375 });
    cmdEXIT = button("cmdEXIT", QStringLiteral("E&xit"), QStringLiteral("Exit to Main"), { 1800, 1200, 1575, 375 });
    // Beyond the visible part: targets of the keys and of their access letters.
    cmdP = button("cmdP", QStringLiteral("&P"), QString(), { 3600, 600, 375, 375 });
    cmdN = button("cmdN", QStringLiteral("&N"), QString(), { 3600, 120, 375, 375 });
    cmdCANCEL = button("cmdCANCEL", QStringLiteral("&Cancel"), QString(), { 1920, 2520, 735, 375 });

    txtNEWNAME = new QLineEdit(QStringLiteral("Text1"), this);
    txtNEWNAME->setObjectName(QStringLiteral("txtNEWNAME"));
    txtNEWNAME->setGeometry(px(120, 1680, 2895, 375));
    txtNEWNAME->installEventFilter(this);
    cmdOK = button("cmdOK", QStringLiteral("Ok"), QStringLiteral("Accept new name..."), { 3000, 1670, 375, 375 });
    txtNEWNAME->hide();
    txtNEWNAME->setEnabled(false);
    cmdOK->hide();

    connect(cmdVIEW, &QPushButton::clicked, this, &frmDOWHAT::cmdVIEW_Click);
    connect(cmdTAG, &QPushButton::clicked, this, &frmDOWHAT::cmdTAG_Click);
    connect(cmdDELETE, &QPushButton::clicked, this, &frmDOWHAT::cmdDELETE_Click);
    connect(cmdALL, &QPushButton::clicked, this, &frmDOWHAT::cmdALL_Click);
    connect(cmdRENAME, &QPushButton::clicked, this, &frmDOWHAT::cmdRENAME_Click);
    connect(cmdMOVE, &QPushButton::clicked, this, &frmDOWHAT::cmdMOVE_Click);
    connect(cmdPREVIOUS, &QPushButton::clicked, this, &frmDOWHAT::cmdPREVIOUS_Click);
    connect(cmdNEXT, &QPushButton::clicked, this, &frmDOWHAT::cmdNEXT_Click);
    connect(cmdSKIP, &QPushButton::clicked, this, &frmDOWHAT::cmdSKIP_Click);
    connect(cmdEXIT, &QPushButton::clicked, this, &frmDOWHAT::cmdEXIT_Click);
    connect(cmdP, &QPushButton::clicked, this, &frmDOWHAT::cmdP_Click);
    connect(cmdN, &QPushButton::clicked, this, &frmDOWHAT::cmdN_Click);
    connect(cmdCANCEL, &QPushButton::clicked, this, &frmDOWHAT::cmdCANCEL_Click);
}

void frmDOWHAT::pressButton(QPushButton* button)
{
    const std::pair<QPushButton*, void (frmDOWHAT::*)()> handlers[] {
        { cmdVIEW, &frmDOWHAT::cmdVIEW_Click },
        { cmdTAG, &frmDOWHAT::cmdTAG_Click },
        { cmdDELETE, &frmDOWHAT::cmdDELETE_Click },
        { cmdALL, &frmDOWHAT::cmdALL_Click },
        { cmdRENAME, &frmDOWHAT::cmdRENAME_Click },
        { cmdMOVE, &frmDOWHAT::cmdMOVE_Click },
        { cmdPREVIOUS, &frmDOWHAT::cmdPREVIOUS_Click },
        { cmdNEXT, &frmDOWHAT::cmdNEXT_Click },
        { cmdSKIP, &frmDOWHAT::cmdSKIP_Click },
        { cmdEXIT, &frmDOWHAT::cmdEXIT_Click },
        { cmdP, &frmDOWHAT::cmdP_Click },
        { cmdN, &frmDOWHAT::cmdN_Click },
        { cmdCANCEL, &frmDOWHAT::cmdCANCEL_Click },
    };
    for (const auto& [target, handler] : handlers) {
        if (target == button) {
            (this->*handler)();
            return;
        }
    }
}

void frmDOWHAT::setPadHeight(int height)
{
    resize(px(PadPlacement::ActionPadWidth), px(height));
}

void frmDOWHAT::showFor(const QString& newName)
{
    txtNEWNAME->setText(newName);
    // Placed before it shows, so it never flashes up where it stood before.
    if (Form_Activate())
        bringUp();
}

bool frmDOWHAT::Form_Activate()
{
    setPadHeight(PadPlacement::ActionPadHeight);
    txtNEWNAME->setEnabled(false);
    txtNEWNAME->hide();
    cmdOK->hide();
    m_margin = 200;
    // The place needs the current thumbnail; after Delete all there is none, and no pad.
    const QRect thumbnail = m_host.slotRect(m_host.currentSlot());
    if (thumbnail.isEmpty()) {
        hide();
        return false;
    }
    move(px(PadPlacement::actionPad(twips::of(m_host.frame()), twips::of(thumbnail.topLeft()))));
    return true;
}

bool frmDOWHAT::buttonPressed()
{
    if (m_host.busy())
        return false;
    txtNEWNAME_LostFocus();
    return true;
}

void frmDOWHAT::pressAndStay(Command command)
{
    if (buttonPressed())
        m_host.press(command);
}

void frmDOWHAT::hidePadsAndPress(Command command)
{
    if (!buttonPressed())
        return;
    m_host.hidePads();
    m_host.press(command);
}

void frmDOWHAT::cmdVIEW_Click()
{
    pressAndStay(Command::View);
}

void frmDOWHAT::cmdTAG_Click()
{
    pressAndStay(Command::Tag);
}

void frmDOWHAT::cmdDELETE_Click()
{
    pressAndStay(Command::Delete);
}

void frmDOWHAT::cmdALL_Click()
{
    pressAndStay(Command::All);
}

void frmDOWHAT::cmdMOVE_Click()
{
    pressAndStay(Command::Move);
}

void frmDOWHAT::cmdPREVIOUS_Click()
{
    hidePadsAndPress(Command::Prev);
}

void frmDOWHAT::cmdNEXT_Click()
{
    hidePadsAndPress(Command::Next);
}

void frmDOWHAT::cmdSKIP_Click()
{
    hidePadsAndPress(Command::Skip);
}

void frmDOWHAT::cmdCANCEL_Click()
{
    txtNEWNAME_LostFocus();
    hide();
}

void frmDOWHAT::cmdEXIT_Click()
{
    if (!m_host.busy())
        txtNEWNAME_LostFocus();
    hide();
    m_host.hidePads();
    // While a search runs the close is a stop; the window closes when the search has returned.
    m_host.closeReview();
}

void frmDOWHAT::cmdRENAME_Click()
{
    if (!buttonPressed() || txtNEWNAME->text().isEmpty())
        return;
    setKeyPreview(false);
    setPadHeight(PadPlacement::ActionPadRenameHeight);
    txtNEWNAME->setEnabled(true);
    txtNEWNAME->show();
    cmdOK->show();
    m_renameBoxOpen = true;
    m_renameSlot = m_host.currentSlot();
    txtNEWNAME->setFocus(Qt::OtherFocusReason);
}

void frmDOWHAT::txtNEWNAME_LostFocus()
{
    // Once per opening of the box: the focus its own question takes, or a second loss of focus
    // before the first was handled, renames nothing more.
    if (!m_renameBoxOpen)
        return;
    m_renameBoxOpen = false;
    setPadHeight(PadPlacement::ActionPadHeight);
    txtNEWNAME->hide();
    cmdOK->hide();
    m_host.press(Command::Rename);
    setKeyPreview(true);
}

bool frmDOWHAT::eventFilter(QObject* watched, QEvent* event)
{
    // The rename runs its question after the focus change has finished, never inside it.
    if (watched == txtNEWNAME && event->type() == QEvent::FocusOut && m_renameBoxOpen)
        QTimer::singleShot(0, this, &frmDOWHAT::txtNEWNAME_LostFocus);
    return FloatingPad::eventFilter(watched, event);
}

void frmDOWHAT::Form_KeyPress(QChar key)
{
    const QChar letter = key.toUpper();
    if (letter == QLatin1Char('V'))
        cmdVIEW_Click();
    if (letter == QLatin1Char('T'))
        cmdTAG_Click();
    if (letter == QLatin1Char('D'))
        cmdDELETE_Click();
    if (letter == QLatin1Char('R'))
        cmdRENAME_Click();
    if (letter == QLatin1Char('M'))
        cmdMOVE_Click();
    if (letter == QLatin1Char('P'))
        cmdP_Click();
    if (letter == QLatin1Char('N'))
        cmdN_Click();
}

void frmDOWHAT::Form_KeyUp(int keyCode)
{
    if (keyCode == keycode::PageUp)
        cmdP_Click();
    else if (keyCode == keycode::PageDown)
        cmdN_Click();
    else if (keyCode == keycode::Delete)
        cmdDELETE_Click();
}
