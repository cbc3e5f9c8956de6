#include "imagestats/PatternBuilder.h"

#include "imagestats/GreyRow.h"
#include "platform/Conventions.h"

#include <algorithm>
#include <cmath>

namespace {

// Rounded pixel coordinates are kept inside the picture: the cell formulas can land one past
// an edge when the single-precision cell size errs upwards.
int pixelIndex(double value, int limit)
{
    return int(std::clamp<std::int64_t>(conv::roundHalfEven(value), 1, limit));
}

std::int64_t cappedMean(std::uint64_t sum, double area)
{
    return std::min<std::int64_t>(conv::roundHalfEven(double(sum) / area), 255);
}

} // namespace

PatternBuilder::PatternBuilder(int width, int height)
    : m_w(width)
    , m_h(height)
    , m_tooSmall(width < 100 || height < 100)
{
    if (m_tooSmall)
        return;
    m_cellW = float(double(m_w) / 50.0);
    m_cellH = float(double(m_h) / 50.0);
    for (int i = 0; i < 50; ++i) {
        m_colStart[i] = pixelIndex(i * double(m_cellW) + 1, m_w);
        m_colEnd[i] = pixelIndex(i * double(m_cellW) + double(m_cellW), m_w);
        m_rowStart[i] = pixelIndex(i * double(m_cellH) + 1, m_h);
        m_rowEnd[i] = pixelIndex(i * double(m_cellH) + double(m_cellH), m_h);
    }
    m_row.resize(std::size_t(m_w));
}

void PatternBuilder::addRow(int y, const std::uint8_t* grey)
{
    if (m_tooSmall)
        return;
    m_sum += sumBytes(grey, m_w);
    std::uint64_t segment[50];
    bool segmentsDone = false;
    for (int j = 0; j < 50; ++j) {
        if (y < m_rowStart[j] || y > m_rowEnd[j])
            continue;
        if (!segmentsDone) {
            for (int i = 0; i < 50; ++i)
                segment[i] = m_colStart[i] <= m_colEnd[i]
                    ? sumBytes(grey + m_colStart[i] - 1, m_colEnd[i] - m_colStart[i] + 1)
                    : 0;
            segmentsDone = true;
        }
        for (int i = 0; i < 50; ++i)
            m_gridSum[i][j] += segment[i];
    }
}

void PatternBuilder::finish(ImageStats& stats, const GreyRowSource& rows)
{
    stats.PXLNUM = 0;
    stats.X = m_w;
    stats.Y = m_h;
    if (m_tooSmall) {
        stats.PXLRAY = imageTooSmallText();
        stats.pattern.reset();
        return;
    }
    const std::int64_t W = m_w;
    const std::int64_t H = m_h;

    // Whole mean and the coarse grid (0 darker than the mean, 1 not).
    const std::int64_t M = std::int64_t(std::floor(double(m_sum) / double(W * H)));
    const double gridArea = double(m_cellW) * double(m_cellH);
    int grid[50][50]; // [column][row]
    int colSum[51] {};
    int rowSum[51] {};
    for (int i = 0; i < 50; ++i) {
        for (int j = 0; j < 50; ++j) {
            grid[i][j] = cappedMean(m_gridSum[i][j], gridArea) < M ? 0 : 1;
            colSum[i + 1] += grid[i][j];
            rowSum[j + 1] += grid[i][j];
        }
    }

    // Trimming of uniform edge lines, all four edges advancing together.
    std::int64_t L = 0, R = 0, B = 0, T = 0;
    auto line = [](const int* sums, std::int64_t n) { return n >= 1 && n <= 50 ? sums[n] : 0; };
    bool changed = false;
    do {
        changed = false;
        const int sL = line(colSum, L + 1);
        const int sR = line(colSum, 50 - R);
        const int sB = line(rowSum, B + 1);
        const int sT = line(rowSum, 50 - T);
        if (sT == 0 || sT == 50) {
            ++T;
            changed = true;
        }
        if (sB == 0 || sB == 50) {
            ++B;
            changed = true;
        }
        if (sL == 0 || sL == 50) {
            ++L;
            changed = true;
        }
        if (sR == 0 || sR == 50) {
            ++R;
            changed = true;
        }
    } while (changed && double(T) < double(H) / 2 && double(L) < double(W) / 2);

    // A trim is kept only on both opposite edges, and only when their middle cells agree.
    if (T > 0 && B > 0 && grid[24][0] == grid[24][49]) {
        T = conv::roundHalfEven(double(T) * double(m_cellH));
        B = conv::roundHalfEven(double(B) * double(m_cellH));
    } else {
        T = B = 0;
    }
    if (L > 0 && R > 0 && grid[0][24] == grid[49][24]) {
        L = conv::roundHalfEven(double(L) * double(m_cellW));
        R = conv::roundHalfEven(double(R) * double(m_cellW));
    } else {
        L = R = 0;
    }
    if (H - B - T < 100)
        B = T = 0;
    if (W - L - R < 100)
        L = R = 0;

    // Second pass: trimmed mean and the 10 by 10 cells.
    const float cw = float(double(W - L - R) / 10.0);
    const float ch = float(double(H - B - T) / 10.0);
    int cs[10], ce[10], rs[10], re[10];
    for (int i = 0; i < 10; ++i) {
        cs[i] = pixelIndex(i * double(cw) + 1 + double(L), m_w);
        ce[i] = pixelIndex(i * double(cw) + double(cw) + double(L), m_w);
        rs[i] = pixelIndex(i * double(ch) + 1 + double(B), m_h);
        re[i] = pixelIndex(i * double(ch) + double(ch) + double(B), m_h);
    }
    std::uint64_t cellSum[10][10] {};
    std::uint64_t trimmedSum = 0;
    const std::int64_t yFirst = std::min<std::int64_t>(B + 1, rs[0]);
    const std::int64_t yLast = std::max<std::int64_t>(H - T, re[9]);
    for (std::int64_t y = yFirst; y <= yLast; ++y) {
        const std::uint8_t* grey = rows(int(y), m_row.data());
        if (y >= B + 1 && y <= H - T)
            trimmedSum += sumBytes(grey + L, int(W - L - R));
        for (int j = 0; j < 10; ++j) {
            if (y < rs[j] || y > re[j])
                continue;
            for (int i = 0; i < 10; ++i) {
                if (cs[i] <= ce[i])
                    cellSum[i][j] += sumBytes(grey + cs[i] - 1, ce[i] - cs[i] + 1);
            }
        }
    }
    const std::int64_t M2 = std::int64_t(std::floor(double(trimmedSum) / double((W - L - R) * (H - B - T))));
    const double cellArea = double(cw) * double(ch);
    QString text;
    text.reserve(100);
    PatternBits bits;
    for (int i = 0; i < 10; ++i) {
        for (int j = 0; j < 10; ++j) {
            if (cappedMean(cellSum[i][j], cellArea) < M2) {
                text += QLatin1Char('*');
                bits.set(10 * i + j + 1);
                ++stats.PXLNUM;
            } else {
                text += QLatin1Char(' ');
            }
        }
    }
    stats.X = m_w;
    stats.Y = m_h;
    stats.PXLRAY = text;
    stats.pattern = bits;
}
