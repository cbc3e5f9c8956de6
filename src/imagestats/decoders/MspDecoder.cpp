#include "imagestats/decoders/MspDecoder.h"

#include "imagestats/decoders/ByteReader.h"
#include "imagestats/decoders/DecoderLimits.h"

#include <cstring>

namespace {

constexpr int headerSize = 32;

enum class MspVersion { None, One, Two };

MspVersion versionOf(const QByteArray& data)
{
    if (data.size() < headerSize)
        return MspVersion::None;
    if (std::memcmp(data.constData(), "DanM", 4) == 0)
        return MspVersion::One;
    if (std::memcmp(data.constData(), "LinS", 4) == 0)
        return MspVersion::Two;
    return MspVersion::None;
}

DecodeResult failure(const QString& why)
{
    DecodeResult result;
    result.error = why;
    return result;
}

// Version 2 rows: a zero byte introduces a run (count, value); any other byte n is followed by n
// literal bytes. A row's encoded length comes from the line map.
bool unpackRow(const uint8_t* src, qsizetype srcLength, uchar* dst, qsizetype rowBytes)
{
    qsizetype in = 0;
    qsizetype out = 0;
    while (out < rowBytes && in < srcLength) {
        const uint8_t type = src[in++];
        if (type == 0) {
            if (in + 2 > srcLength)
                return false;
            const qsizetype count = std::min<qsizetype>(src[in], rowBytes - out);
            std::memset(dst + out, src[in + 1], size_t(count));
            in += 2;
            out += count;
        } else {
            if (in + type > srcLength)
                return false;
            const qsizetype count = std::min<qsizetype>(type, rowBytes - out);
            std::memcpy(dst + out, src + in, size_t(count));
            in += type;
            out += count;
        }
    }
    // Writers leave trailing white unencoded.
    if (out < rowBytes)
        std::memset(dst + out, 0xFF, size_t(rowBytes - out));
    return true;
}

} // namespace

bool MspDecoder::looksLike(const QByteArray& data)
{
    return versionOf(data) != MspVersion::None;
}

DecodeResult MspDecoder::decode(const QByteArray& data)
{
    const MspVersion version = versionOf(data);
    if (version == MspVersion::None)
        return failure(QStringLiteral("Not a Microsoft Paint file"));
    ByteReader reader(data);
    reader.skip(4);
    const int width = reader.u16le();
    const int height = reader.u16le();
    const qsizetype rowBytes = (qsizetype(width) + 7) / 8;
    const qsizetype needed = version == MspVersion::One ? rowBytes * height : 2 * qsizetype(height);
    if (DecoderLimits::sizeAcceptable(width, height) && needed > data.size() - headerSize)
        return failure(QStringLiteral("Microsoft Paint file is truncated"));
    QString error;
    QImage image = DecoderLimits::makeCanvas(width, height, QImage::Format_Mono, &error);
    if (image.isNull())
        return failure(error);
    // A set bit is a white pixel.
    image.setColorTable({ qRgb(0, 0, 0), qRgb(255, 255, 255) });

    if (version == MspVersion::One) {
        reader.seek(headerSize);
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = reader.take(rowBytes);
            if (!row)
                return failure(QStringLiteral("Microsoft Paint file is truncated"));
            std::memcpy(image.scanLine(y), row, size_t(rowBytes));
        }
    } else {
        reader.seek(headerSize);
        const uint8_t* map = reader.take(qsizetype(height) * 2);
        if (!map)
            return failure(QStringLiteral("Microsoft Paint file is truncated"));
        qsizetype offset = reader.pos();
        for (int y = 0; y < height; ++y) {
            const qsizetype length = map[2 * y] | (map[2 * y + 1] << 8);
            if (length > data.size() - offset)
                return failure(QStringLiteral("Microsoft Paint file is truncated"));
            const auto* src = reinterpret_cast<const uint8_t*>(data.constData()) + offset;
            if (!unpackRow(src, length, image.scanLine(y), rowBytes))
                return failure(QStringLiteral("Microsoft Paint row is damaged"));
            offset += length;
        }
    }
    DecodeResult result;
    result.image = image;
    return result;
}
