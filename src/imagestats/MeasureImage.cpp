#include "imagestats/MeasureImage.h"

#include "imagestats/ColourSums.h"
#include "imagestats/GreyRow.h"
#include "imagestats/PatternBuilder.h"
#include "platform/Yielder.h"

#include <memory>
#include <new>

void MeasureImage(
    const PixelArray& colourPixels, bool wantColour, bool wantPattern, ImageStats& stats, Yielder* yielder)
{
    const int w = colourPixels.width();
    const int h = colourPixels.height();
    ColourSums sums(w, h);
    PatternBuilder builder(wantPattern ? w : 0, wantPattern ? h : 0);
    const bool pattern = wantPattern && !builder.tooSmall();
    // The grey picture of the first pass is kept for the pattern's second pass, which then reads
    // a quarter of the colour picture's bytes instead of making the grey values again. Without
    // the memory for it, the grey rows are made again.
    const std::unique_ptr<std::uint8_t[]> greyPicture(
        pattern ? new (std::nothrow) std::uint8_t[std::size_t(w) * std::size_t(h)] : nullptr);
    const auto greyOfRow = [&](int y) {
        return greyPicture ? greyPicture.get() + std::size_t(y - 1) * std::size_t(w) : builder.rowBuffer();
    };
    if (wantColour || pattern) {
        for (int y = 1; y <= h; ++y) {
            const quint32* row = colourPixels.row(y);
            if (pattern) {
                std::uint8_t* grey = greyOfRow(y);
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
            if (greyPicture)
                return greyOfRow(y);
            greyRow(colourPixels.row(y), w, buffer);
            return buffer;
        });
        stats.X = w;
        stats.Y = h;
        if (pattern && yielder)
            yielder->yield();
    }
}
