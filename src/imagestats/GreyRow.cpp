#include "imagestats/GreyRow.h"

#include "imagestats/ToGreyscale.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Each weight table entry round(i * w / 255) equals a 16-bit multiply-high of an affine
// function of i, exactly for i = 0..255:
//   red   ((3i + 5)  * 6511) >> 16
//   green ((5i + 4)  * 7711) >> 16
//   blue  ((3i + 14) * 2397) >> 16
// which lets eight channels be weighted with three vector instructions. The tests compare the
// result with the tables for every colour.

namespace {

template <bool Channels>
std::uint64_t convert(const quint32* pixels, int n, std::uint8_t* grey, std::uint64_t* channelSums)
{
    std::uint64_t sum = 0;
    std::uint64_t r = 0, g = 0, b = 0;
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    // Lanes per pixel in memory order: blue, green, red, reserved.
    const __m128i scale = _mm_setr_epi16(3, 5, 3, 0, 3, 5, 3, 0);
    const __m128i offset = _mm_setr_epi16(14, 4, 5, 0, 14, 4, 5, 0);
    const __m128i weight = _mm_setr_epi16(2397, 7711, 6511, 0, 2397, 7711, 6511, 0);
    const __m128i ones = _mm_set1_epi16(1);
    __m128i total = _mm_setzero_si128();
    while (x + 4 <= n) {
        // Channel sums gather in 16-bit lanes for at most 128 steps of 2 x 255, then in 64 bits.
        __m128i narrow = _mm_setzero_si128();
        for (int step = 0; step < 128 && x + 4 <= n; ++step, x += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + x));
            __m128i lo = _mm_unpacklo_epi8(v, zero);
            __m128i hi = _mm_unpackhi_epi8(v, zero);
            if constexpr (Channels)
                narrow = _mm_add_epi16(narrow, _mm_add_epi16(lo, hi));
            lo = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(lo, scale), offset), weight);
            hi = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(hi, scale), offset), weight);
            // Pairwise sums: (blue + green, red) per pixel, then one grey per 32-bit lane.
            const __m128i pairs = _mm_packs_epi32(_mm_madd_epi16(lo, ones), _mm_madd_epi16(hi, ones));
            const __m128i g4 = _mm_madd_epi16(pairs, ones);
            total = _mm_add_epi32(total, g4);
            const int packed = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(g4, zero), zero));
            std::memcpy(grey + x, &packed, 4);
        }
        if constexpr (Channels) {
            alignas(16) std::uint16_t lanes[8];
            _mm_store_si128(reinterpret_cast<__m128i*>(lanes), narrow);
            b += std::uint64_t(lanes[0]) + lanes[4];
            g += std::uint64_t(lanes[1]) + lanes[5];
            r += std::uint64_t(lanes[2]) + lanes[6];
        }
        // A 32-bit grey lane takes at most 128 x 254 a round; empty it now and then.
        alignas(16) std::uint32_t lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), total);
        sum += std::uint64_t(lanes[0]) + lanes[1] + lanes[2] + lanes[3];
        total = _mm_setzero_si128();
    }
#endif
    const GreyTables& t = greyTables();
    for (; x < n; ++x) {
        const quint32 p = pixels[x];
        grey[x] = greyOf(p, t);
        sum += grey[x];
        if constexpr (Channels) {
            r += (p >> 16) & 0xFF;
            g += (p >> 8) & 0xFF;
            b += p & 0xFF;
        }
    }
    if constexpr (Channels) {
        channelSums[0] += r;
        channelSums[1] += g;
        channelSums[2] += b;
    }
    return sum;
}

} // namespace

std::uint64_t greyRow(const quint32* pixels, int n, std::uint8_t* grey)
{
    return convert<false>(pixels, n, grey, nullptr);
}

std::uint64_t greyRowWithChannels(const quint32* pixels, int n, std::uint8_t* grey, std::uint64_t* channelSums)
{
    return convert<true>(pixels, n, grey, channelSums);
}

std::uint64_t sumBytes(const std::uint8_t* bytes, int n)
{
    std::uint64_t sum = 0;
    int x = 0;
#if defined(__SSE2__)
    __m128i total = _mm_setzero_si128();
    const __m128i zero = _mm_setzero_si128();
    for (; x + 16 <= n; x += 16)
        total = _mm_add_epi64(total, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + x)), zero));
    alignas(16) std::uint64_t lanes[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), total);
    sum = lanes[0] + lanes[1];
#endif
    for (; x < n; ++x)
        sum += bytes[x];
    return sum;
}
