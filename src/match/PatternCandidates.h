#pragma once

#include "catalogue/CatalogueDatabase.h"
#include "match/PatternIndex.h"

#include <QHash>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class PatternLookahead;
struct sqlite3_stmt;
class Yielder;
struct ImageFacts;
struct RuleSettings;

// The pattern step's candidates held in memory: the records a candidate query can name (those
// of one ACTIVE code), in the query's order (RECNUM, then storage order), their patterns in a
// PatternIndex. A query for a reference takes the records not marked since loading, other than
// the reference's RECNUM, whose PXLNUM lies within the tolerance, exactly as the catalogue
// query would, and gives those that are hits, in the query's order. A row written through the
// catalogue's connection since loading (a file deleted, moved or renamed in review) is read
// again for its tag and location before the next query.
//
// A candidate's position is its place in that order, the same for every query: a walk of one
// query's candidates stands at a position, and the hits from a position on can be found in
// bulk while the walk still knows which candidate it holds (CandidateCursor).
class PatternCandidates
{
public:
    struct Hit
    {
        std::int64_t rowId = 0;
        qint32 recnum = 0;
        quint32 position = 0;
        bool operator==(const Hit&) const = default;
    };

    PatternCandidates();
    ~PatternCandidates();
    PatternCandidates(const PatternCandidates&) = delete;
    PatternCandidates& operator=(const PatternCandidates&) = delete;

    // Threads that find the hits of later references while a walk deals with the present one;
    // 1: none. Set before the first query.
    void setThreadCount(int threads) { m_threads = std::max(1, threads); }
    // The machine's cores.
    static int defaultThreadCount();

    // The records whose ACTIVE is the code: "X" for the pre-match cycle, the review's own code
    // for a review.
    void load(CatalogueDatabase& database, const QString& activeCode = QStringLiteral("X"));
    int size() const { return int(m_entries.size()); }

    // One candidate query for a reference, and every hit among its candidates.
    std::vector<Hit> hits(const ImageFacts& reference, const RuleSettings& settings, Yielder* yielder = nullptr)
    {
        startQuery();
        return hitsFrom(reference, settings, 0, yielder);
    }

    // A new candidate query: records marked from now on still belong to it, those marked
    // before do not.
    void startQuery();
    // The hits among the query's candidates at a position from `from` on, in the query's order:
    // a pattern difference within the tolerance, not tagged "D", and in the same directory with
    // exclusive matching. Yields now and then while it compares.
    std::vector<Hit> hitsFrom(
        const ImageFacts& reference, const RuleSettings& settings, quint32 from, Yielder* yielder = nullptr);
    // The candidate the query's cursor stands on when it is placed at `from`: the first of its
    // candidates there or later, past those tagged and without a usable pattern (but the
    // query's very first, at 0, is taken as it is). Nothing past the last.
    std::optional<Hit> candidateAt(const ImageFacts& reference, int tolerance, quint32 from) const;
    // Follows the rows written since loading; the number changes whenever a record's tag or
    // location has, so hits found ahead can be known to be out of date.
    quint64 rowState();

    // The records of a RECNUM are marked "*": no later query names them.
    void marked(qint32 recnum);

private:
    // A record as the queries see it; its pattern stands at the same position in m_patterns.
    struct Entry
    {
        std::int64_t rowId = 0;
        qint32 recnum = 0;
        int location = 0;
        quint32 markedAt = NotMarked;
        bool deleted = false; // RTAG "D"
        bool live = true; // RTAG " "
    };
    static constexpr quint32 NotMarked = 0xFFFFFFFFu;

    bool member(const Entry& entry, qint32 referenceRecnum) const;
    void followChanges();
    // The records marked since the last query leave what the walk's own queries scan.
    void leavePending();
    // True when the tag or the location changed.
    bool takeState(Entry& entry, sqlite3_stmt* row, int firstColumn);
    const quint32* entryOfRow(std::int64_t rowId) const;
    // The block index for the tolerance, and the look-ahead for these rules when there are
    // threads to run it.
    void prepare(int tolerance, bool softMatch);
    std::vector<Hit> slowHits(const ImageFacts& reference, const RuleSettings& settings, int location, quint32 from);
    Hit hitOf(quint32 index) const { return { m_entries[index].rowId, m_entries[index].recnum, index }; }

    std::vector<Entry> m_entries;
    PatternIndex m_patterns;
    std::vector<PatternIndex::Scratch> m_scratch { 1 }; // the caller's, then one for each worker
    int m_threads = 1;
    // The hits of each plain reference from its first candidate on, found ahead for the rules
    // of the queries (the patterns never change, so they hold however the rows change), as
    // long as they are few: a reference alike to many others (a cluster of blank pictures)
    // is left to the walk, whose queries scan only what remains.
    std::unique_ptr<PatternLookahead> m_lookahead;
    int m_aheadTolerance = 0;
    bool m_aheadSoft = false;
    std::vector<quint32> m_pendingLeave; // marked since the last query
    // Entries by RECNUM and by row, each sorted.
    std::vector<std::pair<qint32, quint32>> m_byRecnum;
    std::vector<std::pair<std::int64_t, quint32>> m_byRowId;
    struct ByRecnum
    {
        bool operator()(const std::pair<qint32, quint32>& a, qint32 b) const { return a.first < b; }
        bool operator()(qint32 a, const std::pair<qint32, quint32>& b) const { return a < b.first; }
    };
    CatalogueDatabase* m_database = nullptr;
    CatalogueDatabase::ChangeMark m_seen; // the connection's changes the entries hold
    QHash<QString, int> m_locations; // DRIVEVOLUME, blank, PATH
    std::unordered_map<std::string, int> m_places; // the same, as the catalogue's UTF-8
    std::string m_placeKey;
    quint32 m_query = 0;
    quint64 m_rowState = 0;
};
