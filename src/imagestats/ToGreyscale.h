#pragma once

#include "imagestats/PixelArray.h"

#include <array>
#include <cstdint>

// The weight tables: entry i is i * weight / 255 rounded (weights 76, 150 and 28, adding to 254
// so a grey value always fits a byte).
struct GreyTables
{
    std::array<std::uint8_t, 256> red;
    std::array<std::uint8_t, 256> green;
    std::array<std::uint8_t, 256> blue;
};
const GreyTables& greyTables();

inline std::uint8_t greyOf(quint32 pixel, const GreyTables& t)
{
    return std::uint8_t(t.red[(pixel >> 16) & 0xFF] + t.green[(pixel >> 8) & 0xFF] + t.blue[pixel & 0xFF]);
}

// Turns the array grey in place: the grey value in bytes 0, 1 and 2, byte 3 untouched.
void ToGreyscale(PixelArray& pixels);
