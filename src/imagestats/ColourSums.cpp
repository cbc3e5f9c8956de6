#include "imagestats/ColourSums.h"

#include "imagestats/GreyRow.h"
#include "platform/Conventions.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstdlib>

ColourSums::ColourSums(int width, int height)
    : m_w(width)
    , m_h(height)
    , m_leftColumns((width + 1) / 2 - 1)
    , m_bottomRows((height + 1) / 2 - 1)
{
}

namespace {

// Adds the red, green and blue of n pixels to sums[0..2].
void addChannels(const quint32* row, int n, std::uint64_t* sums)
{
    std::uint64_t r = 0, g = 0, b = 0;
    int x = 0;
#if defined(__SSE2__)
    // Four pixels a step, their channels widened to 16-bit lanes (blue, green, red, reserved,
    // twice); a lane takes 128 steps of at most 2 x 255 before it is emptied into 32 bits.
    const __m128i zero = _mm_setzero_si128();
    __m128i wide = _mm_setzero_si128(); // 32-bit lanes: blue, green, red, reserved
    int rounds = 0;
    while (x + 4 <= n) {
        __m128i narrow = _mm_setzero_si128();
        for (int step = 0; step < 128 && x + 4 <= n; ++step, x += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            narrow = _mm_add_epi16(narrow, _mm_add_epi16(_mm_unpacklo_epi8(v, zero), _mm_unpackhi_epi8(v, zero)));
        }
        wide = _mm_add_epi32(wide, _mm_add_epi32(_mm_unpacklo_epi16(narrow, zero), _mm_unpackhi_epi16(narrow, zero)));
        // A 32-bit lane takes at most 2 x 65280 a round: empty it long before it could overflow.
        if (++rounds == 4096) {
            alignas(16) std::uint32_t lanes[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(lanes), wide);
            b += lanes[0];
            g += lanes[1];
            r += lanes[2];
            wide = _mm_setzero_si128();
            rounds = 0;
        }
    }
    alignas(16) std::uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), wide);
    b += lanes[0];
    g += lanes[1];
    r += lanes[2];
#endif
    for (; x < n; ++x) {
        const quint32 p = row[x];
        r += (p >> 16) & 0xFF;
        g += (p >> 8) & 0xFF;
        b += p & 0xFF;
    }
    sums[0] += r;
    sums[1] += g;
    sums[2] += b;
}

} // namespace

void ColourSums::addRow(int y, const quint32* row)
{
    const int top = y > m_bottomRows ? 2 : 0;
    addChannels(row, m_leftColumns, m_sums[top]);
    addChannels(row + m_leftColumns, m_w - m_leftColumns, m_sums[top + 1]);
}

void ColourSums::addRowWithGrey(int y, const quint32* row, std::uint8_t* grey)
{
    const int top = y > m_bottomRows ? 2 : 0;
    greyRowWithChannels(row, m_leftColumns, grey, m_sums[top]);
    greyRowWithChannels(row + m_leftColumns, m_w - m_leftColumns, grey + m_leftColumns, m_sums[top + 1]);
}

void ColourSums::finish(ImageStats& stats) const
{
    stats.X = m_w;
    stats.Y = m_h;
    if (m_w < 1 || m_h < 1)
        return;
    const double w = m_w;
    const double h = m_h;
    std::int64_t whole[3];
    std::int64_t quad[3][4];
    for (int c = 0; c < 3; ++c) {
        const std::uint64_t total = m_sums[0][c] + m_sums[1][c] + m_sums[2][c] + m_sums[3][c];
        whole[c] = std::int64_t(std::floor(double(total) / w / h));
        for (int q = 0; q < 4; ++q)
            quad[c][q] = std::int64_t(std::floor(double(m_sums[q][c]) / (w / 2) / (h / 2)));
    }
    stats.XYRATIO = double(float(m_w)) / double(float(m_h));

    auto f = [](std::int64_t v) { return conv::format000(v); };
    const std::int64_t red = whole[0], green = whole[1], blue = whole[2];
    stats.RGB = QLatin1Char('R') + f(red) + QStringLiteral(" G") + f(green) + QStringLiteral(" B") + f(blue);
    stats.SOFTRGB = QLatin1Char('R') + f(std::llabs(red - blue)) + QStringLiteral(" G") + f(std::llabs(red - green))
        + QStringLiteral(" B") + f(std::llabs(blue - green));

    auto quadText = [&](auto value) {
        QString text;
        const char* heads[3] = { "R", " G", " B" };
        for (int c = 0; c < 3; ++c) {
            text += QLatin1String(heads[c]);
            for (int q = 0; q < 4; ++q) {
                if (q > 0)
                    text += QLatin1Char(' ');
                text += f(value(c, q));
            }
        }
        return text;
    };
    stats.QRGB = quadText([&](int c, int q) { return quad[c][q]; });
    stats.SOFTQRGB = quadText([&](int c, int q) {
        const std::int64_t r = quad[0][q], g = quad[1][q], b = quad[2][q];
        return c == 0 ? std::llabs(r - b) : c == 1 ? std::llabs(r - g) : std::llabs(b - g);
    });
}
