#pragma once

#include "match/CandidateCursor.h"
#include "match/ImageFacts.h"
#include "match/MatchRules.h"
#include "match/PatternCandidates.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class CatalogueDatabase;
class SqlRecordSet;
class StepLoader;
class Yielder;
struct RuleSettings;

// The pattern step, written once for the pre-match cycle and the pair review: the record under
// the cursor of the RECNUM-ordered walk is the reference; its candidates are the records of the
// same ACTIVE code whose dark-cell count lies within the tolerance of its own, in RECNUM order
// (held in memory, exactly the set and order the catalogue query gives); the hits among them are
// taken one per call. The reference moves forward or backward; its candidates are always walked
// forward. Between calls the reference and the place in its candidates carry over.
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
    // A review's pace: the candidate in hand is drawn at each due yield, and a stop takes effect
    // once it has been compared: the call ends with Stopped and the candidate slot holds it (a
    // match in hand is a Hit all the same). It yields between references as well.
    void setPace(SearchPace pace) { m_pace = std::move(pace); }

    // Hit: the slots hold the reference and a matching candidate. End: the cursor ran off the
    // walk (EOF forward, BOF backward). Stopped: a stop came; see above.
    Outcome find(SearchDirection direction, const RuleSettings& settings, Yielder* yielder = nullptr);

    // The candidate query must be made afresh for the reference under the cursor.
    void requireQuery() { m_needQuery = true; }
    bool NeedPatternQuery() const { return m_needQuery; }

    // Whether the slots a call hands out are whole (a review shows them; the default). The
    // pre-match cycle only marks their records: a hit's rows are then read only for what its
    // checks need, and the slots are left partial.
    void setWholeSlots(bool whole) { m_wholeSlots = whole; }

    // Threads that find later references' hits ahead (1: none); the machine's cores unless set.
    void setThreadCount(int threads) { m_loaded.setThreadCount(threads); }

    // The candidates, loaded on first use; null until then.
    PatternCandidates* loadedCandidates() { return m_loaded.candidates(); }

private:
    void step(SearchDirection direction);
    bool atEnd(SearchDirection direction) const;
    void yieldBetweenReferences();

    CatalogueDatabase& m_database;
    SqlRecordSet& m_files;
    RecordPair& m_pair;
    std::function<void()> m_forwardStep;
    std::function<bool()> m_stopTest;
    std::optional<SearchPace> m_pace;
    LoadedCandidates m_loaded;
    std::unique_ptr<StepLoader> m_loader;
    bool m_needQuery = true;
    bool m_wholeSlots = true;
};
