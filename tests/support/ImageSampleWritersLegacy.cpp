#include "ImageSampleWriters.h"

#include "SampleBytes.h"

#include <QRect>

namespace {

int monoBit(const QImage& mono, int x, int y)
{
    return (mono.constScanLine(y)[x >> 3] >> (7 - (x & 7))) & 1;
}


} // namespace

QByteArray ImageSampleWriters::art(const QImage& mono)
{
    const int rowBytes = (mono.width() + 7) / 8;
    SampleBytes b;
    b.le16(0).le16(mono.width()).le16(0).le16(mono.height());
    for (int y = 0; y < mono.height(); ++y)
        b.raw(QByteArray(reinterpret_cast<const char*>(mono.constScanLine(y)), rowBytes)).fill(rowBytes & 1);
    return b.data;
}

QByteArray ImageSampleWriters::cut(const QImage& grey)
{
    SampleBytes b;
    b.le16(grey.width()).le16(grey.height()).le16(0);
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        SampleBytes line;
        int x = 0;
        while (x < grey.width()) {
            int run = 1;
            while (x + run < grey.width() && run < 127 && row[x + run] == row[x])
                ++run;
            if (run >= 2) {
                line.u8(0x80 | run).u8(row[x]);
                x += run;
            } else {
                int literal = 1;
                while (x + literal < grey.width() && literal < 127 && row[x + literal] != row[x + literal - 1])
                    ++literal;
                if (x + literal < grey.width() && literal > 1)
                    --literal; // leave the start of the next run to it
                line.u8(literal);
                for (int k = 0; k < literal; ++k)
                    line.u8(row[x + k]);
                x += literal;
            }
        }
        line.u8(0);
        b.le16(int(line.data.size())).raw(line.data);
    }
    return b.data;
}

QByteArray ImageSampleWriters::hrz(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    SampleBytes b;
    for (int y = 0; y < 240; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < 256; ++x)
            b.u8(qRed(row[x]) >> 2).u8(qGreen(row[x]) >> 2).u8(qBlue(row[x]) >> 2);
    }
    return b.data;
}

QByteArray ImageSampleWriters::macPaint(const QImage& mono)
{
    SampleBytes b;
    b.fill(512);
    for (int y = 0; y < 720; ++y) {
        QByteArray row(72, 0);
        for (int x = 0; x < 576; ++x) {
            if (!monoBit(mono, x, y)) // ink is a set bit; white pixels have bit 1 in Format_Mono
                row[x >> 3] = char(uint8_t(row[x >> 3]) | (0x80 >> (x & 7)));
        }
        b.raw(packBits(row));
    }
    return b.data;
}

QByteArray ImageSampleWriters::wmfRectangles(int width, int height, const QList<QPair<QRect, QRgb>>& rectangles)
{
    SampleBytes records;
    int objects = 0;
    uint32_t largest = 5;
    auto record = [&](int function, const QList<int>& words) {
        const uint32_t size = uint32_t(3 + words.size());
        largest = std::max(largest, size);
        records.le32(size).le16(function);
        for (int w : words)
            records.le16(w);
    };
    record(0x020B, { 0, 0 }); // window origin
    record(0x020C, { height, width }); // window extent
    record(0x02FA, { 5, 0, 0, 0, 0 }); // null pen
    record(0x012D, { 0 }); // select it (object 0)
    objects = 1;
    for (const auto& [rect, colour] : rectangles) {
        const uint32_t ref = uint32_t(qRed(colour)) | (uint32_t(qGreen(colour)) << 8) | (uint32_t(qBlue(colour)) << 16);
        record(0x02FC, { 0, int(ref & 0xFFFF), int(ref >> 16), 0 }); // solid brush
        record(0x012D, { objects });
        record(0x041B, { rect.y() + rect.height(), rect.x() + rect.width(), rect.y(), rect.x() });
        record(0x01F0, { objects }); // delete the brush again
    }
    record(0x0000, {});
    SampleBytes b;
    b.le32(0x9AC6CDD7).le16(0).le16(0).le16(0).le16(width).le16(height).le16(72).le32(0);
    uint16_t checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= uint16_t(uint8_t(b.data[i]) | (uint8_t(b.data[i + 1]) << 8));
    b.le16(checksum);
    b.le16(1).le16(9).le16(0x0300).le32(uint32_t(9 + records.data.size() / 2)).le16(objects + 1).le32(largest).le16(0);
    b.raw(records.data);
    return b.data;
}

QByteArray ImageSampleWriters::wpg(const QImage& indexed)
{
    SampleBytes b;
    b.u8(0xFF).raw("WPC").le32(16).u8(1).u8(0x16).u8(1).u8(0).le16(0).le16(0);
    b.u8(0x0F).u8(6).u8(1).u8(0).le16(0).le16(0); // start of picture
    const QList<QRgb> table = indexed.colorTable();
    SampleBytes palette;
    palette.le16(0).le16(256);
    for (int i = 0; i < 256; ++i) {
        const QRgb c = table.value(i);
        palette.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
    }
    b.u8(0x0E).u8(0xFF).le16(int(palette.data.size())).raw(palette.data);
    SampleBytes bitmap;
    bitmap.le16(indexed.width()).le16(indexed.height()).le16(8).le16(75).le16(75);
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar* row = indexed.constScanLine(y);
        int x = 0;
        while (x < indexed.width()) {
            int run = 1;
            while (x + run < indexed.width() && run < 127 && row[x + run] == row[x])
                ++run;
            if (run >= 2) {
                bitmap.u8(0x80 | run).u8(row[x]);
            } else {
                bitmap.u8(1).u8(row[x]);
            }
            x += run;
        }
    }
    b.u8(0x0B).u8(0xFF).le16(int(bitmap.data.size())).raw(bitmap.data);
    b.u8(0x10).u8(0);
    return b.data;
}

QByteArray ImageSampleWriters::msp(const QImage& mono, int version)
{
    const int rowBytes = (mono.width() + 7) / 8;
    SampleBytes b;
    b.raw(version == 1 ? "DanM" : "LinS").le16(mono.width()).le16(mono.height());
    b.le16(1).le16(1).le16(1).le16(1).le16(mono.width()).le16(mono.height()).le16(0).le16(0);
    uint16_t checksum = 0;
    for (int i = 0; i < 24; i += 2)
        checksum ^= uint16_t(uint8_t(b.data[i]) | (uint8_t(b.data[i + 1]) << 8));
    b.le16(checksum).fill(6);
    QList<QByteArray> rows;
    for (int y = 0; y < mono.height(); ++y)
        rows.append(QByteArray(reinterpret_cast<const char*>(mono.constScanLine(y)), rowBytes));
    if (version == 1) {
        for (const QByteArray& row : rows)
            b.raw(row);
        return b.data;
    }
    QList<QByteArray> packed;
    for (const QByteArray& row : rows) {
        SampleBytes line;
        int i = 0;
        while (i < row.size()) {
            int run = 1;
            while (i + run < row.size() && run < 255 && row[i + run] == row[i])
                ++run;
            if (run >= 3) {
                line.u8(0).u8(run).u8(uint8_t(row[i]));
                i += run;
            } else {
                const int literal = std::min<int>(run, 255);
                line.u8(literal).raw(row.mid(i, literal));
                i += literal;
            }
        }
        packed.append(line.data);
    }
    for (const QByteArray& line : packed)
        b.le16(int(line.size()));
    for (const QByteArray& line : packed)
        b.raw(line);
    return b.data;
}
