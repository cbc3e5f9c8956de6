#pragma once

#include "imagestats/OrientationTable.h"
#include "imagestats/PatternBits.h"

#include <QString>

#include <bit>

class Yielder;

// PatternDiff when two patterns cannot be compared.
constexpr int PatternNotComparable = 999;

// The number of differing cells of two PXLRAY texts (the smallest over the six orientations
// with soft matching), 999 when either is shorter than 3 characters or "Image too small...".
// Lets pending events run once before returning, except for 999.
int ComparePatterns(const QString& first, const QString& second, bool softMatch, Yielder* yielder = nullptr);

// The same count, character by character on the texts; no yield. The fast forms are checked
// against it.
int comparePatternTexts(const QString& first, const QString& second, bool softMatch);

// Fast forms on bits, for callers that keep each record's pattern as bits and its orientations
// precomputed.
int comparePatternBits(const PatternBits& first, const OrientedPattern& second, bool softMatch);
// Whether the difference is at most the tolerance; stops at the first orientation that is.
bool patternWithin(const PatternBits& first, const OrientedPattern& second, bool softMatch, int tolerance);

// A usable pattern text of any length and characters, made ready to be compared with plain
// patterns held as bits: the cells it holds as "*" and as " ", each turned as turnPattern
// turns, and the cells that differ whatever the other pattern holds (other characters, and
// those past cell 100).
struct PatternTextMasks
{
    OrientedPattern dark;
    OrientedPattern light;
    int alwaysDiffer = 0;

    // The plain cells that differ in orientation k (alwaysDiffer not counted): a dark cell of
    // the text where the pattern is light, a light one where it is dark. Inline, so that a
    // loop built for the processor's popcount instruction counts with it.
    int cellsDiffering(int k, const PatternBits& second) const
    {
        const PatternBits& d = dark.oriented[std::size_t(k)];
        const PatternBits& l = light.oriented[std::size_t(k)];
        return std::popcount((d.lo & ~second.lo) | (l.lo & second.lo))
            + std::popcount((d.hi & ~second.hi) | (l.hi & second.hi));
    }
};
PatternTextMasks patternTextMasks(const QString& text);
// comparePatternTexts(text, second.toText(), softMatch) for a usable text, without the text.
int comparePatternTextWithBits(const PatternTextMasks& text, const PatternBits& second, bool softMatch);

// The other way round: comparePatternTexts(first.toText(), second, softMatch) for a plain
// first pattern turned by turnPattern, and the cells of a usable second text as it is stored
// ("*" cells and " " cells; any other character, or a cell past its end, differs always).
struct PatternCells
{
    PatternBits dark;
    PatternBits light;
};
PatternCells patternCells(const QString& text);
int comparePatternBitsWithText(const OrientedPattern& turnedFirst, const PatternCells& second, bool softMatch);
