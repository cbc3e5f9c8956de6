#pragma once

#include "imagestats/ImageDecoder.h"

#include <QByteArray>

// Reads a picture with Qt's image readers, given the reader's format name ("jpeg", "png", "bmp",
// "ico", ...; empty to let Qt tell from the content). Icons and cursors give their largest image.
class QtImageDecoder
{
public:
    // With a valid bound, a JPEG larger than it is decoded at a reduced scale to fit it.
    static DecodeResult decode(const QByteArray& data, const QByteArray& format, QSize bound = QSize());
};
