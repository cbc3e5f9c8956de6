#include "match/PatternScan.h"

#include <bit>

namespace patternscan {

// Built twice: with the processor's popcount instruction where it has one, and without.
__attribute__((target_clones("popcnt", "default"))) void plain(const PatternBits* bits, const quint32* entries,
    std::size_t count, PatternBits reference, int tolerance, std::vector<quint32>& found)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (std::popcount(bits[i].lo ^ reference.lo) + std::popcount(bits[i].hi ^ reference.hi) <= tolerance)
            found.push_back(entries[i]);
    }
}

__attribute__((target_clones("popcnt", "default"))) void turned(const PatternBits* bits, const quint32* entries,
    std::size_t count, const PatternBits* turned, int tolerance, std::vector<quint32>& found)
{
    for (std::size_t i = 0; i < count; ++i) {
        const quint64 lo = bits[i].lo, hi = bits[i].hi;
        for (int k = 0; k < 6; ++k) {
            if (std::popcount(turned[k].lo ^ lo) + std::popcount(turned[k].hi ^ hi) <= tolerance) {
                found.push_back(entries[i]);
                break;
            }
        }
    }
}

__attribute__((target_clones("popcnt", "default"))) void masked(const PatternBits* bits, const quint32* entries,
    std::size_t count, const PatternTextMasks& masks, int orientations, int tolerance, std::vector<quint32>& found)
{
    const int within = tolerance - masks.alwaysDiffer;
    if (within < 0)
        return;
    for (std::size_t i = 0; i < count; ++i) {
        for (int k = 0; k < orientations; ++k) {
            if (masks.cellsDiffering(k, bits[i]) <= within) {
                found.push_back(entries[i]);
                break;
            }
        }
    }
}

} // namespace patternscan
