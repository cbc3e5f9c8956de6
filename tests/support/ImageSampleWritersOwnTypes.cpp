#include "ImageSampleWriters.h"

#include "SampleBytes.h"

namespace {

int bitOf(int value, int plane)
{
    return (value >> plane) & 1;
}


} // namespace

QByteArray ImageSampleWriters::pcPaint(const QImage& indexed, bool packed, bool egaPlanes)
{
    const int w = indexed.width();
    const int h = indexed.height();
    const QList<QRgb> table = indexed.colorTable();
    SampleBytes b;
    b.le16(0x1234).le16(w).le16(h).le16(0).le16(0).u8(egaPlanes ? 0x31 : 0x08).u8(0xFF);
    if (egaPlanes) {
        // EGA palette: sixteen colour codes; the table's colours must be EGA colours.
        b.u8(0x10).le16(3).le16(16);
        for (int i = 0; i < 16; ++i) {
            const QRgb c = table.value(i);
            auto code = [](int level, int primary, int secondary) {
                return (level >= 170 ? primary : 0) | ((level == 85 || level == 255) ? secondary : 0);
            };
            b.u8(code(qRed(c), 4, 32) | code(qGreen(c), 2, 16) | code(qBlue(c), 1, 8));
        }
    } else {
        b.u8(0x13).le16(4).le16(768);
        for (int i = 0; i < 256; ++i) {
            const QRgb c = table.value(i);
            b.u8(qRed(c) >> 2).u8(qGreen(c) >> 2).u8(qBlue(c) >> 2);
        }
    }
    QByteArray pixels;
    if (egaPlanes) {
        const int rowBytes = (w + 7) / 8;
        for (int plane = 0; plane < 4; ++plane) {
            for (int y = h - 1; y >= 0; --y) {
                QByteArray row(rowBytes, 0);
                for (int x = 0; x < w; ++x) {
                    if (bitOf(indexed.constScanLine(y)[x], plane))
                        row[x / 8] = char(uint8_t(row[x / 8]) | (0x80 >> (x % 8)));
                }
                pixels.append(row);
            }
        }
    } else {
        for (int y = h - 1; y >= 0; --y)
            pixels.append(reinterpret_cast<const char*>(indexed.constScanLine(y)), w);
    }
    if (!packed) {
        b.le16(0).raw(pixels);
        return b.data;
    }
    // Blocks of up to 4000 unpacked bytes; runs of four or more use the marker.
    const uint8_t marker = 0xEE;
    QList<QByteArray> blocks;
    for (qsizetype start = 0; start < pixels.size(); start += 4000) {
        const QByteArray chunk = pixels.mid(start, 4000);
        SampleBytes data;
        qsizetype i = 0;
        while (i < chunk.size()) {
            qsizetype run = 1;
            while (i + run < chunk.size() && run < 1000 && chunk[i + run] == chunk[i])
                ++run;
            const uint8_t v = uint8_t(chunk[i]);
            if (run >= 4 || v == marker) {
                if (run < 256)
                    data.u8(marker).u8(int(run)).u8(v);
                else
                    data.u8(marker).u8(0).le16(int(run)).u8(v);
                i += run;
            } else {
                data.u8(v);
                ++i;
            }
        }
        SampleBytes block;
        block.le16(int(data.data.size()) + 5).le16(int(chunk.size())).u8(marker).raw(data.data);
        blocks.append(block.data);
    }
    b.le16(int(blocks.size()));
    for (const QByteArray& block : blocks)
        b.raw(block);
    return b.data;
}

