#include "ImageSampleWriters.h"

#include "BestCompressionWriters.h"
#include "SampleBytes.h"

#include <QBuffer>
#include <QImageWriter>

QByteArray ImageSampleWriters::qtWrite(const QImage& image, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

QByteArray ImageSampleWriters::withExifOrientation(const QByteArray& jpeg, int orientation)
{
    SampleBytes tiff;
    tiff.raw(QByteArray("II*\0", 4)).le32(8); // little-endian TIFF, IFD at 8
    tiff.le16(1).le16(0x0112).le16(3).le32(1).le16(orientation).le16(0); // one SHORT entry
    tiff.le32(0); // no next IFD
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff.data;
    SampleBytes segment;
    segment.u8(0xFF).u8(0xE1).be16(int(payload.size()) + 2).raw(payload);
    return jpeg.left(2) + segment.data + jpeg.mid(2);
}

namespace {

// LZW codes of fixed 9-bit width: every pixel is its own code and a clear code comes often
// enough that the table never grows past 511 entries.
QByteArray gifLzw(const QImage& frame)
{
    QByteArray out;
    uint32_t bits = 0;
    int count = 0;
    auto put = [&](int code) {
        bits |= uint32_t(code) << count;
        count += 9;
        while (count >= 8) {
            out.append(char(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    int sinceClear = 0;
    put(256);
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            if (sinceClear == 250) {
                put(256);
                sinceClear = 0;
            }
            put(frame.constScanLine(y)[x]);
            ++sinceClear;
        }
    }
    put(257);
    if (count > 0)
        out.append(char(bits & 0xFF));
    return out;
}

void appendPalette(SampleBytes& bytes, const QList<QRgb>& table, int entries)
{
    for (int i = 0; i < entries; ++i) {
        const QRgb c = table.value(i);
        bytes.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
    }
}

} // namespace

QByteArray ImageSampleWriters::gif(const QList<QImage>& frames)
{
    const QImage& first = frames.first();
    SampleBytes b;
    b.raw("GIF89a").le16(first.width()).le16(first.height()).u8(0xF7).u8(0).u8(0);
    appendPalette(b, first.colorTable(), 256);
    b.u8(0x21).u8(0xFF).u8(11).raw("NETSCAPE2.0").u8(3).u8(1).le16(0).u8(0); // loop forever
    for (const QImage& frame : frames) {
        b.u8(0x21).u8(0xF9).u8(4).u8(0x04).le16(10).u8(0).u8(0); // keep frame, 0.1 s
        b.u8(0x2C).le16(0).le16(0).le16(frame.width()).le16(frame.height()).u8(0);
        b.u8(8);
        const QByteArray codes = gifLzw(frame);
        for (qsizetype i = 0; i < codes.size(); i += 255) {
            const QByteArray block = codes.mid(i, 255);
            b.u8(int(block.size())).raw(block);
        }
        b.u8(0);
    }
    b.u8(0x3B);
    return b.data;
}

QByteArray ImageSampleWriters::bmpRle8(const QImage& indexed)
{
    SampleBytes pixels;
    for (int y = indexed.height() - 1; y >= 0; --y) {
        const uchar* row = indexed.constScanLine(y);
        int x = 0;
        while (x < indexed.width()) {
            int run = 1;
            while (x + run < indexed.width() && run < 255 && row[x + run] == row[x])
                ++run;
            pixels.u8(run).u8(row[x]);
            x += run;
        }
        pixels.u8(0).u8(0);
    }
    pixels.u8(0).u8(1);
    const QList<QRgb> table = indexed.colorTable();
    const int colours = int(table.size());
    const int offset = 14 + 40 + 4 * colours;
    SampleBytes b;
    b.raw("BM").le32(uint32_t(offset + pixels.data.size())).le32(0).le32(uint32_t(offset));
    b.le32(40).le32(uint32_t(indexed.width())).le32(uint32_t(indexed.height())).le16(1).le16(8);
    b.le32(1).le32(uint32_t(pixels.data.size())).le32(2835).le32(2835).le32(uint32_t(colours)).le32(0);
    for (QRgb c : table)
        b.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).u8(0);
    b.raw(pixels.data);
    return b.data;
}

QByteArray ImageSampleWriters::iconFile(const QList<QImage>& images, bool cursor)
{
    QList<QByteArray> bodies;
    for (const QImage& source : images) {
        const QImage image = source.convertToFormat(QImage::Format_ARGB32);
        const int w = image.width();
        const int h = image.height();
        const int maskRow = (w + 31) / 32 * 4;
        SampleBytes b;
        b.le32(40).le32(uint32_t(w)).le32(uint32_t(2 * h)).le16(1).le16(32).le32(0);
        b.le32(uint32_t(w * h * 4 + maskRow * h)).le32(0).le32(0).le32(0).le32(0);
        for (int y = h - 1; y >= 0; --y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < w; ++x)
                b.u8(qBlue(row[x])).u8(qGreen(row[x])).u8(qRed(row[x])).u8(qAlpha(row[x]));
        }
        for (int y = h - 1; y >= 0; --y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            QByteArray mask(maskRow, 0);
            for (int x = 0; x < w; ++x) {
                if (qAlpha(row[x]) == 0)
                    mask[x / 8] = char(uint8_t(mask[x / 8]) | (0x80 >> (x % 8)));
            }
            b.raw(mask);
        }
        bodies.append(b.data);
    }
    SampleBytes b;
    b.le16(0).le16(cursor ? 2 : 1).le16(int(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (int i = 0; i < images.size(); ++i) {
        b.u8(images[i].width() & 0xFF).u8(images[i].height() & 0xFF).u8(0).u8(0);
        if (cursor)
            b.le16(1).le16(1); // hot spot
        else
            b.le16(1).le16(32);
        b.le32(uint32_t(bodies[i].size())).le32(offset);
        offset += uint32_t(bodies[i].size());
    }
    for (const QByteArray& body : bodies)
        b.raw(body);
    return b.data;
}

namespace {

// Runs of equal pixels (given as byte groups) in TGA packets: 0x80|n-1 then one pixel, or n-1
// then n raw pixels.
void tgaPackets(SampleBytes& out, const QList<QByteArray>& pixels)
{
    int i = 0;
    while (i < pixels.size()) {
        int run = 1;
        while (i + run < pixels.size() && run < 128 && pixels[i + run] == pixels[i])
            ++run;
        if (run > 1) {
            out.u8(0x80 | (run - 1)).raw(pixels[i]);
            i += run;
            continue;
        }
        int raw = 1;
        while (i + raw < pixels.size() && raw < 128 && pixels[i + raw] != pixels[i + raw - 1])
            ++raw;
        out.u8(raw - 1);
        for (int k = 0; k < raw; ++k)
            out.raw(pixels[i + k]);
        i += raw;
    }
}

} // namespace

QByteArray ImageSampleWriters::tga(const QImage& image, TgaKind kind, bool topDown)
{
    const bool mapped = kind == TgaKind::Mapped || kind == TgaKind::MappedRle;
    const bool grey = kind == TgaKind::Grey || kind == TgaKind::GreyRle;
    const bool rle = kind == TgaKind::TruecolourRle || kind == TgaKind::MappedRle || kind == TgaKind::GreyRle;
    const bool alpha = kind == TgaKind::Alpha;
    const int type = (mapped ? 1 : grey ? 3 : 2) + (rle ? 8 : 0);
    const QList<QRgb> table = image.colorTable();
    SampleBytes b;
    b.u8(0).u8(mapped ? 1 : 0).u8(type);
    b.le16(0).le16(mapped ? int(table.size()) : 0).u8(mapped ? 24 : 0);
    b.le16(0).le16(0).le16(image.width()).le16(image.height());
    b.u8(mapped || grey ? 8 : alpha ? 32 : 24).u8((alpha ? 8 : 0) | (topDown ? 0x20 : 0));
    if (mapped) {
        for (QRgb c : table)
            b.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c));
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QList<QByteArray> pixels;
    for (int i = 0; i < image.height(); ++i) {
        const int y = topDown ? i : image.height() - 1 - i;
        for (int x = 0; x < image.width(); ++x) {
            if (mapped || grey) {
                pixels.append(QByteArray(1, char(image.constScanLine(y)[x])));
            } else {
                const QRgb c = reinterpret_cast<const QRgb*>(argb.constScanLine(y))[x];
                QByteArray px;
                px.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
                if (alpha)
                    px.append(char(qAlpha(c)));
                pixels.append(px);
            }
        }
    }
    if (rle) {
        tgaPackets(b, pixels);
    } else {
        for (const QByteArray& px : pixels)
            b.raw(px);
    }
    return b.data;
}

QByteArray ImageSampleWriters::pcx(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int lineBytes = (rgb.width() + 1) / 2 * 2;
    SampleBytes b;
    b.u8(0x0A).u8(5).u8(1).u8(8).le16(0).le16(0).le16(rgb.width() - 1).le16(rgb.height() - 1);
    b.le16(72).le16(72).fill(48).u8(0).u8(3).le16(lineBytes).le16(1).le16(0).le16(0).fill(54);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int plane = 0; plane < 3; ++plane) {
            QByteArray line(lineBytes, 0);
            for (int x = 0; x < rgb.width(); ++x)
                line[x] = char(plane == 0 ? qRed(row[x]) : plane == 1 ? qGreen(row[x]) : qBlue(row[x]));
            BestCompression::pcxRuns(b, line);
        }
    }
    return b.data;
}

