#pragma once

#include <QtGlobal>
#include <cstdint>

// Converts n pixels 0x..RRGGBB to their grey bytes (the values of the ToGreyscale tables) and
// returns the sum of the grey values.
std::uint64_t greyRow(const quint32* pixels, int n, std::uint8_t* grey);

// The sum of n bytes.
std::uint64_t sumBytes(const std::uint8_t* bytes, int n);
