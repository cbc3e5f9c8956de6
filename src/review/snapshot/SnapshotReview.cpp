#include "review/snapshot/SnapshotReview.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/SqlRecordSet.h"
#include "dialogs/CountNotice.h"
#include "match/MatchCursors.h"
#include "match/ModeOrder.h"
#include "match/RuleSettings.h"
#include "platform/BusyScope.h"
#include "platform/KeyCodes.h"
#include "platform/Prompter.h"
#include "review/FileActions.h"
#include "review/FileFacts.h"
#include "review/ReviewSources.h"
#include "review/snapshot/GroupSearch.h"
#include "review/snapshot/PatternGroupSearch.h"
#include "review/snapshot/SnapshotView.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <exception>

SnapshotReview::SnapshotReview(const MainSettings& settings, Session& session, QString programDirectory,
    ReviewPorts ports, SnapshotView* view, CountNotice* countNotice)
    : m_settings(settings)
    , m_session(session)
    , m_programDirectory(std::move(programDirectory))
    , m_ports(ports)
    , m_view(view)
    , m_countNotice(countNotice)
    , m_decoder(std::make_unique<ThumbnailDecoder>())
{
}

SnapshotReview::~SnapshotReview()
{
    // The decoder's workers finish before the record sets and the database go.
    m_decoder.reset();
}

bool SnapshotReview::load()
{
    ReviewActiveCode = reviewActiveCode(m_settings);
    ReviewCatalogue catalogue = openReviewCatalogue(
        listDatabasePath(m_programDirectory, m_settings), reviewSource(m_settings, ReviewActiveCode), m_ports.prompter);
    if (!catalogue.files)
        return false;
    m_database = std::move(catalogue.database);
    m_files = std::move(catalogue.files);
    m_groupSearch = std::make_unique<GroupSearch>(*m_files, m_pair, m_slots, m_ports.prompter, m_ports.confirmer);
    m_patternSearch = std::make_unique<PatternGroupSearch>(
        *m_database, *m_files, m_pair, m_slots, m_ports.prompter, m_ports.yielder, ReviewActiveCode);
    m_patternSearch->setStatusLine([this](const QString& text) {
        if (m_view)
            m_view->setStatusText(text);
    });
    m_fileActions
        = std::make_unique<FileActions>(m_settings, m_session, *m_database, m_ports.prompter, m_ports.volumes);
    return true;
}

bool SnapshotReview::firstActivation()
{
    if (!m_firstActivation)
        return true;
    m_firstActivation = false;
    if (!m_files)
        return false;
    if (m_files->isEof()) {
        m_ports.prompter.tell(noFilesText());
        return false;
    }
    placeReviewStart(*m_files, m_session.StoppedAtRecord);
    // Past the resume record every record is deleted: from the first live one, if any.
    if (m_files->isEof())
        placeReviewStart(*m_files, 0);
    if (m_files->isEof()) {
        m_ports.prompter.tell(noFilesText());
        return false;
    }
    guarded([&] {
        m_session.StoppedAtRecord = 0;
        m_patternSearch->NeedPatternQuery = true;
        pressStep(SearchDirection::Forward);
    });
    return true;
}

void SnapshotReview::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_decoder->dropPending();
    // Nothing was reviewed when the catalogue could not be opened: the resume record stays.
    if (m_files)
        m_session.StoppedAtRecord = m_pair.reference.RECNUM;
    m_session.ChangedSearch = false;
}

bool SnapshotReview::requestClose()
{
    if (!m_busy)
        return true;
    m_closePending = true;
    ReviewStopFlag = true;
    return false;
}

void SnapshotReview::guarded(const std::function<void()>& work)
{
    if (m_busy || m_unloaded || !m_files)
        return;
    {
        BusyScope busy(m_busy);
        if (!catalogueHeld(m_ports.prompter, work)) {
            EnableReviewControls();
            if (m_view)
                m_view->showSearchStatus(false);
        }
    }
    // The close asked for meanwhile, once the guard is down.
    if (m_closePending && m_view)
        m_view->closeWindow();
}

void SnapshotReview::cmdNEXT_Click()
{
    guarded([&] { pressStep(SearchDirection::Forward); });
}

void SnapshotReview::cmdPREV_Click()
{
    guarded([&] { pressStep(SearchDirection::Backward); });
}

void SnapshotReview::pressStep(SearchDirection direction)
{
    DisableReviewControls();
    const bool forward = direction == SearchDirection::Forward;
    // At the end it is heading for the review turns and shows the last (first) group again.
    if (forward ? m_files->isEof() : m_files->isBof()) {
        tellNoMoreMatches(m_ports.prompter);
        forward ? movePreviousUntagged(*m_files) : moveNextUntagged(*m_files);
        direction = forward ? SearchDirection::Backward : SearchDirection::Forward;
    }
    search(direction);
    LoadThumbnails();
    storeReviewPosition(m_session, m_pair.reference, m_ports.settingsWriter);
    EnableReviewControls();
    if (m_view)
        m_view->showSearchStatus(false);
    reviewSoundStep(m_ports.sound, m_settings, m_session);
}

