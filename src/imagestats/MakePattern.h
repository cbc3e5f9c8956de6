#pragma once

#include "imagestats/ImageStats.h"
#include "imagestats/PixelArray.h"

class Yielder;

// The 100-cell light/dark pattern of a grey array (grey value in byte 2): writes X, Y, PXLRAY
// and PXLNUM (and the bit form). Lets pending events run once at the end, unless the picture
// is too small.
void MakePattern(const PixelArray& greyPixels, ImageStats& stats, Yielder* yielder = nullptr);
