#pragma once

#include "match/ImageFacts.h"
#include "match/MatchRules.h"
#include "match/PatternCandidates.h"
#include "review/snapshot/ThumbnailSlots.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CatalogueDatabase;
class Prompter;
class SqlRecordSet;
class Yielder;
struct RuleSettings;

// The pattern search of the snapshot: the reference walks the records by RECNUM (forward or
// backward); its candidates are the records whose count of dark cells lies within the tolerance
// of its own, always in RECNUM order, and its hits among them are shown a page at a time: at
// most the last slot's number of hits beside the reference. A reference's candidates are
// compared once, when it is first taken up, and its pages follow over as many calls as needed;
// the next call after its last page goes on to the next reference. References without a hit are
// passed over within one call. The search yields to the window between hits and between
// references, and a stop ends the call after the hit in hand. A hit whose file the page already
// shows (one file reached by two paths) is passed over.
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

    // stopRequested is read at every yield point.
    Outcome find(
        SearchDirection direction, const RuleSettings& rules, int lastSlot, const std::function<bool()>& stopRequested);

    // The candidates must be taken afresh for the reference under the cursor.
    bool NeedPatternQuery = false;
    // The number of hits this call put on the page.
    int NextSlot = 0;

    static QString statusText(qint32 reference, qint32 candidate);

private:
    PatternCandidates& candidates();
    void takeQuery(const RuleSettings& rules);

    CatalogueDatabase& m_database;
    SqlRecordSet& m_files;
    RecordPair& m_pair;
    ThumbnailSlots& m_slots;
    Prompter& m_prompter;
    Yielder& m_yielder;
    QString m_activeCode;
    std::function<void(const QString&)> m_status;

    std::unique_ptr<PatternCandidates> m_candidates; // loaded at the first search
    std::optional<PatternCandidates::Hit> m_lastCandidate; // of the reference's query; none: no candidate
    bool m_compared = false; // the reference's candidates have been compared
    std::vector<PatternCandidates::Hit> m_hits;
    std::size_t m_nextHit = 0;
};
