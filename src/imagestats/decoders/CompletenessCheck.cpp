#include "imagestats/decoders/CompletenessCheck.h"

#include "imagestats/decoders/ByteReader.h"

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
        for (int size = reader.u8(); size != 0 && !reader.failed(); size = reader.u8())
            reader.skip(size);
    };
    while (!reader.failed()) {
        const int introducer = reader.u8();
        if (introducer == 0x21) {
            reader.u8();
            skipSubBlocks();
        } else if (introducer == 0x2C) {
            reader.skip(8);
            const int local = reader.u8();
            if (local & 0x80)
                reader.skip(3 * (2 << (local & 7)));
            reader.u8(); // code size
            skipSubBlocks();
            return !reader.failed();
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
