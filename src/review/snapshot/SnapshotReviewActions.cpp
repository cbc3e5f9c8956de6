#include "review/snapshot/SnapshotReview.h"

#include "dialogs/ImageViewer.h"
#include "imagestats/MediaPrompts.h"
#include "platform/SoundPlayer.h"
#include "platform/Yielder.h"
#include "review/FileActions.h"
#include "review/snapshot/HoverFacts.h"
#include "review/snapshot/SnapshotView.h"
#include "session/MainSettings.h"
#include "session/Session.h"

namespace {

ViewSide viewSideOf(const ImageFacts& slot)
{
    return { slot.filePath(), slot.SIZE.trimmed() + QStringLiteral(" bytes") };
}

} // namespace

bool SnapshotReview::holdsFileAt(int slot) const
{
    return slot >= 0 && slot <= LastSlot && slot < ThumbnailSlotCount && holdsFile(m_slots[std::size_t(slot)]);
}

void SnapshotReview::thumbnailHovered(int slot)
{
    if (slot < 0 || slot >= ThumbnailSlotCount)
        return;
    WHICHIMAGE = slot;
    if (!m_view)
        return;
    m_view->showHover(
        slot, hoverFactsOf(m_slots[std::size_t(slot)], m_session, m_settings.ifcd, m_view->drawnSize(slot)));
}

void SnapshotReview::thumbnailClicked(int slot)
{
    if (slot < 0 || slot >= ThumbnailSlotCount)
        return;
    WHICHIMAGE = slot;
    // An emptied slot offers nothing to act on: no pad.
    if (m_view && holdsFileAt(slot))
        m_view->showActionPad(slot, m_slots[std::size_t(slot)].REFNAME);
}

void SnapshotReview::backgroundHovered()
{
    if (m_view)
        m_view->clearHover(deletionCountersText(m_session.NumberDeleted, m_session.TotalDeleted));
}

void SnapshotReview::cmdTAG_Click()
{
    guarded([&] {
        if (!holdsFileAt(WHICHIMAGE))
            return;
        TaggedSlot = WHICHIMAGE;
        // Always heard, whatever the sound setting: the tag has no other sign.
        m_ports.sound.beep();
    });
}

void SnapshotReview::cmdVIEW_Click()
{
    guarded([&] {
        if (!m_dialogs.viewer || !holdsFileAt(WHICHIMAGE))
            return;
        DisableReviewControls();
        const int current = WHICHIMAGE;
        const bool tagged = holdsFileAt(TaggedSlot);
        // With a tag: the tagged file on the left, the current one on the right.
        const int left = tagged ? TaggedSlot : current;
        const int right = tagged ? current : -1;
        const ViewSide side1 = viewSideOf(m_slots[std::size_t(left)]);
        const ViewSide side2 = tagged ? viewSideOf(m_slots[std::size_t(right)]) : ViewSide {};
        const ViewResult result = m_dialogs.viewer->view(side1, side2, [&](int side) {
            const ImageFacts& slot = m_slots[std::size_t(side == 1 ? left : right)];
            PromptForFile(slot.DRIVEVOLUME, slot.filePath(),
                MediaPromptSettings { m_session.DisableFilePolling, m_session.ReactivateDrives }, m_ports.volumes,
                m_ports.prompter);
        });
        TaggedSlot = -1;
        EnableReviewControls();
        if (!result.shown)
            return;
        yieldOnce();
        const QString asked = result.DelPic.trimmed();
        if (asked.isEmpty())
            return;
        // Paths keep their case here: the file asked for is the one handed over, exactly. Two
        // slots showing it (one file reached twice) delete nothing.
        int match = -1;
        int matches = 0;
        for (int n = 0; n <= LastSlot && n < ThumbnailSlotCount; ++n) {
            if (holdsFile(m_slots[std::size_t(n)]) && m_slots[std::size_t(n)].filePath() == result.DelPic) {
                match = n;
                ++matches;
            }
        }
        if (matches != 1)
            return;
        WHICHIMAGE = match;
        deleteSlots(match, match);
    });
}

void SnapshotReview::followReference(const ImageFacts& slot)
{
    if (slot.rowId == m_pair.reference.rowId)
        m_pair.reference = slot;
}

void SnapshotReview::cmdMOVE_Click()
{
    guarded([&] {
        if (!m_dialogs.move || !holdsFileAt(WHICHIMAGE))
            return;
        DisableReviewControls();
        ImageFacts& slot = m_slots[std::size_t(WHICHIMAGE)];
        // The moved file keeps its slot; its caption takes a numbered name.
        if (m_fileActions->moveFile(slot, *m_dialogs.move).done()) {
            followReference(slot);
            RefreshThumbnails();
        }
        EnableReviewControls();
    });
}

void SnapshotReview::cmdRENAME_Click(int slot, const QString& typed)
{
    guarded([&] {
        if (!holdsFileAt(slot))
            return;
        DisableReviewControls();
        ImageFacts& renamed = m_slots[std::size_t(slot)];
        PromptForFile(renamed.DRIVEVOLUME, renamed.filePath(),
            MediaPromptSettings { m_session.DisableFilePolling, m_session.ReactivateDrives }, m_ports.volumes,
            m_ports.prompter);
        const FileActionOutcome outcome = m_fileActions->renameFile(renamed, typed);
        if (outcome.done())
            followReference(renamed);
        // A failed rename was told and leaves the grid as it is.
        if (outcome.done() || outcome.result == FileActionOutcome::Result::Declined)
            RefreshThumbnails();
        EnableReviewControls();
    });
}
