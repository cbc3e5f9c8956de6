#pragma once

#include "imagestats/ImageStats.h"
#include "imagestats/PixelArray.h"

// Average and quadrant colours of a colour array: writes X, Y, XYRATIO, RGB, QRGB, SOFTRGB and
// SOFTQRGB. An empty array changes nothing but X and Y.
void ColourStats(const PixelArray& pixels, ImageStats& stats);
