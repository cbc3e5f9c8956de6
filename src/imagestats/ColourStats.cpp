#include "imagestats/ColourStats.h"

#include "imagestats/ColourSums.h"

void ColourStats(const PixelArray& pixels, ImageStats& stats)
{
    ColourSums sums(pixels.width(), pixels.height());
    for (int y = 1; y <= pixels.height(); ++y)
        sums.addRow(y, pixels.row(y));
    sums.finish(stats);
}
