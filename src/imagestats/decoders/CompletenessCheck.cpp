#include "imagestats/decoders/CompletenessCheck.h"

#include "imagestats/decoders/ByteReader.h"
#include "imagestats/decoders/DecoderLimits.h"

#include <algorithm>
#include <cstdint>

bool CompletenessCheck::jpeg(const QByteArray& data)
{
    // The entropy-coded data must reach an end-of-image marker; stuffing keeps FF D9 out of it.
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const qsizetype n = data.size();
    qsizetype pos = 2;
    qsizetype scanStart = -1;
    while (pos + 4 <= n) {
        if (p[pos] != 0xFF)
            return false;
        const uchar marker = p[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        if (marker == 0xD9)
            return false; // the picture ends before any scan
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            pos += 2;
            continue;
        }
        const qsizetype length = (p[pos + 2] << 8) | p[pos + 3];
        if (marker == 0xDA) {
            scanStart = pos + 2 + length;
            break;
        }
        pos += 2 + length;
    }
    if (scanStart < 0 || scanStart > n)
        return false;
    for (qsizetype i = n - 2; i >= scanStart; --i) {
        if (p[i] == 0xFF && p[i + 1] == 0xD9)
            return true;
    }
    return false;
}

namespace {

// Walks RLE4/RLE8 codes from the pixel data; complete when an end-of-bitmap code or the last
// row's end is reached inside the file.
bool rleComplete(ByteReader& reader, qint64 height, bool fourBit)
{
    qint64 rowsEnded = 0;
    while (!reader.atEnd()) {
        const int count = reader.u8();
        const int code = reader.u8();
        if (reader.failed())
            return false;
        if (count > 0)
            continue;
        if (code == 0) {
            if (++rowsEnded >= height)
                return true;
        } else if (code == 1) {
            return true;
        } else if (code == 2) {
            reader.skip(2);
        } else {
            const qsizetype bytes = fourBit ? (code + 1) / 2 : code;
            reader.skip(bytes + (bytes & 1));
        }
        if (reader.failed())
            return false;
    }
    return false;
}

} // namespace

bool CompletenessCheck::bmp(const QByteArray& data)
{
    ByteReader reader(data);
    reader.skip(10);
    const qint64 pixelOffset = reader.u32le();
    const uint32_t infoSize = reader.u32le();
    qint64 width = 0;
    qint64 height = 0;
    int bitCount = 0;
    uint32_t compression = 0;
    if (infoSize == 12) {
        width = reader.u16le();
        height = int16_t(reader.u16le());
        reader.u16le();
        bitCount = reader.u16le();
    } else {
        width = int32_t(reader.u32le());
        height = int32_t(reader.u32le());
        reader.u16le();
        bitCount = reader.u16le();
        compression = reader.u32le();
    }
    if (reader.failed() || pixelOffset > data.size())
        return false;
    height = height < 0 ? -height : height;
    if (compression == 1 || compression == 2) {
        reader.seek(pixelOffset);
        return rleComplete(reader, height, compression == 2);
    }
    if (compression != 0 && compression != 3 && compression != 6)
        return true; // embedded JPEG or PNG: its own reader judges
    if (width <= 0 || height > (qint64(1) << 31) || width > (qint64(1) << 31))
        return true; // the reader refuses such sizes itself
    const qint64 rowBytes = (width * bitCount + 31) / 32 * 4;
    // The last row's padding is sometimes left out. Divided, not multiplied: a declared row
    // times the height can pass 64 bits.
    const qint64 available = data.size() - pixelOffset + 3;
    return height == 0 || rowBytes <= available / height;
}

bool CompletenessCheck::gifFirstFrame(const QByteArray& data)
{
    ByteReader reader(data);
    reader.skip(10);
    const int flags = reader.u8();
    reader.skip(2);
    if (flags & 0x80)
        reader.skip(3 * (2 << (flags & 7)));
    auto skipSubBlocks = [&reader] {
        qint64 total = 0;
        for (int size = reader.u8(); size != 0 && !reader.failed(); size = reader.u8()) {
            reader.skip(size);
            total += size;
        }
        return total;
    };
    while (!reader.failed()) {
        const int introducer = reader.u8();
        if (introducer == 0x21) {
            reader.u8();
            skipSubBlocks();
        } else if (introducer == 0x2C) {
            reader.skip(4);
            const qint64 width = reader.u16le();
            const qint64 height = reader.u16le();
            const int local = reader.u8();
            if (local & 0x80)
                reader.skip(3 * (2 << (local & 7)));
            reader.u8(); // code size
            const qint64 codeBytes = skipSubBlocks();
            // A code of w bits names a string no longer than its table, which holds fewer than
            // 2^w entries, and tables stop at 4096: at most 4096 pixels come of every 12 bits.
            return !reader.failed() && codeBytes * 8 * 4096 >= width * height * 12;
        } else {
            return false; // trailer before any picture, or junk
        }
    }
    return false;
}

bool CompletenessCheck::iconDirectory(const QByteArray& data)
{
    ByteReader reader(data);
    reader.skip(4);
    const int count = reader.u16le();
    for (int i = 0; i < count; ++i) {
        reader.skip(8);
        const qint64 size = reader.u32le();
        const qint64 offset = reader.u32le();
        if (reader.failed() || offset + size > data.size())
            return false;
    }
    return count > 0 && !reader.failed();
}

