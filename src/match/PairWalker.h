#pragma once

#include "match/ImageFacts.h"
#include "match/MatchRules.h"
#include "match/StepLoader.h"

#include <QString>

#include <functional>

class FileConfirmer;
class SqlRecordSet;
struct RuleSettings;

// The pair step over a mode-ordered walk, written once for the pre-match cycle (which marks the
// pairs it finds) and the pair review (which shows them): neighbouring live records are compared
// one pair at a time by the rule of the mode and its post-tests, forward or backward, until a
// pair matches or the walk runs off its end. The pair and the direction carry over from one call
// to the next, so a call goes on from the pair found last; every live record is compared with its
// next live neighbour in the direction of the walk and with no other record.
class PairWalker
{
public:
    PairWalker(SqlRecordSet& files, RecordPair& pair);

    // How the walk steps forward over records deleted in review; the pre-match cycle adds its
    // pause wait, progress and yield. Backward steps are always plain.
    void setForwardStep(std::function<void()> step) { m_forwardStep = std::move(step); }

    // True when a pair matched: the slots hold it and the cursor stands on the candidate's record.
    // False when the walk ran off its end: the cursor is at EOF (forward) or BOF (backward) and
    // the slots hold the records loaded last.
    bool find(SearchDirection direction, ComparisonMode mode, const RuleSettings& settings, FileConfirmer& confirmer);

    // "NEXT" or "PREV", the direction of the last search; empty before the first.
    const QString& Direction() const { return m_direction; }
    // The next search goes on from the record under the cursor as if the last one ran this way.
    void setDirection(SearchDirection direction);

private:
    void step(SearchDirection direction);
    bool atEnd(SearchDirection direction) const;

    SqlRecordSet& m_files;
    RecordPair& m_pair;
    StepLoader m_loader;
    QString m_direction;
    std::function<void()> m_forwardStep;
};
