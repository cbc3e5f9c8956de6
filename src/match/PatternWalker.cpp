#include "match/PatternWalker.h"

#include "catalogue/SqlRecordSet.h"
#include "imagestats/InvolvesIFCD.h"
#include "match/FileConfirmer.h"
#include "match/MatchCursors.h"
#include "match/RowFacts.h"
#include "match/RuleSettings.h"
#include "match/StepLoader.h"
#include "platform/Yielder.h"

PatternWalker::PatternWalker(CatalogueDatabase& database, SqlRecordSet& files, RecordPair& pair, QString activeCode)
    : m_database(database)
    , m_files(files)
    , m_pair(pair)
    , m_loaded(database, std::move(activeCode))
    , m_loader(std::make_unique<StepLoader>(files))
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

void PatternWalker::yieldBetweenReferences()
{
    // A stop seen here takes effect at the next candidate in hand.
    if (m_pace && m_pace->yielder && m_pace->yielder->due())
        m_pace->yielder->yield();
}

PatternWalker::Outcome PatternWalker::find(SearchDirection direction, const RuleSettings& rules, Yielder* yielder)
{
    ImageFacts& reference = m_pair.reference;
    // References are passed over on the fields the walk holds; the slot is made whole for a
    // hit and whenever the call ends.
    SqlRecordSet::Walk walk(m_files);
    m_loader->start(ComparisonMode::Pattern, rules);
    auto loadReference = [&] { m_loader->load(reference); };
    auto done = [&](Outcome outcome) {
        if (m_wholeSlots)
            m_loader->complete(reference);
        return outcome;
    };
    // What the checks of a hit read: its tag, and the file each record names (one file reached
    // by two paths is no pair).
    using namespace CatalogueFields;
    const FieldMask checked = bit(RTAG) | bit(RECNUM) | bit(DRIVEVOLUME) | bit(PATH) | bit(DISKNAME) | bit(WHOLENAME);
    auto readyForChecks = [&] {
        if (m_wholeSlots) {
            m_loader->complete(reference);
        } else if (reference.partial && reference.WHOLENAME.isEmpty() && reference.DISKNAME.isEmpty()) {
            // The walk holds the reference's place; its names are read once.
            if (const std::optional<ImageFacts> names
                = factsOfRow(m_database, reference.rowId, bit(DISKNAME) | bit(WHOLENAME)))
                copyFacts(reference, *names, bit(DISKNAME) | bit(WHOLENAME));
        }
    };
    // With an incoming-files directory only records in it serve as references (without one,
    // every record: no location need be put together).
    const bool everyReference = InvolvesIFCD(QString(), QString(), rules.ifcd, rules.treeModeIfcd);
    auto involvesIfcd = [&] {
        return everyReference
            || InvolvesIFCD(reference.fileLocation(), reference.fileLocation(), rules.ifcd, rules.treeModeIfcd);
    };
    for (bool further = false;; further = true) {
        if (atEnd(direction))
            return done(Outcome::End);
        if (further && m_stopTest && m_stopTest())
            return done(Outcome::Stopped);
        if (reference.RTAG == QLatin1String("D")) {
            step(direction);
            m_needQuery = true;
        }
        if (atEnd(direction))
            return done(Outcome::End);
        loadReference();
        while (!involvesIfcd()) {
            yieldBetweenReferences();
            step(direction);
            if (atEnd(direction))
                return done(Outcome::End);
            loadReference();
            m_needQuery = true;
        }
        if (m_needQuery) {
            m_loaded.cursor().start();
            m_needQuery = false;
        }
        for (;;) {
            const CandidateCursor::Step stepped
                = m_loaded.cursor().next(reference, rules, yielder, m_pace ? &*m_pace : nullptr);
            if (stepped == CandidateCursor::Step::Exhausted)
                break;
            // Read afresh: a candidate deleted since the candidates were loaded is passed over.
            const std::int64_t taken = m_loaded.cursor().taken().rowId;
            std::optional<ImageFacts> candidate
                = m_wholeSlots ? factsOfRow(m_database, taken) : factsOfRow(m_database, taken, checked);
            if (!candidate) {
                candidate = ImageFacts();
                candidate->RTAG = QStringLiteral("D");
            }
            m_pair.candidate = *candidate;
            if (stepped == CandidateCursor::Step::Stopped)
                return done(Outcome::Stopped);
            if (m_pair.candidate.RTAG == QLatin1String("D"))
                continue;
            readyForChecks();
            if (isOneFile(reference, m_pair.candidate))
                continue;
            return done(Outcome::Hit);
        }
        yieldBetweenReferences();
        step(direction);
        if (atEnd(direction))
            return done(Outcome::End);
        loadReference();
        m_needQuery = true;
    }
}
