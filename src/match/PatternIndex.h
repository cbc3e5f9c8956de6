#pragma once

#include "imagestats/ComparePatterns.h"
#include "imagestats/PatternBits.h"
#include "match/PatternBlockIndex.h"

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <map>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

class Yielder;

// The patterns of the pattern step's candidates, each at its position (the candidates' order),
// sorted into buckets by their count of dark cells: plain 100-cell patterns as bits, with the
// block index that prunes their comparisons, any other text as it is stored. It finds the
// positions whose patterns lie within a tolerance of a reference and knows nothing else: which
// records they are, their tags, locations and marks are the candidates' (PatternCandidates).
//
// Plain patterns can leave the search for good (their records marked in an earlier query):
// the scans of what remains then pass them by. The scans of the whole, which never change
// after loading, can run on other threads meanwhile, each with its own Scratch.
class PatternIndex
{
public:
    // One thread's room for a pruned scan: the block index's lists, which positions it has
    // named, and those it compares.
    struct Scratch
    {
        std::vector<PatternBlockIndex::List> lists;
        std::vector<quint32> named;
        quint32 stamp = 0;
        std::vector<PatternBits> bits;
        std::vector<quint32> ids;
    };

    // Whether a pattern text can be compared at all: others rate 999 against everything.
    static bool comparable(const QString& text);

    void clear();
    // The pattern of the next position, as the catalogue stores it (UTF-8), and its dark-cell count.
    void add(int pxlnum, std::string_view text);
    quint32 size() const { return quint32(m_patterns.size()); }

    // A plain 100-cell pattern, held as bits (others as text).
    bool plain(quint32 position) const { return m_patterns[position].odd == Plain; }
    const PatternBits& bits(quint32 position) const { return m_patterns[position].bits; }
    int pxlnum(quint32 position) const { return m_patterns[position].pxlnum; }
    // The text of a pattern that is not plain.
    const QString& text(quint32 position) const { return m_odd[m_patterns[position].odd].text; }
    QString patternText(quint32 position) const { return plain(position) ? bits(position).toText() : text(position); }
    int patternLength(quint32 position) const { return plain(position) ? 100 : int(text(position).size()); }

    // Every position whose dark-cell count lies within the tolerance of pxlnum, ascending.
    std::vector<quint32> positionsWithin(int pxlnum, int tolerance) const;
    // The first of those at or after `at` that `accept` takes.
    template <class Accept>
    std::optional<quint32> firstWithin(int pxlnum, int tolerance, quint32 at, Accept accept) const;

    // The block index for the tolerance, where it prunes. Not while another thread scans.
    void prepare(int tolerance);
    // The positions from `from` on whose patterns lie within the tolerance of a plain
    // reference (in any of the six orientations with soft matching), ascending: on the whole,
    // or on what remains. False, and `found` incomplete, once more than `limit` are found.
    bool plainHits(const PatternBits& reference, int pxlnum, int tolerance, bool softMatch, quint32 from,
        bool remaining, std::size_t limit, Scratch& scratch, std::vector<quint32>& found, Yielder* yielder) const;
    // The same for a reference that is no plain pattern (cut short, other characters): every
    // pattern of the window is compared, the plain ones as bits.
    bool textHits(const QString& reference, int pxlnum, int tolerance, bool softMatch, quint32 from, bool remaining,
        std::size_t limit, std::vector<quint32>& found) const;

    // The plain patterns at these positions leave what remains.
    void leave(const std::vector<quint32>& positions);
    // Some have left: the walk's own scans look at what remains.
    bool leaving() const { return m_leaving; }

private:
    static constexpr quint32 Plain = 0xFFFFFFFFu;
    // Each position's plain pattern and dark-cell count, held close together: what a pruned
    // scan reads of those it names. A pattern that is no plain one is in m_odd.
    struct Pattern
    {
        PatternBits bits;
        int pxlnum = 0;
        quint32 odd = Plain;
    };
    // A pattern that is no plain one, as text, and a usable one's cells.
    struct Odd
    {
        QString text;
        std::optional<PatternCells> cells;
    };
    // A run of plain patterns beside their positions, ascending.
    struct Span
    {
        const PatternBits* bits = nullptr;
        const quint32* ids = nullptr;
        std::size_t count = 0;
    };
    struct Bucket
    {
        std::vector<PatternBits> bits; // the plain patterns, beside their positions
        std::vector<quint32> plain;
        std::vector<quint32> other; // every other text
        std::vector<quint32> comparable; // of those, the usable patterns
        // The plain patterns that remain once some have left, packed once half of them has left.
        std::vector<PatternBits> remainingBits;
        std::vector<quint32> remainingPlain;
        std::size_t left = 0;
        Span span(bool remaining) const
        {
            return remaining ? Span { remainingBits.data(), remainingPlain.data(), remainingPlain.size() }
                             : Span { bits.data(), plain.data(), plain.size() };
        }
    };
    using BucketIt = std::map<int, Bucket>::const_iterator;

    // The buckets whose dark-cell count lies within the tolerance of pxlnum.
    std::pair<BucketIt, BucketIt> window(int pxlnum, int tolerance) const;
    bool gone(quint32 position) const { return m_left[position] != 0; }
    void leave(quint32 position);
    // The plain patterns of the window, through the block index where that leaves enough out.
    bool plainWithin(const PatternBits* turned, int orientations, int pxlnum, int tolerance, quint32 from,
        bool remaining, std::size_t limit, Scratch& scratch, std::vector<quint32>& found, Yielder* yielder) const;

    std::vector<Pattern> m_patterns;
    std::vector<Odd> m_odd;
    std::map<int, Bucket> m_buckets;
    PatternBlockIndex m_index; // built for the tolerance of the first scan that prunes
    bool m_leaving = false;
    std::vector<quint8> m_left; // by position, once some have left
};

template <class Accept>
std::optional<quint32> PatternIndex::firstWithin(int pxlnum, int tolerance, quint32 at, Accept accept) const
{
    // Each bucket lists its positions in order: the first is the least of the buckets' first
    // accepted ones.
    std::optional<quint32> least;
    auto consider = [&](const std::vector<quint32>& positions) {
        for (auto it = std::lower_bound(positions.begin(), positions.end(), at); it != positions.end(); ++it) {
            if (least && *it >= *least)
                return;
            if (accept(*it)) {
                least = *it;
                return;
            }
        }
    };
    const auto [first, last] = window(pxlnum, tolerance);
    for (auto it = first; it != last; ++it) {
        consider(it->second.plain);
        consider(it->second.other);
    }
    return least;
}
