#include "imagestats/ImageDecoder.h"

#include <QImageReader>

// Interim decoder: Qt's readers only. The full set of types replaces this.
DecodeResult decodeImageFile(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    DecodeResult result;
    QImage image = reader.read();
    if (image.isNull()) {
        result.error = reader.errorString();
        return result;
    }
    if (image.hasAlphaChannel()) {
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        flat.setDevicePixelRatio(1);
        QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < argb.height(); ++y) {
            const QRgb* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            QRgb* dst = reinterpret_cast<QRgb*>(flat.scanLine(y));
            for (int x = 0; x < argb.width(); ++x) {
                const int a = qAlpha(src[x]);
                dst[x] = qRgb(qRed(src[x]) + (255 - a), qGreen(src[x]) + (255 - a), qBlue(src[x]) + (255 - a));
            }
        }
        result.image = flat;
    } else {
        result.image = image.convertToFormat(QImage::Format_RGB32);
    }
    return result;
}
