#pragma once

#include "imagestats/ImageDecoder.h"

#include <QByteArray>

// Reads the first frame of a picture through GraphicsMagick, given its coder name ("TGA", "SUN",
// "RLE", ...). The library is set up once, on first use, whichever thread comes first.
class GraphicsMagickDecoder
{
public:
    // The library's own 16-bit pixels and the 32-bit picture exported from them.
    static constexpr int PeakBytesPerPixel = 12;

    static DecodeResult decode(const QByteArray& data, const char* coder);
    // The size the file's header declares, read without its pixels; invalid when unknown.
    static QSize ping(const QByteArray& data, const char* coder);
};
