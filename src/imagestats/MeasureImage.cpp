#include "imagestats/MeasureImage.h"

#include "imagestats/ColourSums.h"
#include "imagestats/GreyRow.h"
#include "imagestats/PatternBuilder.h"
#include "platform/Yielder.h"

void MeasureImage(
    const PixelArray& colourPixels, bool wantColour, bool wantPattern, ImageStats& stats, Yielder* yielder)
{
    const int w = colourPixels.width();
    const int h = colourPixels.height();
    ColourSums sums(w, h);
    PatternBuilder builder(wantPattern ? w : 0, wantPattern ? h : 0);
    const bool pattern = wantPattern && !builder.tooSmall();
    if (wantColour || pattern) {
        for (int y = 1; y <= h; ++y) {
            const quint32* row = colourPixels.row(y);
            if (pattern) {
                std::uint8_t* grey = builder.rowBuffer();
                if (wantColour)
                    sums.addRowWithGrey(y, row, grey);
                else
                    greyRow(row, w, grey);
                builder.addRow(y, grey);
            } else {
                sums.addRow(y, row);
            }
        }
    }
    if (wantColour)
        sums.finish(stats);
    if (wantPattern) {
        builder.finish(stats, [&](int y, std::uint8_t* buffer) -> const std::uint8_t* {
            greyRow(colourPixels.row(y), w, buffer);
            return buffer;
        });
        stats.X = w;
        stats.Y = h;
        if (pattern && yielder)
            yielder->yield();
    }
}
