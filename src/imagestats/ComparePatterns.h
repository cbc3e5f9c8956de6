#pragma once

#include "imagestats/OrientationTable.h"
#include "imagestats/PatternBits.h"

#include <QString>

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
