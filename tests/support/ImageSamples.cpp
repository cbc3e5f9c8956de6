#include "ImageSamples.h"

#include "ImageSampleWriters.h"
#include "TestSupport.h"

#include <QDir>
#include <QRect>

#include <cmath>

QStringList ImageSamples::types()
{
    return { ".ART", ".BMP", ".CUT", ".DIB", ".GEM", ".GIF", ".HRZ", ".IFF", ".IMG", ".JPG", ".LBM", ".MAC", ".MSP",
        ".PCX", ".PIC", ".PNG", ".RAS", ".RLE", ".TGA", ".TIF", ".WMF", ".WPG", ".CUR", ".ICO" };
}

QImage ImageSamples::photo(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / std::max(1, width - 1);
            const double v = double(y) / std::max(1, height - 1);
            const int r = int(40 + 180 * u + 20 * std::sin(6.0 * v + seed));
            const int g = int(30 + 160 * v + 30 * std::cos(5.0 * u + seed));
            const int b = int(200 - 120 * u * v + 25 * std::sin(4.0 * (u + v) + seed));
            row[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return image;
}

QImage ImageSamples::indexed(int width, int height, const QList<QRgb>& colours, int seed)
{
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(colours);
    const int n = int(colours.size());
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            // Bands of runs with a scatter of single pixels.
            const int band = (x / 5 + y / 3 + seed) % n;
            row[x] = uchar(((x * 7 + y * 13 + seed) % 11 == 0) ? (band * 5 + 3) % n : band);
        }
    }
    return image;
}

QImage ImageSamples::mono(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({ qRgb(0, 0, 0), qRgb(255, 255, 255) });
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, ((x / 4 + y / 3 + seed) % 3 == 0 || (x * y + seed) % 17 == 0) ? 0 : 1);
    return image;
}

QList<QRgb> ImageSamples::palette(int count, const QList<int>& levels, int seed)
{
    QList<QRgb> table;
    const int n = int(levels.size());
    for (int i = 0; i < count; ++i) {
        const int k = i + seed;
        table.append(qRgb(levels[k % n], levels[(k / n + 1) % n], levels[(k / (n * n) + 2 * k) % n]));
    }
    return table;
}

QImage ImageSamples::onWhite(const QImage& image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = argb.pixel(x, y);
            const int a = qAlpha(c);
            auto blend = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
            flat.setPixel(x, y, qRgb(blend(qRed(c)), blend(qGreen(c)), blend(qBlue(c))));
        }
    }
    return flat;
}

namespace {

using W = ImageSampleWriters;

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage iconPicture(int size, int seed)
{
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int alpha = (x < size / 4) ? 0 : (y < size / 4 ? 128 : 255);
            image.setPixel(x, y, qRgba((x * 255) / size, (y * 255) / size, (seed * 60) % 256, alpha));
        }
    return image;
}

} // namespace

