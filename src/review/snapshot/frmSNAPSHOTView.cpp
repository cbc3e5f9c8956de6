#include "review/snapshot/frmSNAPSHOT.h"

#include "review/snapshot/HoverFacts.h"
#include "review/snapshot/ThumbnailDecoder.h"
#include "review/snapshot/frmDOWHAT.h"
#include "review/snapshot/frmNAME.h"
#include "widgets/ImageBox.h"
#include "widgets/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

// The selection box's thickness in pixels.
constexpr int BoxLineWidth = 2;

} // namespace

// How the snapshot window renders what the review engine shows: the thumbnails, the search's
// status, the facts of a hover with its selection box, and the two pads.
class frmSNAPSHOT::View : public SnapshotView
{
public:
    explicit View(frmSNAPSHOT& window)
        : m_window(window)
    {
    }

    void setReviewControlsEnabled(bool enabled) override;
    void clearThumbnail(int slot) override;
    void prepareThumbnail(int slot, bool shown) override;
    void setCaption(int slot, const QString& caption) override;
    void showPicture(int slot, const QImage& picture, QSize naturalSize) override;
    void showIcon(int slot, const QImage& picture) override;
    void blankThumbnail(int slot) override { clearThumbnail(slot); }
    void fileDeleted(const QString& counters) override;
    void showSearchStatus(bool shown) override;
    void setStatusText(const QString& text) override;
    QSize drawnSize(int slot) const override { return m_window.naturalSize(slot); }
    void showHover(int slot, const HoverFacts& facts) override;
    void clearHover(const QString& counters) override;
    void showActionPad(int slot, const QString& newName) override;
    void hideActionPad() override;
    void closeWindow() override;

private:
    // The selection box round a thumbnail, in the name's colour.
    void showSelectionBox(int slot, const QColor& colour);

    frmSNAPSHOT& m_window;
};

std::unique_ptr<SnapshotView> frmSNAPSHOT::makeView(frmSNAPSHOT& window)
{
    return std::make_unique<View>(window);
}

void frmSNAPSHOT::View::setReviewControlsEnabled(bool enabled)
{
    frmSNAPSHOT& w = m_window;
    for (QPushButton* button :
        { w.cmdDELETE, w.cmdNEXT, w.cmdPREV, w.cmdRENAME, w.cmdSKIP, w.cmdTAG, w.cmdVIEW, w.cmdMOVE, w.cmdEXIT })
        button->setEnabled(enabled);
}

void frmSNAPSHOT::View::clearThumbnail(int slot)
{
    frmSNAPSHOT& w = m_window;
    const auto n = std::size_t(slot);
    w.lblREFNAME[n]->clear();
    w.lblREFNAME[n]->hide();
    w.gvbIMAGE[n]->setImage(QImage());
    w.gvbIMAGE[n]->hide();
    w.m_naturalSize[n] = QSize();
    w.picIMAGE[n]->hide();
    w.picIMAGE[n]->clear();
}

void frmSNAPSHOT::View::prepareThumbnail(int slot, bool shown)
{
    frmSNAPSHOT& w = m_window;
    const auto n = std::size_t(slot);
    w.gvbIMAGE[n]->setImage(QImage());
    w.m_naturalSize[n] = QSize();
    w.gvbIMAGE[n]->setVisible(shown);
}

void frmSNAPSHOT::View::setCaption(int slot, const QString& caption)
{
    // An empty caption's grey would still cover the tip below the grid.
    QLabel* label = m_window.lblREFNAME[std::size_t(slot)];
    label->setText(caption);
    label->setVisible(!caption.isEmpty());
}

void frmSNAPSHOT::View::showPicture(int slot, const QImage& picture, QSize naturalSize)
{
    frmSNAPSHOT& w = m_window;
    const auto n = std::size_t(slot);
    // The square is the image control's own: it covers what lies behind it, as the caption does
    // in the small grid.
    w.gvbIMAGE[n]->setImage(fittedThumbnail(picture, w.gvbIMAGE[n]->size(), windowGrey()));
    w.m_naturalSize[n] = picture.isNull() ? QSize() : naturalSize;
}

