#include "match/CandidateCursor.h"

#include "match/ImageFacts.h"
#include "match/RuleSettings.h"
#include "platform/Yielder.h"

#include <limits>

QString comparingText(qint32 reference, qint32 candidate)
{
    return QStringLiteral("Comparing %1 to %2...").arg(reference).arg(candidate);
}

void CandidateCursor::start()
{
    m_candidates.startQuery();
    m_position = 0;
    m_taken = {};
    m_aheadValid = false;
}

void CandidateCursor::findAhead(const ImageFacts& reference, const RuleSettings& settings, Yielder* yielder)
{
    const quint64 state = m_candidates.rowState();
    if (m_aheadValid && state == m_aheadState && settings.tolerance == m_aheadTolerance
        && settings.softMatch == m_aheadSoft && settings.exclusive == m_aheadExclusive)
        return;
    m_ahead = m_candidates.hitsFrom(reference, settings, m_position, yielder);
    m_nextAhead = 0;
    m_aheadValid = true;
    m_aheadState = state;
    m_aheadTolerance = settings.tolerance;
    m_aheadSoft = settings.softMatch;
    m_aheadExclusive = settings.exclusive;
}

CandidateCursor::Step CandidateCursor::next(
    const ImageFacts& reference, const RuleSettings& settings, Yielder* yielder, const SearchPace* pace)
{
    // Without a pace nothing needs the candidate in hand: straight to the next hit.
    std::optional<PatternCandidates::Hit> inHand;
    if (pace) {
        inHand = m_candidates.candidateAt(reference, settings.tolerance, m_position);
        if (!inHand) {
            m_position = std::numeric_limits<quint32>::max();
            return Step::Exhausted;
        }
        if (pace->yielder && pace->yielder->due()) {
            if (pace->showInHand)
                pace->showInHand(comparingText(reference.RECNUM, inHand->recnum));
            pace->yielder->yield();
        }
    }
    findAhead(reference, settings, yielder);
    const quint32 from = inHand ? inHand->position : m_position;
    while (m_nextAhead < m_ahead.size() && m_ahead[m_nextAhead].position < from)
        ++m_nextAhead;
    const PatternCandidates::Hit* hit = m_nextAhead < m_ahead.size() ? &m_ahead[m_nextAhead] : nullptr;
    if (inHand && pace->stopRequested && pace->stopRequested() && !(hit && hit->position == inHand->position)) {
        m_taken = *inHand;
        m_position = inHand->position + 1;
        return Step::Stopped;
    }
    if (!hit) {
        m_position = std::numeric_limits<quint32>::max();
        return Step::Exhausted;
    }
    m_taken = *hit;
    m_position = hit->position + 1;
    ++m_nextAhead;
    return Step::Hit;
}

bool CandidateCursor::candidateLeft(const ImageFacts& reference, const RuleSettings& settings) const
{
    return m_candidates.candidateAt(reference, settings.tolerance, m_position).has_value();
}

CandidateCursor& LoadedCandidates::cursor()
{
    if (!m_cursor) {
        m_candidates = std::make_unique<PatternCandidates>();
        m_candidates->setThreadCount(m_threads);
        m_candidates->load(m_database, m_activeCode);
        m_cursor = std::make_unique<CandidateCursor>(*m_candidates);
    }
    return *m_cursor;
}
