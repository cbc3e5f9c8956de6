#pragma once

#include "imagestats/ImageStats.h"

#include <cstdint>
#include <memory>
#include <vector>

// The light/dark pattern of a grey picture, fed row by row. The first pass (whole mean and the
// 50 by 50 grid) runs while rows arrive; the grey rows are kept as bytes so the second pass
// (trimmed mean and the 10 by 10 cells) does not have to look at the source again.
class PatternBuilder
{
public:
    PatternBuilder(int width, int height);

    bool tooSmall() const { return m_tooSmall; }
    // The buffer for row y (1 = bottom), W bytes; fill it, then call rowDone(y).
    std::uint8_t* greyRow(int y) { return m_grey.get() + std::size_t(y - 1) * std::size_t(m_w); }
    void rowDone(int y);
    // Writes X, Y, PXLRAY, PXLNUM and the bit form.
    void finish(ImageStats& stats);

private:
    void prefixRow(const std::uint8_t* grey);

    int m_w;
    int m_h;
    bool m_tooSmall;
    float m_cellW = 0;
    float m_cellH = 0;
    std::unique_ptr<std::uint8_t[]> m_grey;
    std::vector<std::uint64_t> m_prefix; // prefix sums of one row, index 0..W
    std::uint64_t m_sum = 0;
    int m_colStart[50] {};
    int m_colEnd[50] {};
    int m_rowStart[50] {};
    int m_rowEnd[50] {};
    std::uint64_t m_gridSum[50][50] {}; // [column][row]
};
