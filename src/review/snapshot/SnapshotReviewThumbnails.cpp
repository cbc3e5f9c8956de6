#include "review/snapshot/SnapshotReview.h"

#include "imagestats/MediaPrompts.h"
#include "platform/Conventions.h"
#include "platform/Yielder.h"
#include "review/snapshot/SnapshotView.h"
#include "review/snapshot/ThumbnailGrid.h"
#include "session/Session.h"

#include <QDir>

#include <array>

namespace {

bool isIconFile(const ImageFacts& slot)
{
    const QString extension = slot.EXTENSION.toUpper();
    return extension == QLatin1String(".CUR") || extension == QLatin1String(".ICO");
}

} // namespace

QSize SnapshotReview::thumbnailBound()
{
    const int side = conv::twipsToPixels(ThumbnailGrid::ImageSize);
    return QSize(side, side);
}

QSize SnapshotReview::iconBound()
{
    const int side = conv::twipsToPixels(ThumbnailGrid::IconSize);
    return QSize(side, side);
}

void SnapshotReview::yieldOnce()
{
    m_ports.yielder.yield();
}

void SnapshotReview::DisableReviewControls()
{
    if (m_view)
        m_view->setReviewControlsEnabled(false);
}

void SnapshotReview::EnableReviewControls()
{
    if (m_view)
        m_view->setReviewControlsEnabled(true);
}

void SnapshotReview::ClearThumbnails()
{
    TaggedSlot = -1;
    clearSlots(m_slots);
    if (!m_view)
        return;
    for (int n = 0; n < ThumbnailSlotCount; ++n)
        m_view->clearThumbnail(n);
}

const QImage& SnapshotReview::errorPicture()
{
    // A missing error picture leaves the slot empty.
    if (!m_errorPicture)
        m_errorPicture = decodeImageFile(QDir(m_programDirectory).filePath(QStringLiteral("error.bmp"))).image;
    return *m_errorPicture;
}

void SnapshotReview::LoadThumbnails()
{
    TaggedSlot = -1;
    const int last = std::min(LastSlot, ThumbnailSlotCount - 1);
    // Every picture of the page is decoded ahead on the workers; they are shown in slot order.
    std::array<ThumbnailDecoder::Ticket, ThumbnailSlotCount> tickets;
    for (int n = 0; n <= last; ++n) {
        const ImageFacts& slot = m_slots[std::size_t(n)];
        if (holdsFile(slot))
            tickets[std::size_t(n)]
                = m_decoder->submit(slot.filePath(), isIconFile(slot) ? iconBound() : thumbnailBound());
    }
    for (int n = 0; n <= last; ++n) {
        if (m_view)
            m_view->prepareThumbnail(n, !m_slots[std::size_t(n)].PATH.isEmpty());
        yieldOnce();
    }
    for (int n = 0; n <= last; ++n) {
        // A close asked for while the page is shown ends the showing.
        if (m_closePending) {
            m_decoder->dropPending();
            break;
        }
        if (holdsFile(m_slots[std::size_t(n)]))
            showThumbnail(n, tickets[std::size_t(n)]);
        yieldOnce();
    }
}

void SnapshotReview::showThumbnail(int n, const ThumbnailDecoder::Ticket& ticket)
{
    const ImageFacts& slot = m_slots[std::size_t(n)];
    if (m_view)
        m_view->setCaption(n, slot.REFNAME);
    PromptForFile(slot.DRIVEVOLUME, slot.filePath(),
        MediaPromptSettings { m_session.DisableFilePolling, m_session.ReactivateDrives }, m_ports.volumes,
        m_ports.prompter);
    // The window stays alive while a large picture is still being decoded.
    while (!m_decoder->wait(ticket, 40))
        yieldOnce();
    DecodeResult decoded = m_decoder->take(ticket);
    // Once more after the prompt: the medium may have been put in meanwhile.
    if (!decoded.ok())
        decoded = decodeImageFile(slot.filePath(), isIconFile(slot) ? iconBound() : thumbnailBound());
    if (!m_view)
        return;
    if (isIconFile(slot)) {
        m_view->showIcon(n, decoded.image);
        if (decoded.ok())
            return;
    } else if (decoded.ok()) {
        m_view->showPicture(n, decoded.image, decoded.naturalSize);
        return;
    }
    const QImage& error = errorPicture();
    m_view->showPicture(n, error, error.size());
}

void SnapshotReview::RefreshThumbnails()
{
    const int last = std::min(LastSlot, ThumbnailSlotCount - 1);
    for (int n = 0; n <= last; ++n) {
        const ImageFacts& slot = m_slots[std::size_t(n)];
        if (m_view)
            m_view->setCaption(n, slot.REFNAME);
        if (!slot.NAME.isEmpty())
            continue;
        if (m_view)
            m_view->blankThumbnail(n);
        yieldOnce();
    }
}
