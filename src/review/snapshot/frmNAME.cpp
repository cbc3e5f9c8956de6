#include "review/snapshot/frmNAME.h"

#include "platform/KeyCodes.h"
#include "review/snapshot/HoverFacts.h"
#include "review/snapshot/PadPlacement.h"
#include "widgets/TextRow.h"
#include "widgets/Twips.h"

#include <QLabel>
#include <QPushButton>

using twips::px;
using Command = SnapshotPadHost::Command;

namespace {

// The row of facts below the name, in twips: dimensions, size, date and the counters.
struct Place
{
    int left;
    int width;
};
constexpr int FactsTop = 360;
constexpr Place FactsRow[] { { 120, 1500 }, { 1680, 1620 }, { 3360, 2100 }, { 5520, 3135 } };

} // namespace

frmNAME::frmNAME(SnapshotPadHost& host, QWidget* owner)
    : FloatingPad(owner)
    , m_host(host)
{
    setObjectName(QStringLiteral("frmNAME"));
    buildControls();
    resize(px(PadPlacement::HoverStripWidth), px(PadPlacement::HoverStripHeight));
}

void frmNAME::buildControls()
{
    auto label = [this](const char* name, const QString& caption, int left, int top, int width) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(px(left, top, width, 240));
        return l;
    };
    lblNAME = label("lblNAME", QStringLiteral("filename"), 120, 120, 8535);
    lblDIM = label("lblDIM", QStringLiteral("0 x 0"), FactsRow[0].left, FactsTop, FactsRow[0].width);
    lblSIZE = label("lblSIZE", QStringLiteral("filesize"), FactsRow[1].left, FactsTop, FactsRow[1].width);
    lblDATE = label("lblDATE", QStringLiteral("filedate"), FactsRow[2].left, FactsTop, FactsRow[2].width);
    lblDELSTATUS
        = label("lblDELSTATUS", QStringLiteral("status"), FactsRow[3].left, FactsTop, FactsRow[3].width);

    // Below the visible part, so never seen: they carry the keys and access letters.
    auto button = [this](const char* name, const QString& caption, int left, int width) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(px(left, 1080, width, 375));
        return b;
    };
    cmdVIEW = button("cmdVIEW", QStringLiteral("&View"), 120, 855);
    cmdTAG = button("cmdTAG", QStringLiteral("&Tag"), 960, 855);
    cmdDELETE = button("cmdDELETE", QStringLiteral("&Delete"), 1800, 855);
    cmdALL = button("cmdALL", QStringLiteral("&All"), 2640, 855);
    cmdMOVE = button("cmdMOVE", QStringLiteral("&Move"), 3480, 855);
    cmdSKIP = button("cmdSKIP", QStringLiteral("&Skip"), 4320, 855);
    cmdPREVIOUS = button("cmdPREVIOUS", QStringLiteral("&P"), 5160, 375);
    cmdNEXT = button("cmdNEXT", QStringLiteral("&N"), 5520, 375);
    cmdCOUNT = button("cmdCOUNT", QStringLiteral("&C"), 5880, 375);

    connect(cmdVIEW, &QPushButton::clicked, this, &frmNAME::cmdVIEW_Click);
    connect(cmdTAG, &QPushButton::clicked, this, &frmNAME::cmdTAG_Click);
    connect(cmdDELETE, &QPushButton::clicked, this, &frmNAME::cmdDELETE_Click);
    connect(cmdALL, &QPushButton::clicked, this, &frmNAME::cmdALL_Click);
    connect(cmdMOVE, &QPushButton::clicked, this, &frmNAME::cmdMOVE_Click);
    connect(cmdSKIP, &QPushButton::clicked, this, &frmNAME::cmdSKIP_Click);
    connect(cmdPREVIOUS, &QPushButton::clicked, this, &frmNAME::cmdPREVIOUS_Click);
    connect(cmdNEXT, &QPushButton::clicked, this, &frmNAME::cmdNEXT_Click);
    connect(cmdCOUNT, &QPushButton::clicked, this, &frmNAME::cmdCOUNT_Click);
}

