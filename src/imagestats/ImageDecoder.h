#pragma once

#include <QImage>
#include <QString>

// Turns an image file of any of the 24 catalogued types into its pixels at natural size:
// first frame only, no automatic rotation, transparency composited on white, 8 bits a channel.
// The result is QImage::Format_RGB32, or a null image with a reason. Safe on several threads.
struct DecodeResult
{
    QImage image;
    QString error;
    bool ok() const { return !image.isNull(); }
};

DecodeResult decodeImageFile(const QString& path);
