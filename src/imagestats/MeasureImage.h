#pragma once

#include "imagestats/ImageStats.h"
#include "imagestats/PixelArray.h"

class Yielder;

// Colour statistics and/or the pattern of a colour array in one pass over its pixels. Gives
// exactly what ColourStats, and ToGreyscale followed by MakePattern on a copy, would give;
// the array is not changed. Safe to run on several threads with separate arrays.
void MeasureImage(
    const PixelArray& colourPixels, bool wantColour, bool wantPattern, ImageStats& stats, Yielder* yielder = nullptr);
