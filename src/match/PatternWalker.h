#pragma once

#include "match/ImageFacts.h"
#include "match/MatchRules.h"
#include "match/PatternCandidates.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CatalogueDatabase;
class SqlRecordSet;
class Yielder;
struct RuleSettings;

// The pattern step, written once for the pre-match cycle and the pair review: the record under
// the cursor of the RECNUM-ordered walk is the reference; its candidates are the records of the
// same ACTIVE code whose dark-cell count lies within the tolerance of its own, in RECNUM order
// (held in memory, exactly the set and order the catalogue query gives); the hits among them are
// taken one per call. The reference moves forward or backward; its candidates are always walked
// forward. Between calls the reference and its remaining hits carry over.
class PatternWalker
{
public:
    enum class Outcome { Hit, End, Stopped };

    PatternWalker(CatalogueDatabase& database, SqlRecordSet& files, RecordPair& pair, QString activeCode);
    ~PatternWalker();

    // How the reference steps forward over deleted records (the pre-match cycle adds its pause
    // wait, progress and yield). Backward steps are always plain.
    void setForwardStep(std::function<void()> step) { m_forwardStep = std::move(step); }
    // Asked before each further reference a call takes up (so a call compares the candidates
    // of one reference at least): true ends the call with Stopped.
    void setStopTest(std::function<bool()> test) { m_stopTest = std::move(test); }
    // Told once the candidates of a reference have been compared, before its hits are taken,
    // with the last of them (nothing when there were none).
    using ComparedReport = std::function<void(const std::optional<PatternCandidates::Hit>& last)>;
    void setOnCompared(ComparedReport told) { m_onCompared = std::move(told); }

    // Hit: the slots hold the reference and a matching candidate. End: the cursor ran off the
    // walk (EOF forward, BOF backward). Stopped: the stop test said so; nothing moved.
    Outcome find(SearchDirection direction, const RuleSettings& settings, Yielder* yielder = nullptr);

    // The candidate query must be made afresh for the reference under the cursor.
    void requireQuery() { m_needQuery = true; }
    bool NeedPatternQuery() const { return m_needQuery; }

    // The candidate compared last: the hit taken last, or, once every candidate of the reference
    // was compared, the last of them; nothing before the first comparison.
    std::optional<PatternCandidates::Hit> lastCompared() const { return m_lastCompared; }

    // The candidates, loaded on first use; null until then.
    PatternCandidates* loadedCandidates() { return m_candidates.get(); }

private:
    void step(SearchDirection direction);
    bool atEnd(SearchDirection direction) const;

    CatalogueDatabase& m_database;
    SqlRecordSet& m_files;
    RecordPair& m_pair;
    QString m_activeCode;
    std::function<void()> m_forwardStep;
    std::function<bool()> m_stopTest;
    ComparedReport m_onCompared;
    std::unique_ptr<PatternCandidates> m_candidates;
    std::vector<PatternCandidates::Hit> m_hits;
    std::size_t m_nextHit = 0;
    std::optional<PatternCandidates::Hit> m_lastOfQuery;
    std::optional<PatternCandidates::Hit> m_lastCompared;
    bool m_needQuery = true;
};
