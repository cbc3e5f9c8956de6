#pragma once

#include <QImage>
#include <QString>
#include <QtGlobal>

// Bounds every decoder applies before it allocates pixels for a declared size.
namespace DecoderLimits {

// Anything larger is refused: far above any photograph, far below what would exhaust memory.
constexpr qint64 maxPixels = 400'000'000;

inline bool sizeAcceptable(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= maxPixels && height <= maxPixels && width * height <= maxPixels;
}

// A blank canvas of the declared size, or a null image with the reason in error.
inline QImage makeCanvas(qint64 width, qint64 height, QImage::Format format, QString* error)
{
    if (!sizeAcceptable(width, height)) {
        *error = QStringLiteral("Image size %1 x %2 is not acceptable").arg(width).arg(height);
        return {};
    }
    QImage image(int(width), int(height), format);
    if (image.isNull())
        *error = QStringLiteral("Not enough memory for a %1 x %2 image").arg(width).arg(height);
    return image;
}

} // namespace DecoderLimits
