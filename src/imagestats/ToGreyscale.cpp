#include "imagestats/ToGreyscale.h"

#include "platform/Conventions.h"

static GreyTables buildTables()
{
    GreyTables t {};
    for (int i = 0; i < 256; ++i) {
        t.red[i] = std::uint8_t(conv::roundHalfEven(i * 76.0 / 255.0));
        t.green[i] = std::uint8_t(conv::roundHalfEven(i * 150.0 / 255.0));
        t.blue[i] = std::uint8_t(conv::roundHalfEven(i * 28.0 / 255.0));
    }
    return t;
}

const GreyTables& greyTables()
{
    static const GreyTables tables = buildTables();
    return tables;
}

void ToGreyscale(PixelArray& pixels)
{
    const GreyTables& t = greyTables();
    const int w = pixels.width();
    for (int y = 1; y <= pixels.height(); ++y) {
        quint32* row = pixels.row(y);
        for (int x = 0; x < w; ++x) {
            const quint32 g = greyOf(row[x], t);
            row[x] = (row[x] & 0xFF000000u) | (g << 16) | (g << 8) | g;
        }
    }
}
