#pragma once

#include "imagestats/ImageDecoder.h"

#include <QByteArray>

// GEM raster pictures (.IMG, .GEM): 1 to 8 bit planes with solid, pattern, literal and
// line-repeat runs; colours from an XIMG palette when present, else the desktop's defaults.
class GemImgDecoder
{
public:
    static bool looksLike(const QByteArray& data);
    static DecodeResult decode(const QByteArray& data);
};
