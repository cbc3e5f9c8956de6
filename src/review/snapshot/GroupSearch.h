#pragma once

#include "match/ImageFacts.h"
#include "match/MatchRules.h"
#include "match/StepLoader.h"
#include "review/snapshot/ThumbnailSlots.h"

class FileConfirmer;
class Prompter;
class SqlRecordSet;
struct RuleSettings;

// "No more matches...": the end of the records in either direction.
void tellNoMoreMatches(Prompter& prompter);
// Copies the record under the cursor into a slot of the pair; with no record there (EOF or
// BOF) says "No more matches..." and empties the slot, whose empty RTAG then reads as not live.
void loadReviewRecord(const SqlRecordSet& files, ImageFacts& slot, Prompter& prompter);

// The group search of every mode but PATTERN: from the record under the cursor it slides one
// live record at a time until a reference and its next live neighbour match by the mode's rule,
// then extends the group with the following live records that match that reference, as long as
// slots remain. Every member is compared with the reference, never with the member before it;
// a record whose file the group already shows (one file reached by two paths) ends it as a
// mismatch does.
// With an incoming-files directory a group stands only when one of its members lies in it;
// otherwise the search goes on silently from where the group ended.
//
// Where the cursor is left, and so where the next search of either direction begins: on the
// candidate that ended the group (it becomes the next reference), on the last member of a full
// group, on the last (first) record when the group ran to the end, at EOF (BOF) after "No more
// matches...".
class GroupSearch
{
public:
    GroupSearch(SqlRecordSet& files, RecordPair& pair, ThumbnailSlots& thumbnails, Prompter& prompter,
        FileConfirmer& confirmer);

    // True when a group stands in slots 0 to NextSlot - 1; false after "No more matches...",
    // with every slot empty.
    bool find(SearchDirection direction, ComparisonMode mode, const RuleSettings& rules, int lastSlot);

    // Window state, under the window's names: the last verdict and the next slot to fill.
    bool Matched = false;
    int NextSlot = 0;

private:
    bool verdict(bool firstPair, SearchDirection direction, ComparisonMode mode, const RuleSettings& rules);
    bool groupInvolvesIfcd(const RuleSettings& rules, int lastSlot) const;

    SqlRecordSet& m_files;
    RecordPair& m_pair;
    StepLoader m_loader;
    ThumbnailSlots& m_slots;
    Prompter& m_prompter;
    FileConfirmer& m_confirmer;
};
