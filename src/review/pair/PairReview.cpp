#include "review/pair/PairReview.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueReadScope.h"
#include "catalogue/SqlRecordSet.h"
#include "dialogs/CountNotice.h"
#include "match/MatchCursors.h"
#include "match/PairWalker.h"
#include "match/PatternWalker.h"
#include "match/RowFacts.h"
#include "match/RuleSettings.h"
#include "platform/BusyScope.h"
#include "platform/Prompter.h"
#include "platform/Yielder.h"
#include "review/FileActions.h"
#include "review/FileFacts.h"
#include "review/ReviewSources.h"
#include "review/pair/PairReviewView.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <stdexcept>

PairReview::PairReview(const MainSettings& settings, Session& session, QString programDirectory, ReviewPorts ports,
    PairReviewView* view, CountNotice* countNotice, ReviewDialogs dialogs)
    : m_settings(settings)
    , m_session(session)
    , m_programDirectory(std::move(programDirectory))
    , m_ports(ports)
    , m_view(view)
    , m_countNotice(countNotice)
    , m_dialogs(dialogs)
{
}

PairReview::~PairReview() = default;

QString PairReview::Direction() const
{
    return m_pairWalker ? m_pairWalker->Direction() : QString();
}

bool PairReview::load()
{
    ReviewActiveCode = reviewActiveCode(m_settings);
    ReviewCatalogue catalogue = openReviewCatalogue(
        listDatabasePath(m_programDirectory, m_settings), reviewSource(m_settings, ReviewActiveCode), m_ports.prompter);
    if (!catalogue.files)
        return false;
    m_database = std::move(catalogue.database);
    m_files = std::move(catalogue.files);
    m_pairWalker = std::make_unique<PairWalker>(*m_files, m_pair);
    m_patternWalker = std::make_unique<PatternWalker>(*m_database, *m_files, m_pair, ReviewActiveCode);
    m_patternWalker->setPace(SearchPace {
        &m_ports.yielder, [this](const QString& status) { setStatus(status); }, [this] { return ReviewStopFlag; } });
    m_fileActions
        = std::make_unique<FileActions>(m_settings, m_session, *m_database, m_ports.prompter, m_ports.volumes);
    return true;
}

bool PairReview::firstActivation()
{
    if (!m_firstActivation)
        return true;
    m_firstActivation = false;
    if (!m_files)
        return false; // the load told why
    if (m_files->isEof()) {
        m_ports.prompter.tell(noFilesText());
        return false;
    }
    BusyScope busy(m_busy);
    guarded([this] {
        DisableReviewControls();
        placeReviewStart(*m_files, m_session.StoppedAtRecord);
        EnableReviewControls();
        m_session.StoppedAtRecord = 0;
        m_patternWalker->requireQuery();
        pressStep(SearchDirection::Forward);
    });
    return true;
}

void PairReview::unload()
{
    // Slot 1's record, 0 when none was ever loaded ("No files to review..."): an empty review
    // offers no resume. Nothing was reviewed when the catalogue could not be opened: the resume
    // record stays.
    if (m_files)
        m_session.StoppedAtRecord = m_pair.reference.RECNUM;
    m_session.ChangedSearch = false;
}

void PairReview::guarded(const std::function<void()>& work)
{
    if (!catalogueHeld(m_ports.prompter, work)) {
        EnableReviewControls();
        if (m_view)
            m_view->setStopVisible(false);
    }
}

void PairReview::press(const std::function<void()>& work)
{
    // One press at a time: a press that comes while another is at work does nothing.
    if (m_busy || !m_files)
        return;
    BusyScope busy(m_busy);
    guarded(work);
}

void PairReview::cmdNEXT_Click()
{
    press([this] { pressStep(SearchDirection::Forward); });
}

void PairReview::cmdPREVIOUS_Click()
{
    press([this] { pressStep(SearchDirection::Backward); });
}

void PairReview::cmdBOTH_Click()
{
    press([this] {
        DeleteBothFlag = true;
        deleteOne(1);
        deleteOne(2);
        DeleteBothFlag = false;
    });
    DeleteBothFlag = false;
}

void PairReview::deleteImage(int image)
{
    press([this, image] { deleteOne(image); });
}

void PairReview::cmdCOUNT_Click()
{
    press([this] {
        DisableReviewControls();
        if (m_countNotice)
            runCount(*m_files, *m_countNotice, m_session.StoppedAtRecord);
        EnableReviewControls();
    });
}

bool PairReview::atEnd(SearchDirection direction) const
{
    return direction == SearchDirection::Forward ? m_files->isEof() : m_files->isBof();
}

void PairReview::tellNoMoreMatches()
{
    m_ports.prompter.tell(noMoreMatchesText());
}

