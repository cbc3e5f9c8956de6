#pragma once

#include "imagestats/ImageDecoder.h"

#include <QByteArray>

// Reads the first frame of a picture through GraphicsMagick, given its coder name ("TGA", "SUN",
// "RLE", ...). The library is set up once, on first use, whichever thread comes first.
class GraphicsMagickDecoder
{
public:
    static DecodeResult decode(const QByteArray& data, const char* coder);
};