ImageSample ImageSamples::sample(const QString& type)
{
    ImageSample s;
    s.type = type;
    const QList<int> levels { 0, 85, 170, 255 };
    if (type == ".ART") {
        const QImage m = mono(45, 20);
        s.bytes = W::art(m);
        s.expected = rgb(m);
    } else if (type == ".BMP") {
        const QImage p = photo(37, 23, 1);
        s.bytes = W::qtWrite(p, "bmp");
        s.expected = p;
    } else if (type == ".CUT") {
        QList<QRgb> greys;
        for (int i = 0; i < 256; ++i)
            greys.append(qRgb(i, i, i));
        QImage g = indexed(41, 19, greys.mid(0, 200), 3);
        g.setColorTable(greys);
        s.bytes = W::cut(g);
        s.expected = rgb(g);
    } else if (type == ".DIB") {
        const QImage i = indexed(33, 21, palette(40, { 0, 51, 102, 153, 204, 255 }), 2);
        s.bytes = W::qtWrite(i, "bmp");
        s.expected = rgb(i);
    } else if (type == ".GEM") {
        const QImage i = indexed(50, 17, palette(16, { 0, 60, 200, 255 }, 1), 4);
        s.bytes = W::gemImg(i, 4, true);
        s.expected = rgb(i);
    } else if (type == ".GIF") {
        const QList<QRgb> table = palette(256, { 0, 32, 64, 96, 128, 160, 192, 224, 255 });
        const QImage first = indexed(40, 30, table, 0);
        const QImage second = indexed(40, 30, table, 7);
        s.bytes = W::gif({ first, second });
        s.expected = rgb(first);
    } else if (type == ".HRZ") {
        QImage p = photo(256, 240, 2);
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const QRgb c = p.pixel(x, y);
                p.setPixel(x, y, qRgb(qRed(c) & 0xFC, qGreen(c) & 0xFC, qBlue(c) & 0xFC));
            }
        s.bytes = W::hrz(p);
        s.expected = p;
    } else if (type == ".IFF") {
        const QImage i = indexed(43, 22, palette(32, { 0, 17, 119, 238, 255 }, 3), 5);
        s.bytes = W::iff(i, W::IffKind::Planar, true);
        s.expected = rgb(i);
    } else if (type == ".IMG") {
        const QImage i = indexed(70, 25, { qRgb(255, 255, 255), qRgb(0, 0, 0) }, 1);
        s.bytes = W::gemImg(i, 1, false);
        s.expected = rgb(i);
    } else if (type == ".JPG") {
        const QImage p = photo(64, 48, 3);
        s.bytes = W::qtWrite(p, "jpeg", 95);
        s.expected = p;
        s.tolerance = 16;
    } else if (type == ".LBM") {
        const QImage i = indexed(39, 18, palette(256, { 0, 36, 73, 109, 146, 182, 219, 255 }, 1), 6);
        s.bytes = W::iff(i, W::IffKind::Chunky, false);
        s.expected = rgb(i);
    } else if (type == ".MAC") {
        const QImage m = mono(576, 720, 2);
        s.bytes = W::macPaint(m);
        s.expected = rgb(m);
    } else if (type == ".MSP") {
        const QImage m = mono(83, 29, 1);
        s.bytes = W::msp(m, 2);
        s.expected = rgb(m);
    } else if (type == ".PCX") {
        const QImage p = photo(35, 21, 4);
        s.bytes = W::pcx(p);
        s.expected = p;
    } else if (type == ".PIC") {
        const QImage i = indexed(52, 27, palette(256, levels, 2), 3);
        s.bytes = W::pcPaint(i, true, false);
        s.expected = rgb(i);
    } else if (type == ".PNG") {
        const QImage p = photo(37, 23, 5);
        s.bytes = W::qtWrite(p, "png");
        s.expected = p;
    } else if (type == ".RAS") {
        const QImage p = photo(31, 17, 6);
        s.bytes = W::sunRaster(p);
        s.expected = p;
    } else if (type == ".RLE") {
        const QImage i = indexed(45, 26, palette(24, { 0, 128, 255 }, 1), 2);
        s.bytes = W::bmpRle8(i);
        s.expected = rgb(i);
    } else if (type == ".TGA") {
        const QImage p = photo(38, 24, 7);
        s.bytes = W::tga(p, W::TgaKind::TruecolourRle);
        s.expected = p;
    } else if (type == ".TIF") {
        const QImage p = photo(29, 31, 8);
        s.bytes = W::qtWrite(p, "tiff");
        s.expected = p;
    } else if (type == ".WMF") {
        const QRect whole(0, 0, 60, 40);
        const QRect inner(20, 10, 20, 20);
        s.bytes = W::wmfRectangles(60, 40, { { whole, qRgb(255, 0, 0) }, { inner, qRgb(0, 0, 255) } });
        QImage e(60, 40, QImage::Format_RGB32);
        e.fill(qRgb(255, 0, 0));
        for (int y = inner.top(); y <= inner.bottom(); ++y)
            for (int x = inner.left(); x <= inner.right(); ++x)
                e.setPixel(x, y, qRgb(0, 0, 255));
        s.expected = e;
        s.drawn = true;
    } else if (type == ".WPG") {
        const QImage i = indexed(47, 19, palette(256, { 0, 64, 128, 192, 255 }, 4), 1);
        s.bytes = W::wpg(i);
        s.expected = rgb(i);
    } else if (type == ".CUR") {
        const QImage small = iconPicture(16, 1);
        const QImage large = iconPicture(32, 2);
        s.bytes = W::iconFile({ small, large }, true);
        s.expected = onWhite(large);
    } else if (type == ".ICO") {
        const QImage small = iconPicture(16, 3);
        const QImage large = iconPicture(48, 4);
        const QImage middle = iconPicture(32, 5);
        s.bytes = W::iconFile({ small, large, middle }, false);
        s.expected = onWhite(large);
    }
    return s;
}

QString ImageSamples::writeSample(const QString& dir, const QString& type)
{
    const ImageSample s = sample(type);
    if (s.bytes.isEmpty())
        return {};
    const QString path = QDir(dir).filePath(QStringLiteral("sample") + type.toLower());
    return writeFile(path, s.bytes) ? path : QString();
}
