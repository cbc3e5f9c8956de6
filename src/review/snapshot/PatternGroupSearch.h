#pragma once

#include "match/CandidateCursor.h"
#include "match/ImageFacts.h"
#include "match/MatchRules.h"
#include "match/PatternCandidates.h"
#include "match/StepLoader.h"
#include "review/snapshot/ThumbnailSlots.h"

#include <QString>

#include <functional>
#include <memory>

class CatalogueDatabase;
class Prompter;
class SqlRecordSet;
class Yielder;
struct RuleSettings;

// The pattern search of the snapshot: the reference walks the records by RECNUM (forward or
// backward); its candidates are the records whose count of dark cells lies within the tolerance
// of its own, always in RECNUM order, and its hits among them are shown a page at a time: at
// most the last slot's number of hits beside the reference. A reference's pages follow over as
// many calls as needed, each going on at the candidate after the last one compared; the next
// call after its last page goes on to the next reference. References without a hit are passed
// over within one call. The search yields to the window now and then with the candidate in
// hand on the status line, and a stop ends the call once that candidate has been compared;
// after a stop a reference whose candidates are all compared gives way to the next one that
// has candidates, shown alone. A hit whose file the page already shows (one file reached by two
// paths) is passed over.
class PatternGroupSearch
{
public:
    enum class Outcome {
        Page, // slot 0 the reference, slots 1 to NextSlot its hits (none when stopped early)
        End, // "No more matches..." was said
    };

    PatternGroupSearch(CatalogueDatabase& database, SqlRecordSet& files, RecordPair& pair, ThumbnailSlots& thumbnails,
        Prompter& prompter, Yielder& yielder, QString activeCode);
    ~PatternGroupSearch();

    // The status line while candidates are compared: "Comparing 12 to 40...".
    void setStatusLine(std::function<void(const QString&)> show) { m_status = std::move(show); }

    // stopRequested is read after every yield.
    Outcome find(
        SearchDirection direction, const RuleSettings& rules, int lastSlot, const std::function<bool()>& stopRequested);

    // The candidates must be taken afresh for the reference under the cursor.
    bool NeedPatternQuery = false;
    // The number of hits this call put on the page.
    int NextSlot = 0;

private:
    CandidateCursor& cursor();

    CatalogueDatabase& m_database;
    SqlRecordSet& m_files;
    RecordPair& m_pair;
    ThumbnailSlots& m_slots;
    Prompter& m_prompter;
    Yielder& m_yielder;
    std::function<void(const QString&)> m_status;

    StepLoader m_loader;
    LoadedCandidates m_loaded; // at the first search
};