void frmNAME::pressButton(QPushButton* button)
{
    const std::pair<QPushButton*, void (frmNAME::*)()> handlers[] {
        { cmdVIEW, &frmNAME::cmdVIEW_Click },
        { cmdTAG, &frmNAME::cmdTAG_Click },
        { cmdDELETE, &frmNAME::cmdDELETE_Click },
        { cmdALL, &frmNAME::cmdALL_Click },
        { cmdMOVE, &frmNAME::cmdMOVE_Click },
        { cmdSKIP, &frmNAME::cmdSKIP_Click },
        { cmdPREVIOUS, &frmNAME::cmdPREVIOUS_Click },
        { cmdNEXT, &frmNAME::cmdNEXT_Click },
        { cmdCOUNT, &frmNAME::cmdCOUNT_Click },
    };
    for (const auto& [target, handler] : handlers) {
        if (target == button) {
            (this->*handler)();
            return;
        }
    }
}

void frmNAME::showFacts(const HoverFacts& facts, const QColor& nameColour)
{
    lblNAME->setText(facts.name);
    lblSIZE->setText(facts.size);
    lblDATE->setText(facts.date);
    lblDELSTATUS->setText(facts.counters);
    QPalette palette = lblNAME->palette();
    palette.setColor(QPalette::WindowText, nameColour);
    lblNAME->setPalette(palette);
    lblDIM->show();
    lblDIM->setText(facts.dimensions);
    fitFactsRow();
    // Placed before it shows, and again at every hover: the place depends on the slot.
    Form_Activate();
    bringUp();
}

void frmNAME::fitFactsRow()
{
    // A text wider than its place (a long date in a wider font than the design's) pushes what
    // follows to the right, within the strip.
    keepRowWhole({ { lblDIM, px(FactsRow[0].left), px(FactsRow[0].width) },
                     { lblSIZE, px(FactsRow[1].left), px(FactsRow[1].width) },
                     { lblDATE, px(FactsRow[2].left), px(FactsRow[2].width) },
                     { lblDELSTATUS, px(FactsRow[3].left), px(FactsRow[3].width) } },
        px(PadPlacement::HoverStripWidth - FactsRow[0].left));
}

void frmNAME::Form_Activate()
{
    resize(width(), px(PadPlacement::HoverStripHeight));
    const QPoint place = PadPlacement::hoverStrip(
        twips::of(m_host.frame()), twips::of(m_host.screenArea()), m_host.currentSlot(), twips::of(width()));
    move(px(place));
}

void frmNAME::press(Command command, bool focusView, bool hidePads)
{
    if (m_host.busy())
        return;
    if (focusView)
        cmdVIEW->setFocus();
    if (hidePads)
        m_host.hidePads();
    m_host.press(command);
}

void frmNAME::cmdVIEW_Click()
{
    press(Command::View, false, false);
}

void frmNAME::cmdTAG_Click()
{
    press(Command::Tag, true, false);
}

void frmNAME::cmdDELETE_Click()
{
    press(Command::Delete, false, false);
}

void frmNAME::cmdALL_Click()
{
    press(Command::All, false, false);
}

void frmNAME::cmdMOVE_Click()
{
    press(Command::Move, false, false);
}

void frmNAME::cmdSKIP_Click()
{
    // The strip stays up while the window moves on.
    press(Command::Skip, true, false);
}

void frmNAME::cmdPREVIOUS_Click()
{
    press(Command::Prev, true, true);
}

void frmNAME::cmdNEXT_Click()
{
    press(Command::Next, true, true);
}

void frmNAME::cmdCOUNT_Click()
{
    press(Command::Count, false, false);
}

void frmNAME::Form_KeyPress(QChar key)
{
    const QChar letter = key.toUpper();
    if (letter == QLatin1Char('V'))
        cmdVIEW_Click();
    if (letter == QLatin1Char('T'))
        cmdTAG_Click();
    if (letter == QLatin1Char('D'))
        cmdDELETE_Click();
    if (letter == QLatin1Char('M'))
        cmdMOVE_Click();
    if (letter == QLatin1Char('P'))
        cmdPREVIOUS_Click();
    if (letter == QLatin1Char('N'))
        cmdNEXT_Click();
    if (letter == QLatin1Char('C'))
        cmdCOUNT_Click();
}

void frmNAME::Form_KeyUp(int keyCode)
{
    if (keyCode == keycode::PageUp)
        cmdPREVIOUS_Click();
    else if (keyCode == keycode::PageDown)
        cmdNEXT_Click();
    else if (keyCode == keycode::Delete)
        cmdDELETE_Click();
}
