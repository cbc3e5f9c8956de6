#pragma once

#include "imagestats/ImageDecoder.h"

#include <QByteArray>

// IFF pictures (.IFF, .LBM): planar ILBM (1 to 8 planes, EHB, HAM6/HAM8, 24-bit) and chunky PBM,
// uncompressed or ByteRun1. A mask plane marks transparent pixels. An ANIM gives its first picture.
class IffIlbmDecoder
{
public:
    static bool looksLike(const QByteArray& data);
    static DecodeResult decode(const QByteArray& data);
};