namespace {

qint64 roundUp(qint64 value, qint64 step)
{
    return (value + step - 1) / step;
}

// The fewest bytes a file of the library's type needs for the picture its header declares, at
// its type's best compression; 0 for types without such a bound, -1 when the size is not
// acceptable at all.
qint64 leastLibraryBytes(const QByteArray& head, const char* coder)
{
    ByteReader reader(head);
    const QByteArray type(coder);
    qint64 width = 0;
    qint64 height = 0;
    auto declared = [&](qint64 w, qint64 h) {
        width = w;
        height = h;
        return !reader.failed() && DecoderLimits::sizeAcceptable(w, h);
    };
    if (type == "TGA") {
        const int idLength = reader.u8();
        const int mapType = reader.u8();
        const int imageType = reader.u8();
        reader.skip(2);
        const qint64 mapLength = reader.u16le();
        const int mapDepth = reader.u8();
        reader.skip(4);
        const qint64 w = reader.u16le();
        const qint64 h = reader.u16le();
        const int depth = reader.u8();
        if (!declared(w, h))
            return -1;
        if (imageType == 0 || (imageType > 3 && imageType < 9) || imageType > 11)
            return 0;
        const bool indexed = imageType != 2 && imageType != 10;
        // Counted as the library reads them: a pixel of 15 or 16 bits takes two bytes, one of 24 or
        // 32 three or four, one of any other depth a byte, but for bilevel pixels, packed eight to
        // a byte with each row starting on a byte of its own. Only indexed and grey pictures read
        // their colour map, a byte an entry but two for 15 or 16 bits and three for 24 or 32.
        const auto bytesOf = [](int bits) {
            return bits == 15 || bits == 16 ? 2 : bits == 24 ? 3 : bits == 32 ? 4 : 1;
        };
        const qint64 map = mapType != 0 && indexed ? mapLength * std::min(bytesOf(mapDepth), 3) : 0;
        const qint64 pixelBytes = bytesOf(depth);
        // A run-length packet is a byte and one pixel for up to 128 pixels, and runs go on across
        // rows. The library takes bilevel pixels uncompressed only.
        const qint64 body = imageType > 8 ? roundUp(width * height, 128) * (1 + pixelBytes)
            : depth == 1                  ? roundUp(width, 8) * height
                                          : width * height * pixelBytes;
        return 18 + idLength + map + body;
    }
    if (type == "PCX") {
        reader.skip(3);
        const int bits = reader.u8();
        const qint64 xMin = reader.u16le();
        const qint64 yMin = reader.u16le();
        const qint64 xMax = reader.u16le();
        const qint64 yMax = reader.u16le();
        reader.seek(65);
        const int planes = reader.u8();
        if (!declared(xMax - xMin + 1, yMax - yMin + 1))
            return -1;
        // The packed bytes may run on across planes and lines. A run is two bytes for up to 63;
        // a byte below 0xC0 stands for itself, so a leftover of one byte costs one.
        const qint64 packed = roundUp(width * bits, 8) * planes * height;
        return 128 + packed / 63 * 2 + std::min<qint64>(packed % 63, 2);
    }
    if (type == "SUN") {
        reader.skip(4);
        const qint64 w = reader.u32be();
        const qint64 h = reader.u32be();
        const qint64 depth = reader.u32be();
        reader.skip(4);
        const qint64 encoding = reader.u32be();
        reader.skip(4);
        const qint64 mapBytes = reader.u32be();
        if (!declared(w, h))
            return -1;
        if (depth < 1 || depth > 32 || encoding > 3)
            return 0;
        // Rows are padded to 16 bits and runs go on across them. A run is three bytes for up to
        // 256; any byte but the escape 0x80 stands for itself, so one or two left over cost one
        // byte each.
        const qint64 body = roundUp(width * depth, 16) * 2 * height;
        return 32 + mapBytes + (encoding == 2 ? body / 256 * 3 + std::min<qint64>(body % 256, 3) : body);
    }
    if (type == "ART") {
        reader.u16le();
        const qint64 w = reader.u16le();
        reader.u16le();
        const qint64 h = reader.u16le();
        if (!declared(w, h))
            return -1;
        return 8 + roundUp(width, 8) * height;
    }
    if (type == "CUT") {
        const qint64 w = reader.u16le();
        const qint64 h = reader.u16le();
        if (!declared(w, h))
            return -1;
        // The library takes the depth from the first line's unpacked bytes: a byte a pixel, half a
        // byte for an even width, a bit for a width of whole bytes; the fewest a width allows
        // count. Each line: its length, runs of two bytes for up to 127 bytes, and an end byte.
        const qint64 lineBytes = width % 8 == 0 ? width / 8 : width % 2 == 0 ? width / 2 : width;
        return 6 + (2 + roundUp(lineBytes, 127) * 2 + 1) * height;
    }
    // A metafile is drawn at any size; Utah RLE leaves skipped lines to the background and a
    // WordPerfect bitmap repeats whole lines: the library's resource limits bound those.
    return 0;
}

} // namespace

bool CompletenessCheck::libraryPicture(const QByteArray& head, qint64 fileBytes, const char* coder)
{
    const qint64 least = leastLibraryBytes(head, coder);
    return least >= 0 && least <= fileBytes;
}
