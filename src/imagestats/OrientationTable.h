#pragma once

#include "imagestats/PatternBits.h"

#include <array>
#include <cstdint>

// For each pattern cell p (1..100), where its content lies under the six orientations
// k = 0 unchanged, 1 quarter turn clockwise, 2 half turn, 3 quarter turn anticlockwise,
// 4 mirrored left to right, 5 mirrored top to bottom.
struct OrientationTable
{
    std::array<std::array<std::uint8_t, 6>, 100> cells {};
    int at(int cell, int k) const { return cells[std::size_t(cell - 1)][std::size_t(k)]; }
};

OrientationTable BuildOrientationTable();
// The table of the program, built once on first use.
const OrientationTable& orientationTable();

// A pattern read through each orientation: bit i of orientation k is cell table(i, k) of the
// pattern, so differences(first, oriented[k]) counts the cells a soft comparison counts.
struct OrientedPattern
{
    std::array<PatternBits, 6> oriented;
};
OrientedPattern orientPattern(const PatternBits& pattern);
// The other way round: a pattern turned so that, in orientation k, its cell c meets cell
// at(c, k) of a pattern as stored. Compares a reference with candidates as they are stored;
// only the first `orientations` are made.
OrientedPattern turnPattern(const PatternBits& pattern, int orientations = 6);
