#pragma once

#include "match/PatternCandidates.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CatalogueDatabase;
class Yielder;
struct ImageFacts;
struct RuleSettings;

// How a review runs a pattern search: when the yielder says a yield is due (at most every
// 20 ms), the candidate in hand is drawn and the window's events run; Stop is read after them.
struct SearchPace
{
    Yielder* yielder = nullptr;
    std::function<void(const QString& status)> showInHand; // "Comparing 12 to 40..."
    std::function<bool()> stopRequested;
};

QString comparingText(qint32 reference, qint32 candidate);

// The walk over one reference's candidates as the catalogue cursor over its candidate query
// walks them: the position in the query's order where the next comparison begins, and the
// candidate taken last. The comparisons are made ahead in bulk (every hit from the position on,
// found again once a record's tag or location has changed), so a step goes straight to the next
// hit. A stop still takes effect at the candidate in hand, the first one not yet compared, as
// if each candidate had been compared in turn: that one is compared and taken, and the walk
// goes on after it. Hits found ahead in any other way serve as well, as long as they are those
// from the position on.
class CandidateCursor
{
public:
    enum class Step {
        Hit, // the next hit is taken (it may have been in hand when a stop came)
        Stopped, // a stop came; the candidate in hand, no hit, is taken
        Exhausted, // no candidate left
    };

    explicit CandidateCursor(PatternCandidates& candidates)
        : m_candidates(candidates)
    {
    }

    // A new candidate query for the reference: the walk stands on its first candidate.
    void start();
    // The bulk comparisons yield through `yielder`; a review's pace (null for none) draws the
    // candidate in hand and reads Stop.
    Step next(const ImageFacts& reference, const RuleSettings& settings, Yielder* yielder, const SearchPace* pace);
    bool candidateLeft(const ImageFacts& reference, const RuleSettings& settings) const;
    // The candidate taken last (a hit, or the one a stop found in hand).
    const PatternCandidates::Hit& taken() const { return m_taken; }
    // Where the next comparison begins: just after the candidate taken last; 0 at a new query,
    // the largest number once no candidate is left.
    quint32 position() const { return m_position; }

private:
    void findAhead(const ImageFacts& reference, const RuleSettings& settings, Yielder* yielder);

    PatternCandidates& m_candidates;
    quint32 m_position = 0;
    PatternCandidates::Hit m_taken;
    // The hits found ahead, as the rows stood at m_aheadState and for these rules.
    std::vector<PatternCandidates::Hit> m_ahead;
    std::size_t m_nextAhead = 0;
    bool m_aheadValid = false;
    quint64 m_aheadState = 0;
    int m_aheadTolerance = 0;
    bool m_aheadSoft = false;
    bool m_aheadExclusive = false;
};

// The candidates of one ACTIVE code, loaded at their first use, and the cursor that walks them:
// what the pattern walks of the pre-match cycle and of both reviews hold.
class LoadedCandidates
{
public:
    LoadedCandidates(CatalogueDatabase& database, QString activeCode)
        : m_database(database)
        , m_activeCode(std::move(activeCode))
    {
    }
    // Takes effect at the load.
    void setThreadCount(int threads) { m_threads = threads; }
    CandidateCursor& cursor();
    // Null until the first use.
    PatternCandidates* candidates() const { return m_candidates.get(); }

private:
    CatalogueDatabase& m_database;
    QString m_activeCode;
    int m_threads = PatternCandidates::defaultThreadCount();
    std::unique_ptr<PatternCandidates> m_candidates;
    std::unique_ptr<CandidateCursor> m_cursor;
};
