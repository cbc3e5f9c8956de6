#pragma once

#include "imagestats/ComparePatterns.h"
#include "imagestats/PatternBits.h"

#include <QtGlobal>

#include <cstddef>
#include <vector>

// The comparison loops of the pattern searches over plain patterns held as bits beside their
// entries' numbers: each appends to `found` the numbers within the tolerance, in the order given.
namespace patternscan {

// A plain reference.
void plain(const PatternBits* bits, const quint32* entries, std::size_t count, PatternBits reference, int tolerance,
    std::vector<quint32>& found);
// Soft matching: the reference turned into the six orientations; a candidate is taken at the
// first orientation within the tolerance.
void turned(const PatternBits* bits, const quint32* entries, std::size_t count, const PatternBits* turned,
    int tolerance, std::vector<quint32>& found);
// A reference given as text masks.
void masked(const PatternBits* bits, const quint32* entries, std::size_t count, const PatternTextMasks& masks,
    int orientations, int tolerance, std::vector<quint32>& found);

} // namespace patternscan
