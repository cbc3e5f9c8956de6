#pragma once

#include "imagestats/ImageDecoder.h"

#include <QByteArray>

// PC Paint / Pictor (.PIC) pictures: packed 1, 2, 4 or 8 bits a pixel or up to four bit planes,
// run-length blocks or raw data, optional CGA/EGA/VGA palette, rows stored bottom first.
class PcPaintPicDecoder
{
public:
    static bool looksLike(const QByteArray& data);
    static DecodeResult decode(const QByteArray& data);
};