void PairReview::pressStep(SearchDirection direction)
{
    if (atEnd(direction)) {
        tellNoMoreMatches();
        return;
    }
    DisableReviewControls();
    // A skip may have left the cursor past the last record: the search back turns there, and its
    // one step back lands on the last record, whichever way the last search ran. Back from the
    // end the cursor may rest on a record deleted meanwhile: the search's first step passes it,
    // as it passes a candidate deleted since it was shown.
    const SearchDirection other
        = direction == SearchDirection::Forward ? SearchDirection::Backward : SearchDirection::Forward;
    if (walkedOff(*m_files, other) || (m_files->hasCurrent() && !onLiveRecord(*m_files)))
        m_pairWalker->setDirection(other);
    bool stopped = false;
    do {
        setStatus(QStringLiteral("Looking for match..."));
        stopped = search(direction);
        setStatus(QString());
        // Two records of one file (one directory, one name on disk, whatever the volume label)
        // are passed over; names that differ only in letter case are two files here. A stopped
        // search shows what it had in hand.
    } while (!stopped && !atEnd(direction) && m_pair.reference.PATH == m_pair.candidate.PATH
        && m_pair.reference.diskName() == m_pair.candidate.diskName());
    if (atEnd(direction)) {
        if (direction == SearchDirection::Forward)
            m_files->movePrevious();
        else
            m_files->moveNext();
    }
    storeReviewPosition(m_session, m_pair.reference, m_ports.settingsWriter);
    EnableReviewControls();
    if (m_view)
        m_view->setStopVisible(false);
    reviewSoundStep(m_ports.sound, m_settings, m_session);
}

bool PairReview::search(SearchDirection direction)
{
    // One read transaction for the whole walk of the search.
    CatalogueReadScope reads(*m_database);
    if (m_settings.mode == ComparisonMode::Pattern)
        return patternSearch(direction);
    pairSearch(direction);
    return false;
}

void PairReview::pairSearch(SearchDirection direction)
{
    const RuleSettings rules = RuleSettings::from(m_settings); // the tolerance is read once
    ClearPairFacts();
    if (m_pairWalker->find(direction, m_settings.mode, rules, m_ports.confirmer))
        ShowPair();
    else
        tellNoMoreMatches();
}

bool PairReview::patternSearch(SearchDirection direction)
{
    ReviewStopFlag = false;
    if (m_view)
        m_view->setStopVisible(true);
    const RuleSettings rules = RuleSettings::from(m_settings);
    ClearPairFacts();
    switch (m_patternWalker->find(direction, rules, &m_ports.yielder)) {
    case PatternWalker::Outcome::Hit:
        ShowPair();
        return false;
    case PatternWalker::Outcome::End:
        tellNoMoreMatches();
        return false;
    case PatternWalker::Outcome::Stopped:
        break;
    }
    // The pair in hand: the reference and the candidate compared last. A candidate deleted
    // since leaves its half empty rather than show a file that is gone.
    if (m_pair.candidate.isLive()) {
        ShowPair();
    } else {
        ClearSlot(m_pair.candidate);
        ShowPair(false);
    }
    return true;
}

void PairReview::deleteOne(int image)
{
    if (!imageShown(image) || !fileActionsOffered(image))
        return;
    DisableReviewControls();
    const FileActionOutcome outcome = m_fileActions->deleteFile(slot(image));
    if (outcome.done()) {
        setStatus(deletionCountersText(m_session.NumberDeleted, m_session.TotalDeleted));
        ClearImageFacts(image);
    }
    EnableReviewControls();
    if (outcome.done() && m_settings.autoNext && (image == 2 || !DeleteBothFlag))
        pressStep(SearchDirection::Forward);
}

void PairReview::cmdSKIP_Click()
{
    if (m_busy || !m_files)
        return;
    BusyScope busy(m_busy);
    if (const auto refusal = skipRefusalText(m_settings.mode)) {
        m_ports.prompter.tell(*refusal, QStringLiteral("Tolq"), MsgIcon::Information);
        return;
    }
    if (m_files->isEof() || !m_files->hasCurrent()) {
        tellNoMoreMatches();
        return;
    }
    guarded([this] {
        DisableReviewControls();
        ClearImageFacts(1);
        ClearImageFacts(2);
        ImageFacts& reference = m_pair.reference;
        ImageFacts& candidate = m_pair.candidate;
        reference = factsOf(m_files->record());
        if (!reference.isLive())
            moveNextUntagged(*m_files);
        if (m_files->isEof()) {
            tellNoMoreMatches();
            EnableReviewControls();
            return;
        }
        candidate = factsOf(m_files->record());
        while (reference.WHOLEBASE.left(1) == candidate.WHOLEBASE.left(1)) {
            moveNextUntagged(*m_files);
            if (m_files->isEof()) {
                tellNoMoreMatches();
                EnableReviewControls();
                return;
            }
            candidate = factsOf(m_files->record());
        }
        // The search goes on forward from the record reached, whichever way the last one ran.
        m_pairWalker->setDirection(SearchDirection::Forward);
        pressStep(SearchDirection::Forward);
        EnableReviewControls();
    });
}
