#include "match/PairWalker.h"

#include "catalogue/SqlRecordSet.h"
#include "match/MatchCursors.h"

namespace {

const QString Next = QStringLiteral("NEXT");
const QString Prev = QStringLiteral("PREV");

bool isLive(const QString& rtag)
{
    return rtag.size() == 1 && rtag.front() == u' ';
}

} // namespace

PairWalker::PairWalker(SqlRecordSet& files, RecordPair& pair)
    : m_files(files)
    , m_pair(pair)
    , m_loader(files)
{
}

void PairWalker::setDirection(SearchDirection direction)
{
    m_direction = direction == SearchDirection::Forward ? Next : Prev;
}

void PairWalker::step(SearchDirection direction)
{
    stepUntagged(m_files, direction, m_forwardStep);
}

bool PairWalker::atEnd(SearchDirection direction) const
{
    return walkedOff(m_files, direction);
}

bool PairWalker::find(
    SearchDirection direction, ComparisonMode mode, const RuleSettings& settings, FileConfirmer& confirmer)
{
    const QString& own = direction == SearchDirection::Forward ? Next : Prev;
    const QString& other = direction == SearchDirection::Forward ? Prev : Next;
    ImageFacts& reference = m_pair.reference;
    ImageFacts& candidate = m_pair.candidate;
    // Neighbours are compared on the fields that decide a step; the slots are made whole before
    // the whole verdict and before they are handed out.
    SqlRecordSet::Walk walk(m_files);
    m_loader.start(mode, settings);
    auto handOut = [&](bool matched) {
        m_loader.complete(reference);
        m_loader.complete(candidate);
        return matched;
    };
    for (;;) {
        // Turning round, or a candidate deleted since it was shown: its record is passed.
        if (m_direction == other || candidate.RTAG == QLatin1String("D"))
            step(direction);
        m_direction = own;
        if (atEnd(direction))
            return handOut(false);
        // The last candidate becomes the reference, unless it was deleted while the reference
        // was not: then the reference stays and meets the record beyond it.
        if (!(isLive(reference.RTAG) && !isLive(candidate.RTAG))) {
            m_loader.load(reference);
            step(direction);
        }
        if (atEnd(direction))
            return handOut(false);
        m_loader.load(candidate);
        if (!ruleAndGuardPass(mode, reference, candidate, settings, direction))
            continue;
        m_loader.complete(reference);
        m_loader.complete(candidate);
        if (pairVerdict(mode, reference, candidate, settings, confirmer, direction))
            return true;
    }
}
