#include "match/PatternScan.h"

#include <bit>

// Built twice: with the processor's popcount instruction where it has one, and without; once
// under ThreadSanitizer, whose runtime is not ready when the clones' resolvers run.
#if defined(__SANITIZE_THREAD__)
#define POPCOUNT_CLONES
#else
#define POPCOUNT_CLONES __attribute__((target_clones("popcnt", "default")))
#endif

namespace patternscan {

POPCOUNT_CLONES void plain(const PatternBits* bits, const quint32* entries, std::size_t count, PatternBits reference,
    int tolerance, std::vector<quint32>& found)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (std::popcount(bits[i].lo ^ reference.lo) + std::popcount(bits[i].hi ^ reference.hi) <= tolerance)
            found.push_back(entries[i]);
    }
}

POPCOUNT_CLONES void turned(const PatternBits* bits, const quint32* entries, std::size_t count,
    const PatternBits* turned, int tolerance, std::vector<quint32>& found)
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

POPCOUNT_CLONES void masked(const PatternBits* bits, const quint32* entries, std::size_t count,
    const PatternTextMasks& masks, int orientations, int tolerance, std::vector<quint32>& found)
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
