#include "imagestats/MakePattern.h"

#include "imagestats/PatternBuilder.h"
#include "platform/Yielder.h"

void MakePattern(const PixelArray& greyPixels, ImageStats& stats, Yielder* yielder)
{
    const int w = greyPixels.width();
    const int h = greyPixels.height();
    PatternBuilder builder(w, h);
    // The grey value stands in byte 2 of each pixel.
    auto row = [&](int y, std::uint8_t* buffer) -> const std::uint8_t* {
        const quint32* src = greyPixels.row(y);
        for (int x = 0; x < w; ++x)
            buffer[x] = std::uint8_t(src[x] >> 16);
        return buffer;
    };
    if (!builder.tooSmall()) {
        for (int y = 1; y <= h; ++y)
            builder.addRow(y, row(y, builder.rowBuffer()));
    }
    builder.finish(stats, row);
    if (!builder.tooSmall() && yielder)
        yielder->yield();
}
