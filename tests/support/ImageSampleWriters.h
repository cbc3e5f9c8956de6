#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>

// Small encoders that write pictures in each catalogued type from known pixels, for tests and
// benchmarks. Indexed pictures are QImage::Format_Indexed8 with their colour table; the others
// are read as 8-bit RGB. Each writer produces a complete, valid file of its type.
class ImageSampleWriters
{
public:
    // Through Qt's own writers: "jpeg", "png", "bmp", "tiff".
    static QByteArray qtWrite(const QImage& image, const char* format, int quality = -1);
    // A JPEG with an EXIF block that asks for the given orientation (1..8).
    static QByteArray withExifOrientation(const QByteArray& jpeg, int orientation);

    static QByteArray gif(const QList<QImage>& frames); // Indexed8 frames, same size
    static QByteArray bmpRle8(const QImage& indexed); // Windows RLE
    static QByteArray iconFile(const QList<QImage>& images, bool cursor); // 32-bit ARGB entries
    enum class TgaKind { Truecolour, TruecolourRle, Alpha, Mapped, MappedRle, Grey, GreyRle };
    static QByteArray tga(const QImage& image, TgaKind kind, bool topDown = false);
    static QByteArray pcx(const QImage& image); // 24-bit, three planes
    static QByteArray sunRaster(const QImage& image);
    static QByteArray utahRle(const QImage& image);
    static QByteArray art(const QImage& mono); // Format_Mono, bit 1 = white
    static QByteArray cut(const QImage& grey); // Indexed8, the index is the grey level
    static QByteArray hrz(const QImage& image); // 256 x 240, channels to 6 bits
    static QByteArray macPaint(const QImage& mono); // 576 x 720
    static QByteArray wmfRectangles(int width, int height, const QList<QPair<QRect, QRgb>>& rectangles);
    static QByteArray wpg(const QImage& indexed);
    // One grey over the whole picture at the type's best compression, written without holding
    // its pixels, for pictures too large to hold: "TGA" (24-bit), "PCX" (three planes), "SUN"
    // (24-bit), "RLE" (Utah, three channels), "ART", "CUT" (8-bit).
    static QByteArray solid(const char* type, int width, int height);

    static QByteArray msp(const QImage& mono, int version); // Format_Mono, bit 1 = white
    static QByteArray pcPaint(const QImage& indexed, bool packed, bool egaPlanes);
    static QByteArray gemImg(const QImage& indexed, int planes, bool ximgPalette);
    enum class IffKind { Planar, PlanarMasked, ExtraHalfBrite, Ham6, TrueColour, Chunky };
    static QByteArray iff(const QImage& image, IffKind kind, bool compressed);
};