void SnapshotReview::search(SearchDirection direction)
{
    const RuleSettings rules = RuleSettings::from(m_settings);
    ClearThumbnails();
    if (m_settings.mode != ComparisonMode::Pattern) {
        m_groupSearch->find(direction, m_settings.mode, rules, LastSlot);
        return;
    }
    // A close asked for before the search began stops it as well.
    ReviewStopFlag = false;
    if (m_view)
        m_view->showSearchStatus(true);
    m_patternSearch->find(direction, rules, LastSlot, [this] { return stopRequested(); });
}

void SnapshotReview::cmdSKIP_Click()
{
    guarded([&] {
        if (const auto refusal = skipRefusalText(m_settings.mode)) {
            m_ports.prompter.tell(*refusal, Message().title, MsgIcon::Information);
            return;
        }
        DisableReviewControls();
        auto endOfRecords = [&] {
            tellNoMoreMatches(m_ports.prompter);
            EnableReviewControls();
        };
        if (m_files->isEof())
            return endOfRecords();
        ClearThumbnails();
        ImageFacts& reference = m_pair.reference;
        ImageFacts& candidate = m_pair.candidate;
        loadReviewRecord(*m_files, reference, m_ports.prompter);
        if (!reference.isLive())
            moveNextUntagged(*m_files);
        if (m_files->isEof())
            return endOfRecords();
        // Every name-ordered mode skips by the first character of WHOLEBASE.
        loadReviewRecord(*m_files, candidate, m_ports.prompter);
        while (reference.WHOLEBASE.left(1) == candidate.WHOLEBASE.left(1)) {
            moveNextUntagged(*m_files);
            if (m_files->isEof())
                return endOfRecords();
            loadReviewRecord(*m_files, candidate, m_ports.prompter);
        }
        EnableReviewControls();
        pressStep(SearchDirection::Forward);
    });
}

void SnapshotReview::cmdCOUNT_Click()
{
    guarded([&] {
        DisableReviewControls();
        if (m_countNotice)
            runCount(*m_files, *m_countNotice, m_session.StoppedAtRecord);
        EnableReviewControls();
    });
}

void SnapshotReview::cmdDELETE_Click()
{
    guarded([&] {
        // No current slot (after Delete all, or beyond a narrowed grid): nothing to act on.
        if (WHICHIMAGE < 0 || WHICHIMAGE > LastSlot)
            return;
        deleteSlots(WHICHIMAGE, WHICHIMAGE);
    });
}

void SnapshotReview::cmdALL_Click()
{
    guarded([&] {
        WHICHIMAGE = AllSlots;
        deleteSlots(0, LastSlot);
        // No slot is current now: the pad has nothing left to act on.
        if (m_view)
            m_view->hideActionPad();
    });
}

int SnapshotReview::occupiedSlots() const
{
    int count = 0;
    for (int n = 0; n <= LastSlot; ++n) {
        const ImageFacts& slot = m_slots[std::size_t(n)];
        if (!slot.PATH.isEmpty() && !slot.NAME.isEmpty())
            ++count;
    }
    return count;
}

void SnapshotReview::deleteSlots(int first, int last)
{
    DisableReviewControls();
    for (int n = first; n <= last; ++n) {
        // Closing the window ends a run over the group: no further file is offered.
        if (m_closePending)
            break;
        ImageFacts& slot = m_slots[std::size_t(n)];
        if (slot.NAME.trimmed().isEmpty())
            continue;
        // Without a question nothing else covers the grid: the pad goes.
        if (m_settings.noConfirm && m_view)
            m_view->hideActionPad();
        const FileActionOutcome outcome = m_fileActions->deleteFile(slot);
        if (outcome.result == FileActionOutcome::Result::Declined)
            continue;
        if (outcome.result == FileActionOutcome::Result::Failed) {
            RefreshThumbnails();
            EnableReviewControls();
            return;
        }
        // Before anything yields: a pad the question parked must not come back over the slot.
        if (m_view)
            m_view->fileDeleted(deletionCountersText(m_session.NumberDeleted, m_session.TotalDeleted));
        // A deleted pattern reference shows no further page.
        if (slot.rowId == m_pair.reference.rowId)
            m_pair.reference.RTAG = QStringLiteral("D");
        ClearSlot(slot);
        // A tag on an emptied slot would show nothing beside the next view.
        if (TaggedSlot == n)
            TaggedSlot = -1;
        RefreshThumbnails();
    }
    EnableReviewControls();
    if (m_settings.autoNext && occupiedSlots() < 2)
        pressStep(SearchDirection::Forward);
}

void SnapshotReview::keyPress(QChar character)
{
    switch (character.toUpper().unicode()) {
    case 'P':
        cmdPREV_Click();
        break;
    case 'N':
        cmdNEXT_Click();
        break;
    case 'C':
        cmdCOUNT_Click();
        break;
    default:
        break;
    }
}

void SnapshotReview::keyUp(int keyCode)
{
    if (keyCode == keycode::PageUp)
        cmdPREV_Click();
    else if (keyCode == keycode::PageDown)
        cmdNEXT_Click();
}