QByteArray ImageSampleWriters::gemImg(const QImage& indexed, int planes, bool ximgPalette)
{
    const int w = indexed.width();
    const int h = indexed.height();
    const int colours = 1 << planes;
    const int headerWords = ximgPalette ? 11 + 3 * colours : 8;
    SampleBytes b;
    b.be16(1).be16(headerWords).be16(planes).be16(2).be16(85).be16(85).be16(w).be16(h);
    if (ximgPalette) {
        b.raw("XIMG").be16(0);
        const QList<QRgb> table = indexed.colorTable();
        for (int i = 0; i < colours; ++i) {
            const QRgb c = table.value(i);
            b.be16((qRed(c) * 1000 + 127) / 255)
                .be16((qGreen(c) * 1000 + 127) / 255)
                .be16((qBlue(c) * 1000 + 127) / 255);
        }
    }
    const int lineBytes = (w + 7) / 8;
    auto scanOf = [&](int y) {
        QByteArray scan(lineBytes * planes, 0);
        for (int p = 0; p < planes; ++p)
            for (int x = 0; x < w; ++x)
                if (bitOf(indexed.constScanLine(y)[x], p))
                    scan[p * lineBytes + x / 8] = char(uint8_t(scan[p * lineBytes + x / 8]) | (0x80 >> (x % 8)));
        return scan;
    };
    int y = 0;
    while (y < h) {
        const QByteArray scan = scanOf(y);
        int same = 1;
        while (y + same < h && same < 255 && scanOf(y + same) == scan)
            ++same;
        if (same > 1)
            b.u8(0).u8(0).u8(0xFF).u8(same);
        for (int p = 0; p < planes; ++p) {
            const QByteArray line = scan.mid(p * lineBytes, lineBytes);
            int i = 0;
            while (i < line.size()) {
                const uint8_t v = uint8_t(line[i]);
                int run = 1;
                while (i + run < line.size() && run < 127 && line[i + run] == line[i])
                    ++run;
                if ((v == 0 || v == 0xFF) && run >= 1) {
                    b.u8((v ? 0x80 : 0) | run); // solid run
                    i += run;
                } else if (i + 3 < line.size() && line[i] == line[i + 2] && line[i + 1] == line[i + 3]) {
                    int repeats = 2; // pattern run of two-byte patterns
                    while (i + 2 * repeats + 1 < line.size() && repeats < 255 && line[i + 2 * repeats] == line[i]
                        && line[i + 2 * repeats + 1] == line[i + 1])
                        ++repeats;
                    b.u8(0).u8(repeats).raw(line.mid(i, 2));
                    i += 2 * repeats;
                } else {
                    int literal = 1;
                    while (i + literal < line.size() && literal < 255 && line[i + literal] != 0
                        && uint8_t(line[i + literal]) != 0xFF)
                        ++literal;
                    b.u8(0x80).u8(literal).raw(line.mid(i, literal));
                    i += literal;
                }
            }
        }
        y += same;
    }
    return b.data;
}

QByteArray ImageSampleWriters::iff(const QImage& image, IffKind kind, bool compressed)
{
    const int w = image.width();
    const int h = image.height();
    const bool chunky = kind == IffKind::Chunky;
    const bool trueColour = kind == IffKind::TrueColour;
    const bool masked = kind == IffKind::PlanarMasked;
    const int planes = trueColour ? 24 : kind == IffKind::ExtraHalfBrite || kind == IffKind::Ham6 ? 6 : chunky ? 8 : 5;
    SampleBytes body;
    const int planeRow = chunky ? (w + 1) / 2 * 2 : (w + 15) / 16 * 2;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        QByteArray row;
        if (chunky) {
            row = QByteArray(reinterpret_cast<const char*>(image.constScanLine(y)), w);
            row.append(QByteArray(planeRow - w, 0));
        } else {
            const int rowPlanes = planes + (masked ? 1 : 0);
            row = QByteArray(planeRow * rowPlanes, 0);
            for (int x = 0; x < w; ++x) {
                const QRgb c = reinterpret_cast<const QRgb*>(argb.constScanLine(y))[x];
                for (int p = 0; p < rowPlanes; ++p) {
                    int bit;
                    if (p == planes)
                        bit = qAlpha(c) != 0;
                    else if (trueColour)
                        bit = bitOf(p < 8 ? qRed(c) : p < 16 ? qGreen(c) : qBlue(c), p % 8);
                    else
                        bit = bitOf(image.constScanLine(y)[x], p);
                    if (bit)
                        row[p * planeRow + x / 8] = char(uint8_t(row[p * planeRow + x / 8]) | (0x80 >> (x % 8)));
                }
            }
        }
        body.raw(compressed ? packBits(row) : row);
    }
    SampleBytes form;
    form.raw(chunky ? "PBM " : "ILBM");
    form.raw("BMHD").be32(20).be16(w).be16(h).be16(0).be16(0).u8(planes).u8(masked ? 1 : 0).u8(compressed ? 1 : 0);
    form.u8(0).be16(0).u8(10).u8(11).be16(w).be16(h);
    if (!trueColour) {
        const QList<QRgb> table = image.colorTable();
        const int entries = kind == IffKind::ExtraHalfBrite ? 32
            : kind == IffKind::Ham6                         ? 16
                                                            : 1 << std::min(planes, 8);
        form.raw("CMAP").be32(uint32_t(entries * 3));
        for (int i = 0; i < entries; ++i)
            form.u8(qRed(table.value(i))).u8(qGreen(table.value(i))).u8(qBlue(table.value(i)));
    }
    if (kind == IffKind::ExtraHalfBrite || kind == IffKind::Ham6)
        form.raw("CAMG").be32(4).be32(kind == IffKind::Ham6 ? 0x800 : 0x80);
    form.raw("BODY").be32(uint32_t(body.data.size())).raw(body.data);
    if (body.data.size() & 1)
        form.u8(0);
    SampleBytes file;
    file.raw("FORM").be32(uint32_t(form.data.size())).raw(form.data);
    return file.data;
}
