#include "imagestats/PixelArray.h"

bool PixelArray::resize(int width, int height)
{
    m_image = QImage();
    if (width < 1 || height < 1)
        return false;
    QImage fresh(width, height, QImage::Format_RGB32);
    if (fresh.isNull())
        return false;
    fresh.fill(0u);
    m_image = fresh;
    return true;
}

bool PixelArray::adopt(const QImage& picture)
{
    m_image = QImage();
    if (picture.isNull() || picture.width() < 1 || picture.height() < 1)
        return false;
    m_image = picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
    m_image.setDevicePixelRatio(1.0);
    return !m_image.isNull();
}