QByteArray ImageSampleWriters::sunRaster(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int rowBytes = (rgb.width() * 3 + 1) / 2 * 2;
    SampleBytes b;
    b.be32(0x59A66A95).be32(uint32_t(rgb.width())).be32(uint32_t(rgb.height())).be32(24);
    b.be32(uint32_t(rowBytes * rgb.height())).be32(1).be32(0).be32(0);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            b.u8(qBlue(row[x])).u8(qGreen(row[x])).u8(qRed(row[x]));
        b.fill(rowBytes - rgb.width() * 3);
    }
    return b.data;
}

QByteArray ImageSampleWriters::utahRle(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    SampleBytes b;
    b.le16(0xCC52).le16(0).le16(0).le16(rgb.width()).le16(rgb.height());
    b.u8(0x02).u8(3).u8(8).u8(0).u8(0).u8(0); // no background, 3 channels, 8 bits, no map, filler
    for (int line = 0; line < rgb.height(); ++line) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(rgb.height() - 1 - line));
        for (int channel = 0; channel < 3; ++channel) {
            b.u8(0x02).u8(channel); // set colour
            // First half as literal bytes, second half as one run of its first value per pixel.
            const int w = rgb.width();
            auto value = [&](int x) {
                return channel == 0 ? qRed(row[x]) : channel == 1 ? qGreen(row[x]) : qBlue(row[x]);
            };
            int x = 0;
            while (x < w) {
                int run = 1;
                while (x + run < w && run < 256 && value(x + run) == value(x))
                    ++run;
                if (run >= 3) {
                    b.u8(0x06).u8(run - 1).le16(value(x));
                    x += run;
                } else {
                    int literal = 1;
                    while (x + literal < w && literal < 256
                        && !(x + literal + 2 < w && value(x + literal) == value(x + literal + 1)
                            && value(x + literal) == value(x + literal + 2)))
                        ++literal;
                    b.u8(0x05).u8(literal - 1);
                    for (int k = 0; k < literal; ++k)
                        b.u8(value(x + k));
                    if (literal & 1)
                        b.u8(0);
                    x += literal;
                }
            }
        }
        if (line + 1 < rgb.height())
            b.u8(0x01).u8(1); // next line
    }
    b.u8(0x07).u8(0);
    return b.data;
}
