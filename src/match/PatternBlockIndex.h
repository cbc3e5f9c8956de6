#pragma once

#include "imagestats/PatternBits.h"

#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <vector>

// Exact pruning of pattern comparisons. Two 100-cell patterns that differ in at most T cells
// agree exactly on at least one of T + 1 disjoint blocks of cells (pigeonhole): cell c lies in
// block (c - 1) mod (T + 1). The index lists every pattern under its cells in each block, so a
// query names every pattern within T of it, and usually few others, without looking at the
// rest. The caller compares what it names in full.
class PatternBlockIndex
{
public:
    // Past this tolerance the blocks hold too few cells to leave much out: scan instead.
    static constexpr int MaxTolerance = 9;
    static bool prunes(int tolerance) { return tolerance >= 0 && tolerance <= MaxTolerance; }

    // Indexes patterns[i] under the number ids[i], for a tolerance that prunes.
    void build(int tolerance, const std::vector<PatternBits>& patterns, const std::vector<quint32>& ids);
    void clear();
    bool builtFor(int tolerance) const { return m_built && m_tolerance == tolerance; }

    // The lists of numbers of the patterns that agree with one of the queries on a whole block,
    // ascending within each list; together they may name a number more than once. Gives the
    // lists' total length, to tell whether pruning pays against a scan.
    struct List
    {
        const quint32* ids;
        quint32 count;
    };
    std::size_t lists(const PatternBits* queries, int count, std::vector<List>& out) const;

    // A second set of the lists for one thread, from which patterns leave the search for good
    // (the records the pre-match cycle has marked): a list is packed once half of what it
    // holds has left, so that later queries do not walk past them. The lists above stay whole
    // for the other threads. leave() counts one pattern of the number out; `gone(number)` tells
    // which numbers have left by then.
    void startLeaving();
    bool leaving() const { return m_leaving; }
    template <class Gone> void leave(const PatternBits& pattern, Gone gone);
    // As lists(), from the second set: numbers that left may still be named.
    std::size_t remainingLists(const PatternBits* queries, int count, std::vector<List>& out) const;

private:
    struct Slot
    {
        quint64 key = 0;
        quint32 start = 0;
        quint32 count = 0; // 0: an empty slot
    };
    struct Remaining
    {
        quint32 count = 0; // the numbers still held at the slot's start
        quint32 left = 0; // of those, how many have left
    };
    struct Block
    {
        PatternBits mask;
        std::vector<quint32> ids; // grouped by key
        std::vector<Slot> table; // open addressing, a power of two in size
        std::vector<quint32> remainingIds; // the second set: as ids, each key's numbers packed
        std::vector<Remaining> remaining; // beside table
        std::size_t find(quint64 key) const; // the slot, or table.size()
    };

    // The block's cells of a pattern, mixed into 64 bits: two different keys that meet only
    // name a few patterns more, never fewer.
    static quint64 keyOf(const Block& block, const PatternBits& pattern);

    std::vector<Block> m_blocks;
    int m_tolerance = -1;
    bool m_built = false;
    bool m_leaving = false;
};

template <class Gone> void PatternBlockIndex::leave(const PatternBits& pattern, Gone gone)
{
    for (Block& block : m_blocks) {
        const std::size_t at = block.find(keyOf(block, pattern));
        if (at == block.table.size())
            continue;
        Remaining& held = block.remaining[at];
        if (++held.left * 2 <= held.count)
            continue;
        quint32* first = block.remainingIds.data() + block.table[at].start;
        held.count = quint32(std::remove_if(first, first + held.count, gone) - first);
        held.left = 0;
    }
}
