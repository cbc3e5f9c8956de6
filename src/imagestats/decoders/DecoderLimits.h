#pragma once

#include <QImage>
#include <QString>
#include <QtGlobal>

// Bounds every decoder applies before it allocates pixels for a declared size.
namespace DecoderLimits {

// Anything larger is refused: far above any photograph, far below what would exhaust memory.
constexpr qint64 maxPixels = 400'000'000;

// Pictures read through the decoder library cost more a pixel (GraphicsMagickDecoder's
// PeakBytesPerPixel), so their largest is lower: its peak fits the scan's pixel budget, and one
// that runs alone stays within it. The library's memory limit is that peak, so every picture of
// this size fits; a larger one is refused by its declared size before the library reads it,
// rather than by the limit once it is filled. 12800 x 12500 pixels.
constexpr qint64 maxLibraryPixels = 160'000'000;

inline QString sizeRefused(qint64 width, qint64 height)
{
    return QStringLiteral("Image size %1 x %2 is not acceptable").arg(width).arg(height);
}

// At most `most` pixels; each side is bounded first, so that the product cannot overflow.
inline bool sizeAcceptable(qint64 width, qint64 height, qint64 most = maxPixels)
{
    return width > 0 && height > 0 && width <= most && height <= most && width * height <= most;
}

// A blank canvas of the declared size, or a null image with the reason in error.
inline QImage makeCanvas(qint64 width, qint64 height, QImage::Format format, QString* error)
{
    if (!sizeAcceptable(width, height)) {
        *error = sizeRefused(width, height);
        return {};
    }
    QImage image(int(width), int(height), format);
    if (image.isNull())
        *error = QStringLiteral("Not enough memory for a %1 x %2 image").arg(width).arg(height);
    return image;
}

} // namespace DecoderLimits
