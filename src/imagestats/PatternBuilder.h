#pragma once

#include "imagestats/ImageStats.h"

#include <cstdint>
#include <functional>
#include <vector>

// The light/dark pattern of a grey picture. The first pass (whole mean and the 50 by 50 grid)
// takes the grey rows as they come; the second (trimmed mean and the 10 by 10 cells) asks for
// the rows it needs again, so no grey copy of the whole picture is kept.
class PatternBuilder
{
public:
    // Fills the W grey values of row y (1 = bottom) into the buffer and returns it, or returns
    // a pointer to grey values it already holds.
    using GreyRowSource = std::function<const std::uint8_t*(int y, std::uint8_t* buffer)>;

    PatternBuilder(int width, int height);

    bool tooSmall() const { return m_tooSmall; }
    // A scratch row of W bytes for the caller's grey values.
    std::uint8_t* rowBuffer() { return m_row.data(); }
    // First pass: row y's grey values (any order of rows).
    void addRow(int y, const std::uint8_t* grey);
    // Second pass and the results: X, Y, PXLRAY, PXLNUM and the bit form.
    void finish(ImageStats& stats, const GreyRowSource& rows);

private:
    int m_w;
    int m_h;
    bool m_tooSmall;
    float m_cellW = 0;
    float m_cellH = 0;
    std::vector<std::uint8_t> m_row;
    std::uint64_t m_sum = 0;
    int m_colStart[50] {};
    int m_colEnd[50] {};
    int m_rowStart[50] {};
    int m_rowEnd[50] {};
    std::uint64_t m_gridSum[50][50] {}; // [column][row]
};
