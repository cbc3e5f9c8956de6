#pragma once

#include <QtGlobal>
#include <cstdint>

// Converts n pixels 0x..RRGGBB to their grey bytes (the values of the ToGreyscale tables) and
// returns the sum of the grey values.
std::uint64_t greyRow(const quint32* pixels, int n, std::uint8_t* grey);

// The same, adding the pixels' red, green and blue to channelSums[0..2] on the way.
std::uint64_t greyRowWithChannels(const quint32* pixels, int n, std::uint8_t* grey, std::uint64_t* channelSums);

// The sum of n bytes.
std::uint64_t sumBytes(const std::uint8_t* bytes, int n);
