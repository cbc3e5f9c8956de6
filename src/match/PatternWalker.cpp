#include "match/PatternWalker.h"

#include "catalogue/SqlRecordSet.h"
#include "imagestats/InvolvesIFCD.h"
#include "match/FileConfirmer.h"
#include "match/MatchCursors.h"
#include "match/RowFacts.h"
#include "match/RuleSettings.h"

PatternWalker::PatternWalker(CatalogueDatabase& database, SqlRecordSet& files, RecordPair& pair, QString activeCode)
    : m_database(database)
    , m_files(files)
    , m_pair(pair)
    , m_activeCode(std::move(activeCode))
{
}

PatternWalker::~PatternWalker() = default;

void PatternWalker::step(SearchDirection direction)
{
    stepUntagged(m_files, direction, m_forwardStep);
}

bool PatternWalker::atEnd(SearchDirection direction) const
{
    return walkedOff(m_files, direction);
}

PatternWalker::Outcome PatternWalker::find(SearchDirection direction, const RuleSettings& rules, Yielder* yielder)
{
    ImageFacts& reference = m_pair.reference;
    auto loadReference = [&] { reference = factsOf(m_files.record()); };
    // With an incoming-files directory only records in it serve as references.
    auto involvesIfcd = [&] {
        return InvolvesIFCD(reference.fileLocation(), reference.fileLocation(), rules.ifcd, rules.treeModeIfcd);
    };
    for (bool further = false;; further = true) {
        if (atEnd(direction))
            return Outcome::End;
        if (further && m_stopTest && m_stopTest())
            return Outcome::Stopped;
        if (reference.RTAG == QLatin1String("D")) {
            step(direction);
            m_needQuery = true;
        }
        if (atEnd(direction))
            return Outcome::End;
        loadReference();
        while (!involvesIfcd()) {
            step(direction);
            if (atEnd(direction))
                return Outcome::End;
            loadReference();
            m_needQuery = true;
        }
        if (m_needQuery) {
            if (!m_candidates) {
                m_candidates = std::make_unique<PatternCandidates>();
                m_candidates->load(m_database, m_activeCode);
            }
            m_hits = m_candidates->hits(reference, rules, yielder);
            m_lastOfQuery = m_candidates->lastCandidate(reference, rules.tolerance);
            m_nextHit = 0;
            m_needQuery = false;
            if (m_onCompared)
                m_onCompared(m_lastOfQuery);
        }
        while (m_nextHit < m_hits.size()) {
            const PatternCandidates::Hit hit = m_hits[m_nextHit++];
            m_lastCompared = hit;
            // Read afresh: a candidate deleted since the candidates were loaded is passed over.
            std::optional<ImageFacts> candidate = factsOfRow(m_database, hit.rowId);
            if (!candidate) {
                candidate = ImageFacts();
                candidate->RTAG = QStringLiteral("D");
            }
            m_pair.candidate = *candidate;
            if (m_pair.candidate.RTAG == QLatin1String("D") || isOneFile(reference, m_pair.candidate))
                continue;
            return Outcome::Hit;
        }
        if (m_lastOfQuery)
            m_lastCompared = m_lastOfQuery;
        step(direction);
        if (atEnd(direction))
            return Outcome::End;
        loadReference();
        m_needQuery = true;
    }
}
