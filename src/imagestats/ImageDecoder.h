#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Turns an image file of any of the 24 catalogued types into its pixels at natural size:
// first frame only, no automatic rotation, transparency composited on white, 8 bits a channel.
// The result is QImage::Format_RGB32, or a null image with a reason. Safe on several threads.
struct DecodeResult
{
    QImage image;
    QString error;
    QSize naturalSize; // the picture's own size, also when the image was decoded smaller
    bool ok() const { return !image.isNull(); }
};

DecodeResult decodeImageFile(const QString& path);

// What decoding a file will hold in memory, told from its header without decoding it: the file's
// length, the picture size it declares (0 x 0 when the decoder will refuse it before allocating,
// invalid when that cannot be read cheaply) and the bytes each pixel costs at the peak of its way
// to 32-bit pixels. Safe on several threads.
struct ImageProbe
{
    bool readable = false; // false: the file cannot be opened, and decoding it holds nothing
    qint64 fileBytes = 0;
    QSize declared;
    int peakBytesPerPixel = 12;
    int fileCopies = 1; // of the file's bytes, held at once while it is decoded
};
ImageProbe probeImageFile(const QString& path);
// The same picture made to fit inside the bound, its proportions kept, for display: JPEG is
// decoded at a reduced scale (much faster on large photographs), other types are decoded whole
// and scaled down. A picture already inside the bound comes at its own size.
DecodeResult decodeImageFile(const QString& path, QSize bound);
