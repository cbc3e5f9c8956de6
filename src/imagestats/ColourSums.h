#pragma once

#include "imagestats/ImageStats.h"

#include <cstdint>

// The fifteen channel sums of the colour statistics (whole picture and four quadrants), fed
// row by row. Sums are 64-bit so any picture gets its statistics.
class ColourSums
{
public:
    ColourSums(int width, int height);
    // Row y (1 = bottom) of W pixels 0x00RRGGBB.
    void addRow(int y, const quint32* row);
    // The same, also writing the row's grey values (for the pattern) in the one pass.
    void addRowWithGrey(int y, const quint32* row, std::uint8_t* grey);
    // Writes X, Y, XYRATIO, RGB, SOFTRGB, QRGB and SOFTQRGB.
    void finish(ImageStats& stats) const;

private:
    int m_w;
    int m_h;
    int m_leftColumns; // columns x < W / 2
    int m_bottomRows; // rows y < H / 2
    // [quadrant 0..3: left-bottom, right-bottom, left-top, right-top][channel 0 red, 1 green, 2 blue]
    std::uint64_t m_sums[4][3] {};
};
