#pragma once

#include "imagestats/ImageDecoder.h"

#include <QByteArray>

// Microsoft Paint (.MSP) monochrome pictures: version 1 (raw rows) and version 2 (run-length rows).
class MspDecoder
{
public:
    static bool looksLike(const QByteArray& data);
    static DecodeResult decode(const QByteArray& data);
};
