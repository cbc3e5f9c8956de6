#include "imagestats/ToGreyscale.h"

#include "imagestats/GreyRow.h"
#include "platform/Conventions.h"

#include <vector>

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
    const int w = pixels.width();
    std::vector<std::uint8_t> grey(std::size_t(qMax(w, 0)));
    for (int y = 1; y <= pixels.height(); ++y) {
        quint32* row = pixels.row(y);
        greyRow(row, w, grey.data());
        for (int x = 0; x < w; ++x)
            row[x] = (row[x] & 0xFF000000u) | (quint32(grey[std::size_t(x)]) * 0x010101u);
    }
}
