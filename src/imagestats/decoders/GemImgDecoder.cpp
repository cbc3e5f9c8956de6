#include "imagestats/decoders/GemImgDecoder.h"

#include "imagestats/decoders/ByteReader.h"
#include "imagestats/decoders/DecoderLimits.h"
#include "imagestats/decoders/PaletteDefaults.h"

#include <cstring>
#include <vector>

namespace {

DecodeResult failure(const QString& why)
{
    DecodeResult result;
    result.error = why;
    return result;
}

// The desktop's sixteen pen colours: white, black, then the primaries and their light shades.
QList<QRgb> desktopColours()
{
    return { qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(0, 255, 255),
        qRgb(255, 255, 0), qRgb(255, 0, 255), qRgb(192, 192, 192), qRgb(128, 128, 128), qRgb(128, 0, 0),
        qRgb(0, 128, 0), qRgb(0, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 0), qRgb(128, 0, 128) };
}

struct GemHeader
{
    int headerWords = 0;
    int planes = 0;
    int patternLength = 0;
    int width = 0;
    int height = 0;
};

bool readHeader(const QByteArray& data, GemHeader* header)
{
    ByteReader reader(data);
    const int version = reader.u16be();
    header->headerWords = reader.u16be();
    header->planes = reader.u16be();
    header->patternLength = reader.u16be();
    reader.skip(4); // pixel size in microns
    header->width = reader.u16be();
    header->height = reader.u16be();
    return !reader.failed() && (version == 1 || version == 2) && header->headerWords >= 8
        && qsizetype(header->headerWords) * 2 <= data.size() && header->planes >= 1 && header->planes <= 8
        && header->patternLength <= 8 && header->width > 0 && header->height > 0;
}

} // namespace

bool GemImgDecoder::looksLike(const QByteArray& data)
{
    GemHeader header;
    return readHeader(data, &header);
}

DecodeResult GemImgDecoder::decode(const QByteArray& data)
{
    GemHeader header;
    if (!readHeader(data, &header))
        return failure(QStringLiteral("Not a GEM raster picture"));
    // At best a line takes a byte for every 204 of its bytes (a pattern run: 255 repeats of eight
    // bytes in ten), and one line is repeated for up to 255: a shorter file cannot hold the picture.
    const qsizetype lineBytes = (qsizetype(header.width) + 7) / 8;
    const qsizetype scanBytes = lineBytes * header.planes;
    const qint64 leastBytes
        = qint64(header.headerWords) * 2 + (qint64(header.height) + 254) / 255 * ((scanBytes + 203) / 204);
    if (data.size() < leastBytes)
        return failure(QStringLiteral("GEM raster picture is truncated"));
    QString error;
    QImage image = DecoderLimits::makeCanvas(header.width, header.height, QImage::Format_Indexed8, &error);
    if (image.isNull())
        return failure(error);

    const int colours = 1 << header.planes;
    QList<QRgb> table;
    ByteReader reader(data);
    if (header.headerWords >= 11 + 3 * colours && data.mid(16, 4) == "XIMG") {
        reader.seek(20);
        if (reader.u16be() == 0) { // RGB levels 0..1000
            for (int i = 0; i < colours; ++i) {
                int rgb[3];
                for (int& level : rgb)
                    level = (std::min<int>(reader.u16be(), 1000) * 255 + 500) / 1000;
                table.append(qRgb(rgb[0], rgb[1], rgb[2]));
            }
        }
    }
    // Without a palette a set bit in a one-plane picture is black ink on white.
    if (table.isEmpty())
        table = header.planes <= 4 ? desktopColours().mid(0, colours) : PaletteDefaults::greyRamp(header.planes);
    while (table.size() < 256)
        table.append(qRgb(0, 0, 0));
    image.setColorTable(table);

    std::vector<uint8_t> scan(size_t(scanBytes), 0);
    reader.seek(qsizetype(header.headerWords) * 2);
    int y = 0;
    while (y < header.height) {
        int repeat = 1;
        qsizetype out = 0;
        while (out < scanBytes) {
            const uint8_t b = reader.u8();
            if (reader.failed())
                return failure(QStringLiteral("GEM raster picture is truncated"));
            if (b == 0) {
                const uint8_t count = reader.u8();
                if (count == 0) {
                    // Line repeat: 00 00 FF n, only before a line's first byte.
                    const uint8_t flag = reader.u8();
                    const uint8_t times = reader.u8();
                    if (flag != 0xFF || out != 0)
                        return failure(QStringLiteral("GEM raster picture is damaged"));
                    repeat = std::max<int>(1, times);
                    continue;
                }
                const uint8_t* pattern = reader.take(header.patternLength);
                if (!pattern || header.patternLength == 0)
                    return failure(QStringLiteral("GEM raster picture is damaged"));
                for (int i = 0; i < count; ++i)
                    for (int j = 0; j < header.patternLength && out < scanBytes; ++j)
                        scan[size_t(out++)] = pattern[j];
            } else if (b == 0x80) {
                const uint8_t count = reader.u8();
                const uint8_t* literal = reader.take(count);
                if (!literal)
                    return failure(QStringLiteral("GEM raster picture is truncated"));
                const qsizetype n = std::min<qsizetype>(count, scanBytes - out);
                std::memcpy(scan.data() + out, literal, size_t(n));
                out += n;
            } else {
                const qsizetype n = std::min<qsizetype>(b & 0x7F, scanBytes - out);
                std::memset(scan.data() + out, (b & 0x80) ? 0xFF : 0x00, size_t(n));
                out += n;
            }
        }
        for (int r = 0; r < repeat && y < header.height; ++r, ++y) {
            uchar* dst = image.scanLine(y);
            for (int x = 0; x < header.width; ++x) {
                int index = 0;
                for (int p = 0; p < header.planes; ++p)
                    index |= ((scan[size_t(p * lineBytes + (x >> 3))] >> (7 - (x & 7))) & 1) << p;
                dst[x] = uchar(index);
            }
        }
    }
    DecodeResult result;
    result.image = image;
    return result;
}
