#pragma once

#include "imagestats/ImageDecoder.h"

#include <QByteArray>

// Reads the first frame of a picture through GraphicsMagick, given its coder name ("TGA", "SUN",
// "RLE", ...). The library is set up once, on first use, whichever thread comes first.
class GraphicsMagickDecoder
{
public:
    // The library's own pixels (four 16-bit channels, and a 16-bit index for a picture with a
    // colour map) and the 32-bit picture exported from them: measured, a colour-mapped picture
    // peaks at 14 bytes a pixel, one of direct colour at 12; one more covers the library's own
    // state. A reader's own buffer (at most a few bytes a pixel) is gone before the export.
    static constexpr int PeakBytesPerPixel = 15;

    // A picture larger than DecoderLimits::maxLibraryPixels is refused before the library reads
    // its pixels.
    static DecodeResult decode(const QByteArray& data, const char* coder);
    // The size the file's header declares, read without its pixels; invalid when unknown.
    static QSize ping(const QByteArray& data, const char* coder);
};