void frmSNAPSHOT::View::showIcon(int slot, const QImage& picture)
{
    QLabel* icon = m_window.picIMAGE[std::size_t(slot)];
    if (picture.isNull())
        icon->clear();
    else
        icon->setPixmap(QPixmap::fromImage(picture));
    icon->show();
    icon->raise();
}

void frmSNAPSHOT::View::showSearchStatus(bool shown)
{
    m_window.cmdSTOP->setVisible(shown);
    m_window.lblSTATUS->setVisible(shown);
}

void frmSNAPSHOT::View::setStatusText(const QString& text)
{
    m_window.lblSTATUS->setText(text);
}

void frmSNAPSHOT::View::showSelectionBox(int slot, const QColor& colour)
{
    frmSNAPSHOT& w = m_window;
    const std::array<QLine, 4> box = selectionBox(twips::of(w.gvbIMAGE[std::size_t(slot)]->geometry()));
    for (std::size_t k = 0; k < w.boxLINE.size(); ++k) {
        const QLine line = twips::px(box[k]);
        QFrame* frame = w.boxLINE[k];
        if (k < 2)
            frame->setGeometry(line.x1(), line.y1() - BoxLineWidth / 2, line.dx() + 1, BoxLineWidth);
        else
            frame->setGeometry(line.x1() - BoxLineWidth / 2, line.y1(), BoxLineWidth, line.dy() + 1);
        QPalette linePalette = frame->palette();
        linePalette.setColor(QPalette::Window, colour);
        frame->setPalette(linePalette);
    }
    for (QFrame* frame : w.boxLINE) {
        frame->show();
        frame->raise();
    }
}

void frmSNAPSHOT::View::showHover(int slot, const HoverFacts& facts)
{
    frmSNAPSHOT& w = m_window;
    // The strip coming up takes the pad's place in front, whatever the window manager does.
    w.m_pad->hide();
    QColor colour = w.palette().color(QPalette::ButtonText);
    if (facts.colour == LocationColour::Temporary)
        colour = QColor(0, 0, 0xFF);
    else if (facts.colour == LocationColour::Ifcd)
        colour = QColor(0xFF, 0, 0);
    showSelectionBox(slot, colour);
    w.lblNAME->setText(facts.name);
    w.lblSIZE->setText(facts.size);
    w.lblDATE->setText(facts.date);
    w.lblDELSTATUS->setText(facts.counters);
    QPalette namePalette = w.lblNAME->palette();
    namePalette.setColor(QPalette::WindowText, colour);
    w.lblNAME->setPalette(namePalette);
    w.lblDIM->show();
    w.lblDIM->setText(facts.dimensions);
    for (QLabel* label : { w.lblNAME, w.lblSIZE, w.lblDATE, w.lblDELSTATUS, w.lblDIM })
        label->adjustSize();
    w.m_strip->showFacts(facts, colour);
}

void frmSNAPSHOT::View::clearHover(const QString& counters)
{
    frmSNAPSHOT& w = m_window;
    // Hidden from here, a pad parked for a question or the viewer stays away when it closes.
    w.hidePads();
    for (QFrame* frame : w.boxLINE)
        frame->hide();
    for (QLabel* label : { w.lblNAME, w.lblSIZE, w.lblDATE, w.lblDIM })
        label->clear();
    w.lblDELSTATUS->setText(counters);
    w.lblDELSTATUS->adjustSize();
}

void frmSNAPSHOT::View::fileDeleted(const QString& counters)
{
    // As if the pointer had left the grid; the strip's next showing reads the new counters too.
    clearHover(counters);
    m_window.m_strip->lblDELSTATUS->setText(counters);
}

void frmSNAPSHOT::View::showActionPad(int, const QString& newName)
{
    m_window.m_pad->showFor(newName);
}

void frmSNAPSHOT::View::hideActionPad()
{
    m_window.m_pad->hide();
}

void frmSNAPSHOT::View::closeWindow()
{
    m_window.close();
}
