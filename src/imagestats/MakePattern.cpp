#include "imagestats/MakePattern.h"

#include "imagestats/PatternBuilder.h"
#include "platform/Yielder.h"

void MakePattern(const PixelArray& greyPixels, ImageStats& stats, Yielder* yielder)
{
    const int w = greyPixels.width();
    const int h = greyPixels.height();
    PatternBuilder builder(w, h);
    if (!builder.tooSmall()) {
        for (int y = 1; y <= h; ++y) {
            const quint32* src = greyPixels.row(y);
            std::uint8_t* dst = builder.greyRow(y);
            for (int x = 0; x < w; ++x)
                dst[x] = std::uint8_t(src[x] >> 16);
            builder.rowDone(y);
        }
    }
    builder.finish(stats);
    if (!builder.tooSmall() && yielder)
        yielder->yield();
}
