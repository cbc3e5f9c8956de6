#pragma once

#include "imagestats/PatternBits.h"

#include <QtGlobal>

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

private:
    struct Slot
    {
        quint64 key = 0;
        quint32 start = 0;
        quint32 count = 0; // 0: an empty slot
    };
    struct Block
    {
        PatternBits mask;
        std::vector<quint32> ids; // grouped by key
        std::vector<Slot> table; // open addressing, a power of two in size
        const Slot* find(quint64 key) const;
    };

    // The block's cells of a pattern, mixed into 64 bits: two different keys that meet only
    // name a few patterns more, never fewer.
    static quint64 keyOf(const Block& block, const PatternBits& pattern);

    std::vector<Block> m_blocks;
    int m_tolerance = -1;
    bool m_built = false;
};
