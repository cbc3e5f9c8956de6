#include "imagestats/decoders/IffIlbmDecoder.h"

#include "imagestats/decoders/ByteReader.h"
#include "imagestats/decoders/DecoderLimits.h"
#include "imagestats/decoders/PaletteDefaults.h"

#include <cstring>
#include <vector>

namespace {

constexpr uint32_t camgHam = 0x800;
constexpr uint32_t camgExtraHalfBrite = 0x80;

DecodeResult failure(const QString& why)
{
    DecodeResult result;
    result.error = why;
    return result;
}

struct Bitmap
{
    int width = 0;
    int height = 0;
    int planes = 0;
    int masking = 0;
    int compression = 0;
};

struct Form
{
    bool chunky = false;
    bool haveHeader = false;
    Bitmap bitmap;
    QList<QRgb> palette;
    uint32_t viewMode = 0;
    const uint8_t* body = nullptr;
    qsizetype bodyLength = 0;
};

bool isPictureType(const QByteArray& type)
{
    return type == "ILBM" || type == "PBM ";
}

// Walks the chunks of one FORM; an ANIM yields its first picture FORM.
bool readForm(const QByteArray& data, qsizetype start, qsizetype end, Form* form, int depth)
{
    if (depth > 2 || end - start < 12 || data.mid(start, 4) != "FORM")
        return false;
    const QByteArray type = data.mid(start + 8, 4);
    ByteReader reader(data);
    reader.seek(start + 4);
    const qsizetype declared = reader.u32be();
    const qsizetype formEnd = std::min(end, start + 8 + declared);
    if (type == "ANIM") {
        qsizetype pos = start + 12;
        return readForm(data, pos, formEnd, form, depth + 1);
    }
    if (!isPictureType(type))
        return false;
    form->chunky = type == "PBM ";
    qsizetype pos = start + 12;
    while (pos + 8 <= formEnd) {
        reader.seek(pos);
        const QByteArray id = data.mid(pos, 4);
        reader.skip(4);
        const qsizetype length = reader.u32be();
        const qsizetype dataStart = pos + 8;
        const qsizetype available = std::min(length, formEnd - dataStart);
        if (id == "BMHD" && available >= 20) {
            form->bitmap.width = reader.u16be();
            form->bitmap.height = reader.u16be();
            reader.skip(4);
            form->bitmap.planes = reader.u8();
            form->bitmap.masking = reader.u8();
            form->bitmap.compression = reader.u8();
            form->haveHeader = true;
        } else if (id == "CMAP") {
            form->palette.clear();
            const auto* p = reinterpret_cast<const uint8_t*>(data.constData()) + dataStart;
            for (qsizetype i = 0; i + 2 < available && form->palette.size() < 256; i += 3)
                form->palette.append(qRgb(p[i], p[i + 1], p[i + 2]));
        } else if (id == "CAMG" && available >= 4) {
            form->viewMode = reader.u32be();
        } else if (id == "BODY") {
            form->body = reinterpret_cast<const uint8_t*>(data.constData()) + dataStart;
            form->bodyLength = available;
            return form->haveHeader && length <= formEnd - dataStart;
        }
        pos = dataStart + length + (length & 1);
    }
    return false;
}

// Fills out from the body, raw or ByteRun1; false when the body ends early.
class BodyReader
{
public:
    BodyReader(const uint8_t* data, qsizetype length, bool packed)
        : m_data(data)
        , m_length(length)
        , m_packed(packed)
    {
    }

    bool read(uint8_t* out, qsizetype count)
    {
        if (!m_packed) {
            if (count > m_length - m_pos)
                return false;
            std::memcpy(out, m_data + m_pos, size_t(count));
            m_pos += count;
            return true;
        }
        qsizetype filled = 0;
        while (filled < count) {
            if (m_pos >= m_length)
                return false;
            const int n = int(int8_t(m_data[m_pos++]));
            if (n >= 0) {
                const qsizetype run = n + 1;
                if (run > m_length - m_pos || run > count - filled)
                    return false;
                std::memcpy(out + filled, m_data + m_pos, size_t(run));
                m_pos += run;
                filled += run;
            } else if (n != -128) {
                const qsizetype run = 1 - n;
                if (m_pos >= m_length || run > count - filled)
                    return false;
                std::memset(out + filled, m_data[m_pos++], size_t(run));
                filled += run;
            }
        }
        return true;
    }

private:
    const uint8_t* m_data;
    qsizetype m_length;
    qsizetype m_pos = 0;
    bool m_packed;
};

QList<QRgb> colourTable(const Form& form, int colours)
{
    QList<QRgb> table = form.palette;
    const bool halfBrite = (form.viewMode & camgExtraHalfBrite) || (form.bitmap.planes == 6 && table.size() == 32);
    if (halfBrite && form.bitmap.planes == 6) {
        table = table.mid(0, 32);
        while (table.size() < 32)
            table.append(qRgb(0, 0, 0));
        for (int i = 0; i < 32; ++i)
            table.append(qRgb(qRed(table[i]) / 2, qGreen(table[i]) / 2, qBlue(table[i]) / 2));
    }
    if (table.isEmpty())
        table = PaletteDefaults::greyRamp(std::min(form.bitmap.planes, 8));
    while (table.size() < colours)
        table.append(qRgb(0, 0, 0));
    return table;
}

} // namespace

