#include "imagestats/decoders/PcPaintPicDecoder.h"

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

QList<QRgb> paletteFor(int paletteType, const uint8_t* palette, int length, int bits, int planes)
{
    const int depth = bits * planes;
    if (paletteType == 4 && length >= 3) {
        QList<QRgb> table;
        for (int i = 0; i + 2 < length && table.size() < 256; i += 3)
            table.append(qRgb(PaletteDefaults::from6Bit(palette[i]), PaletteDefaults::from6Bit(palette[i + 1]),
                PaletteDefaults::from6Bit(palette[i + 2])));
        return table;
    }
    if ((paletteType == 2 || paletteType == 3) && length >= 1) {
        QList<QRgb> table;
        for (int i = 0; i < length && i < 16; ++i)
            table.append(PaletteDefaults::egaCode(palette[i]));
        return table;
    }
    switch (depth) {
    case 1:
        return { qRgb(0, 0, 0), qRgb(255, 255, 255) };
    case 2:
        return { qRgb(0, 0, 0), qRgb(85, 255, 255), qRgb(255, 85, 255), qRgb(255, 255, 255) };
    case 3:
    case 4:
        return PaletteDefaults::ega16();
    default:
        return PaletteDefaults::greyRamp(8);
    }
}

// Expands the run-length blocks into out; false when the data ends early.
bool unpackBlocks(ByteReader& reader, int blockCount, std::vector<uint8_t>& out)
{
    size_t filled = 0;
    for (int block = 0; block < blockCount && filled < out.size(); ++block) {
        const qsizetype blockSize = reader.u16le();
        reader.u16le(); // unpacked size: the running total tells us enough
        const uint8_t marker = reader.u8();
        if (reader.failed() || blockSize < 5)
            return false;
        const uint8_t* packed = reader.take(blockSize - 5);
        if (!packed)
            return false;
        const qsizetype length = blockSize - 5;
        qsizetype i = 0;
        while (i < length && filled < out.size()) {
            const uint8_t b = packed[i++];
            if (b != marker) {
                out[filled++] = b;
                continue;
            }
            if (i >= length)
                return false;
            size_t count = packed[i++];
            if (count == 0) {
                if (i + 2 > length)
                    return false;
                count = size_t(packed[i] | (packed[i + 1] << 8));
                i += 2;
            }
            if (i >= length)
                return false;
            const uint8_t value = packed[i++];
            count = std::min(count, out.size() - filled);
            std::memset(out.data() + filled, value, count);
            filled += count;
        }
    }
    return filled == out.size();
}

} // namespace

bool PcPaintPicDecoder::looksLike(const QByteArray& data)
{
    return data.size() >= 17 && uint8_t(data[0]) == 0x34 && uint8_t(data[1]) == 0x12 && uint8_t(data[11]) == 0xFF;
}

DecodeResult PcPaintPicDecoder::decode(const QByteArray& data)
{
    ByteReader reader(data);
    if (reader.u16le() != 0x1234)
        return failure(QStringLiteral("Not a PC Paint picture"));
    const int width = reader.u16le();
    const int height = reader.u16le();
    reader.skip(4); // screen offsets
    const uint8_t planeInfo = reader.u8();
    const uint8_t paletteFlag = reader.u8();
    int paletteType = 0;
    int paletteLength = 0;
    const uint8_t* palette = nullptr;
    if (paletteFlag == 0xFF) {
        reader.u8(); // video mode
        paletteType = reader.u16le();
        paletteLength = reader.u16le();
        palette = reader.take(paletteLength);
    } else {
        reader.seek(11); // the first version has no palette section
    }
    const int blockCount = reader.u16le();
    if (reader.failed())
        return failure(QStringLiteral("PC Paint picture is truncated"));

    const int bits = planeInfo & 0x0F;
    const int planes = ((planeInfo >> 4) & 0x0F) + 1;
    if (!(bits == 1 || bits == 2 || bits == 4 || bits == 8) || (planes > 1 && bits != 1) || planes > 4)
        return failure(QStringLiteral("PC Paint pixel layout %1 is not supported").arg(planeInfo));
    if (!DecoderLimits::sizeAcceptable(width, height))
        return failure(QStringLiteral("Image size %1 x %2 is not acceptable").arg(width).arg(height));
    const qsizetype rowBytes = (qsizetype(width) * bits + 7) / 8;
    const size_t total = size_t(rowBytes) * size_t(height) * size_t(planes);
    // Each block unpacks to at most 65535 bytes and takes at least six (its header and a code):
    // a short file cannot describe a large picture.
    const size_t leastBlocks = (total + 65534) / 65535;
    if (blockCount == 0 ? total > size_t(reader.remaining())
                        : total > size_t(blockCount) * 65535 || leastBlocks * 6 > size_t(reader.remaining()))
        return failure(QStringLiteral("PC Paint picture is truncated"));
    QString error;
    QImage image = DecoderLimits::makeCanvas(width, height, QImage::Format_Indexed8, &error);
    if (image.isNull())
        return failure(error);

    std::vector<uint8_t> pixels;
    try {
        pixels.resize(total);
    } catch (const std::bad_alloc&) {
        return failure(QStringLiteral("Not enough memory"));
    }
    if (blockCount == 0) {
        const uint8_t* raw = reader.take(qsizetype(total));
        if (!raw)
            return failure(QStringLiteral("PC Paint picture is truncated"));
        std::memcpy(pixels.data(), raw, total);
    } else if (!unpackBlocks(reader, blockCount, pixels)) {
        return failure(QStringLiteral("PC Paint picture is truncated"));
    }

    QList<QRgb> table = paletteFor(paletteType, palette, paletteLength, bits, planes);
    while (table.size() < 256)
        table.append(qRgb(0, 0, 0));
    image.setColorTable(table);
    const size_t planeSize = size_t(rowBytes) * size_t(height);
    for (int row = 0; row < height; ++row) {
        uchar* dst = image.scanLine(height - 1 - row); // bottom row first in the file
        const uint8_t* src = pixels.data() + size_t(row) * size_t(rowBytes);
        if (planes > 1) {
            for (int x = 0; x < width; ++x) {
                int index = 0;
                for (int p = 0; p < planes; ++p)
                    index |= ((src[p * planeSize + size_t(x >> 3)] >> (7 - (x & 7))) & 1) << p;
                dst[x] = uchar(index);
            }
        } else if (bits == 8) {
            std::memcpy(dst, src, size_t(width));
        } else {
            const int perByte = 8 / bits;
            const int mask = (1 << bits) - 1;
            for (int x = 0; x < width; ++x) {
                const int shift = 8 - bits * (x % perByte + 1);
                dst[x] = uchar((src[x / perByte] >> shift) & mask);
            }
        }
    }
    DecodeResult result;
    result.image = image;
    return result;
}
