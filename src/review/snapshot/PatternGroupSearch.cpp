#include "review/snapshot/PatternGroupSearch.h"

#include "catalogue/SqlRecordSet.h"
#include "imagestats/InvolvesIFCD.h"
#include "match/MatchCursors.h"
#include "match/RowFacts.h"
#include "match/RuleSettings.h"
#include "platform/Yielder.h"
#include "review/snapshot/GroupSearch.h"

PatternGroupSearch::PatternGroupSearch(CatalogueDatabase& database, SqlRecordSet& files, RecordPair& pair,
    ThumbnailSlots& thumbnails, Prompter& prompter, Yielder& yielder, QString activeCode)
    : m_database(database)
    , m_files(files)
    , m_pair(pair)
    , m_slots(thumbnails)
    , m_prompter(prompter)
    , m_yielder(yielder)
    , m_loader(files)
    , m_loaded(database, std::move(activeCode))
{
}

PatternGroupSearch::~PatternGroupSearch() = default;

CandidateCursor& PatternGroupSearch::cursor()
{
    return m_loaded.cursor();
}

PatternGroupSearch::Outcome PatternGroupSearch::find(
    SearchDirection direction, const RuleSettings& rules, int lastSlot, const std::function<bool()>& stopRequested)
{
    const bool forward = direction == SearchDirection::Forward;
    auto step = [&] { forward ? moveNextUntagged(m_files) : movePreviousUntagged(m_files); };
    auto atEnd = [&] { return forward ? m_files.isEof() : m_files.isBof(); };
    ImageFacts& reference = m_pair.reference;
    auto inIfcd = [&] {
        return InvolvesIFCD(reference.fileLocation(), reference.fileLocation(), rules.ifcd, rules.treeModeIfcd);
    };
    const SearchPace pace { &m_yielder, m_status, stopRequested };
    // References are passed over on the fields the walk holds; the reference is made whole
    // before its first hit is looked at and before the call ends (slot 0 shows it).
    SqlRecordSet::Walk walk(m_files);
    m_loader.start(ComparisonMode::Pattern, rules);
    auto loadReference = [&] {
        // Off either end the slot is cleared and "No more matches..." said, as for any review record.
        if (m_files.isEof() || m_files.isBof())
            loadReviewRecord(m_files, reference, m_prompter);
        else
            m_loader.load(reference);
    };
    auto wholeReference = [&] {
        const bool shown = m_slots[0].rowId == reference.rowId;
        m_loader.complete(reference);
        if (shown)
            m_slots[0] = reference;
    };
    auto end = [&] {
        wholeReference();
        tellNoMoreMatches(m_prompter);
        return Outcome::End;
    };

    clearSlots(m_slots);
    if (atEnd())
        return end();
    // A reference deleted since its page was shown has no further page.
    if (reference.RTAG == QLatin1String("D")) {
        step();
        NeedPatternQuery = true;
    }
    for (;;) {
        if (atEnd())
            return end();
        loadReference();
        // With an incoming-files directory only records in it serve as references.
        while (!inIfcd()) {
            m_yielder.yield();
            step();
            if (atEnd())
                return end();
            loadReference();
            NeedPatternQuery = true;
        }
        m_slots[0] = reference;
        if (NeedPatternQuery) {
            cursor().start();
            NeedPatternQuery = false;
        }

        NextSlot = 0;
        while (NextSlot < lastSlot && !stopRequested()) {
            const CandidateCursor::Step taken = cursor().next(reference, rules, &m_yielder, &pace);
            if (taken == CandidateCursor::Step::Exhausted)
                break;
            if (taken == CandidateCursor::Step::Stopped)
                continue;
            // Read afresh: a candidate deleted since is no hit, nor one whose file the page shows
            // already (the reference's own file reached by another path, or an earlier hit's).
            const std::optional<ImageFacts> candidate = factsOfRow(m_database, cursor().taken().rowId);
            if (!candidate || candidate->RTAG == QLatin1String("D"))
                continue;
            wholeReference();
            if (fileOnPage(m_slots, NextSlot, *candidate))
                continue;
            m_pair.candidate = *candidate;
            m_slots[std::size_t(++NextSlot)] = *candidate;
        }

        if (NextSlot > 0 || cursor().candidateLeft(reference, rules)) {
            wholeReference();
            return Outcome::Page;
        }
        m_yielder.yield();
        step();
        if (atEnd())
            return end();
        NeedPatternQuery = true;
    }
}
