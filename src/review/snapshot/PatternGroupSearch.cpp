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
    , m_activeCode(std::move(activeCode))
{
}

PatternGroupSearch::~PatternGroupSearch() = default;

QString PatternGroupSearch::statusText(qint32 reference, qint32 candidate)
{
    return QStringLiteral("Comparing %1 to %2...").arg(reference).arg(candidate);
}

PatternCandidates& PatternGroupSearch::candidates()
{
    if (!m_candidates) {
        m_candidates = std::make_unique<PatternCandidates>();
        m_candidates->load(m_database, m_activeCode);
    }
    return *m_candidates;
}

void PatternGroupSearch::takeQuery(const RuleSettings& rules)
{
    m_lastCandidate = candidates().lastCandidate(m_pair.reference, rules.tolerance);
    m_compared = false;
    m_hits.clear();
    m_nextHit = 0;
    NeedPatternQuery = false;
}

PatternGroupSearch::Outcome PatternGroupSearch::find(
    SearchDirection direction, const RuleSettings& rules, int lastSlot, const std::function<bool()>& stopRequested)
{
    const bool forward = direction == SearchDirection::Forward;
    auto step = [&] { forward ? moveNextUntagged(m_files) : movePreviousUntagged(m_files); };
    auto atEnd = [&] { return forward ? m_files.isEof() : m_files.isBof(); };
    auto end = [&] {
        tellNoMoreMatches(m_prompter);
        return Outcome::End;
    };
    ImageFacts& reference = m_pair.reference;
    auto inIfcd = [&] {
        return InvolvesIFCD(reference.fileLocation(), reference.fileLocation(), rules.ifcd, rules.treeModeIfcd);
    };
    auto status = [&](qint32 candidate) {
        if (m_status)
            m_status(statusText(reference.RECNUM, candidate));
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
        loadReviewRecord(m_files, reference, m_prompter);
        // With an incoming-files directory only records in it serve as references.
        while (!inIfcd()) {
            m_yielder.yield();
            step();
            if (atEnd())
                return end();
            loadReviewRecord(m_files, reference, m_prompter);
            NeedPatternQuery = true;
        }
        m_slots[0] = reference;
        if (NeedPatternQuery)
            takeQuery(rules);

        NextSlot = 0;
        if (!m_compared && m_lastCandidate && !stopRequested()) {
            m_hits = candidates().hits(reference, rules, &m_yielder);
            m_compared = true;
            status(m_lastCandidate->recnum);
            m_yielder.yield();
        }
        while (m_compared && m_nextHit < m_hits.size() && NextSlot < lastSlot && !stopRequested()) {
            const PatternCandidates::Hit hit = m_hits[m_nextHit++];
            status(hit.recnum);
            m_yielder.yield();
            // Read afresh: a candidate deleted since the candidates were loaded is no hit, nor
            // one whose file the page shows already (the reference's own file reached by
            // another path, or an earlier hit's).
            const std::optional<ImageFacts> candidate = factsOfRow(m_database, hit.rowId);
            if (!candidate || candidate->RTAG == QLatin1String("D") || fileOnPage(m_slots, NextSlot, *candidate))
                continue;
            m_pair.candidate = *candidate;
            m_slots[std::size_t(++NextSlot)] = *candidate;
        }

        const bool candidatesLeft = m_compared ? m_nextHit < m_hits.size() : m_lastCandidate.has_value();
        if (NextSlot > 0 || candidatesLeft)
            return Outcome::Page;
        m_yielder.yield();
        step();
        if (atEnd())
            return end();
        NeedPatternQuery = true;
    }
}
