#pragma once

#include <QList>
#include <QRgb>

// Colour tables that legacy formats assume when a file carries none.
namespace PaletteDefaults {

// The sixteen colours of the EGA/VGA text palette.
inline QList<QRgb> ega16()
{
    return { qRgb(0, 0, 0), qRgb(0, 0, 170), qRgb(0, 170, 0), qRgb(0, 170, 170), qRgb(170, 0, 0), qRgb(170, 0, 170),
        qRgb(170, 85, 0), qRgb(170, 170, 170), qRgb(85, 85, 85), qRgb(85, 85, 255), qRgb(85, 255, 85),
        qRgb(85, 255, 255), qRgb(255, 85, 85), qRgb(255, 85, 255), qRgb(255, 255, 85), qRgb(255, 255, 255) };
}

// An EGA colour code (rgbRGB, primary bits worth 2/3, secondary 1/3).
inline QRgb egaCode(int code)
{
    const int r = ((code >> 2) & 1) * 170 + ((code >> 5) & 1) * 85;
    const int g = ((code >> 1) & 1) * 170 + ((code >> 4) & 1) * 85;
    const int b = (code & 1) * 170 + ((code >> 3) & 1) * 85;
    return qRgb(r, g, b);
}

// Evenly spaced greys for 2^bits entries, black to white.
inline QList<QRgb> greyRamp(int bits)
{
    const int count = 1 << bits;
    QList<QRgb> table;
    table.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int v = count == 1 ? 0 : i * 255 / (count - 1);
        table.append(qRgb(v, v, v));
    }
    return table;
}

// A 6-bit DAC value scaled to 8 bits.
inline int from6Bit(int v)
{
    return ((v & 63) * 255 + 31) / 63;
}

} // namespace PaletteDefaults