bool IffIlbmDecoder::looksLike(const QByteArray& data)
{
    return data.size() >= 12 && data.startsWith("FORM") && (isPictureType(data.mid(8, 4)) || data.mid(8, 4) == "ANIM");
}

DecodeResult IffIlbmDecoder::decode(const QByteArray& data)
{
    Form form;
    if (!readForm(data, 0, data.size(), &form, 0))
        return failure(QStringLiteral("Not a complete IFF picture"));
    const Bitmap& bm = form.bitmap;
    if (bm.compression > 1)
        return failure(QStringLiteral("IFF compression %1 is not supported").arg(bm.compression));
    const bool trueColour = !form.chunky && (bm.planes == 24 || bm.planes == 32);
    if (form.chunky ? bm.planes != 8 : !(trueColour || (bm.planes >= 1 && bm.planes <= 8)))
        return failure(QStringLiteral("IFF depth %1 is not supported").arg(bm.planes));
    const bool hasMask = bm.masking == 1 && !form.chunky;
    if (!DecoderLimits::sizeAcceptable(bm.width, bm.height))
        return failure(QStringLiteral("Image size %1 x %2 is not acceptable").arg(bm.width).arg(bm.height));
    const qsizetype planeRow = form.chunky ? (qsizetype(bm.width) + 1) / 2 * 2 : (qsizetype(bm.width) + 15) / 16 * 2;
    const int rowPlanes = form.chunky ? 1 : bm.planes + (hasMask ? 1 : 0);
    // ByteRun1 turns two bytes into at most 128: a short body cannot describe a large picture.
    const qint64 unpacked = qint64(planeRow) * rowPlanes * bm.height;
    if (bm.compression == 0 ? unpacked > form.bodyLength : unpacked > qint64(form.bodyLength) * 64)
        return failure(QStringLiteral("IFF picture is truncated"));
    QString error;
    QImage image = DecoderLimits::makeCanvas(bm.width, bm.height, QImage::Format_ARGB32, &error);
    if (image.isNull())
        return failure(error);

    const bool ham = !form.chunky && (form.viewMode & camgHam) && (bm.planes == 6 || bm.planes == 8);
    const int indexPlanes = trueColour ? 0 : bm.planes;
    const QList<QRgb> table = colourTable(form, 1 << std::min(indexPlanes == 0 ? 1 : indexPlanes, 8));
    std::vector<uint8_t> row(size_t(planeRow * rowPlanes));
    BodyReader body(form.body, form.bodyLength, bm.compression == 1);

    for (int y = 0; y < bm.height; ++y) {
        if (!body.read(row.data(), qsizetype(row.size())))
            return failure(QStringLiteral("IFF picture is truncated"));
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        auto bitAt = [&](int plane, int x) { return (row[size_t(plane * planeRow + (x >> 3))] >> (7 - (x & 7))) & 1; };
        QRgb held = table.value(0);
        for (int x = 0; x < bm.width; ++x) {
            QRgb colour;
            if (form.chunky) {
                colour = table.value(row[size_t(x)]);
            } else if (trueColour) {
                int c[3] = { 0, 0, 0 };
                for (int p = 0; p < 24; ++p)
                    c[p / 8] |= bitAt(p, x) << (p % 8);
                colour = qRgb(c[0], c[1], c[2]);
            } else {
                int index = 0;
                for (int p = 0; p < bm.planes; ++p)
                    index |= bitAt(p, x) << p;
                if (ham) {
                    const int valueBits = bm.planes - 2;
                    const int control = index >> valueBits;
                    const int value = index & ((1 << valueBits) - 1);
                    const int level = valueBits == 4 ? value * 17 : (value << 2) | (value >> 4);
                    switch (control) {
                    case 0:
                        held = table.value(value);
                        break;
                    case 1:
                        held = qRgb(qRed(held), qGreen(held), level);
                        break;
                    case 2:
                        held = qRgb(level, qGreen(held), qBlue(held));
                        break;
                    default:
                        held = qRgb(qRed(held), level, qBlue(held));
                        break;
                    }
                    colour = held;
                } else {
                    colour = table.value(index);
                }
            }
            if (hasMask && !bitAt(bm.planes, x))
                colour &= 0x00FFFFFF;
            else
                colour |= 0xFF000000;
            dst[x] = colour;
        }
    }
    DecodeResult result;
    result.image = image;
    return result;
}
