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

std::uint64_t greyRow(const quint32* pixels, int n, std::uint8_t* grey)
{
    std::uint64_t sum = 0;
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    // Lanes per pixel in memory order: blue, green, red, reserved.
    const __m128i scale = _mm_setr_epi16(3, 5, 3, 0, 3, 5, 3, 0);
    const __m128i offset = _mm_setr_epi16(14, 4, 5, 0, 14, 4, 5, 0);
    const __m128i weight = _mm_setr_epi16(2397, 7711, 6511, 0, 2397, 7711, 6511, 0);
    const __m128i ones = _mm_set1_epi16(1);
    __m128i total = _mm_setzero_si128();
    for (; x + 4 <= n; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + x));
        __m128i lo = _mm_unpacklo_epi8(v, zero);
        __m128i hi = _mm_unpackhi_epi8(v, zero);
        lo = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(lo, scale), offset), weight);
        hi = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(hi, scale), offset), weight);
        // Pairwise sums: (blue + green, red) per pixel, then their sum: one grey per 32-bit lane.
        const __m128i pairs = _mm_packs_epi32(_mm_madd_epi16(lo, ones), _mm_madd_epi16(hi, ones));
        const __m128i g = _mm_madd_epi16(pairs, ones);
        total = _mm_add_epi32(total, g);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(g, zero), zero);
        const int packed = _mm_cvtsi128_si32(bytes);
        std::memcpy(grey + x, &packed, 4);
    }
    alignas(16) std::uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), total);
    sum = std::uint64_t(lanes[0]) + lanes[1] + lanes[2] + lanes[3];
#endif
    const GreyTables& t = greyTables();
    for (; x < n; ++x) {
        grey[x] = greyOf(pixels[x], t);
        sum += grey[x];
    }
    return sum;
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
