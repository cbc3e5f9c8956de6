#pragma once

#include <QImage>
#include <QtGlobal>

// The pixels of one drawn picture: 32-bit 0x00RRGGBB values (byte 0 blue, 1 green, 2 red,
// byte 3 reserved), column x = 1..W from the left, row y = 1..H from the BOTTOM.
// The storage is a Format_RGB32 image so a capture can share the decoder's buffer instead of
// copying it; row(y) hides the top-down order of that storage.
class PixelArray
{
public:
    PixelArray() = default;

    // Discards the contents and makes a W by H array of zeros; refuses sizes below 1
    // (the array is then empty).
    bool resize(int width, int height);
    void clear() { m_image = QImage(); }
    // Takes over a picture (converted to RGB32 when it is not); no pixel copy for RGB32.
    bool adopt(const QImage& picture);

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    bool isEmpty() const { return m_image.isNull(); }

    // Row y (1 = bottom), W pixels from the left.
    const quint32* row(int y) const { return reinterpret_cast<const quint32*>(m_image.constScanLine(height() - y)); }
    quint32* row(int y) { return reinterpret_cast<quint32*>(m_image.scanLine(height() - y)); }

    quint32 at(int x, int y) const { return row(y)[x - 1] & 0x00FFFFFFu; }
    void set(int x, int y, quint32 value) { row(y)[x - 1] = (row(y)[x - 1] & 0xFF000000u) | (value & 0x00FFFFFFu); }

    // The picture as stored (top row first), for display.
    const QImage& image() const { return m_image; }

private:
    QImage m_image;
};
