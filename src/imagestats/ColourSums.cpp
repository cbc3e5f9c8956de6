#include "imagestats/ColourSums.h"

#include "platform/Conventions.h"

#include <cmath>
#include <cstdlib>

ColourSums::ColourSums(int width, int height)
    : m_w(width)
    , m_h(height)
    , m_leftColumns((width + 1) / 2 - 1)
    , m_bottomRows((height + 1) / 2 - 1)
{
}

void ColourSums::addRow(int y, const quint32* row)
{
    const int top = y > m_bottomRows ? 2 : 0;
    auto add = [row](int from, int to, std::uint64_t* sums) {
        std::uint64_t r = 0, g = 0, b = 0;
        for (int x = from; x < to; ++x) {
            const quint32 p = row[x];
            r += (p >> 16) & 0xFF;
            g += (p >> 8) & 0xFF;
            b += p & 0xFF;
        }
        sums[0] += r;
        sums[1] += g;
        sums[2] += b;
    };
    add(0, m_leftColumns, m_sums[top]);
    add(m_leftColumns, m_w, m_sums[top + 1]);
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
