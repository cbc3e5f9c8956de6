#include "BestCompressionWriters.h"

#include "SampleBytes.h"

#include <QHash>

#include <algorithm>

namespace {

// How many bytes from at repeat data[at], up to most.
int runAt(const QByteArray& data, qsizetype at, int most)
{
    int run = 1;
    while (at + run < data.size() && run < most && data[at + run] == data[at])
        ++run;
    return run;
}

} // namespace

QByteArray BestCompression::cutLine(const QByteArray& line)
{
    SampleBytes out;
    qsizetype i = 0;
    while (i < line.size()) {
        const int run = runAt(line, i, 127);
        if (run >= 2) {
            out.u8(0x80 | run).u8(uint8_t(line[i]));
            i += run;
            continue;
        }
        int literal = 1;
        while (i + literal < line.size() && literal < 127 && runAt(line, i + literal, 2) < 2)
            ++literal;
        out.u8(literal).raw(line.mid(i, literal));
        i += literal;
    }
    out.u8(0);
    return SampleBytes().le16(int(out.data.size())).raw(out.data).data;
}

void BestCompression::pcxRuns(SampleBytes& out, const QByteArray& bytes)
{
    // A count byte (0xC0 + up to 63) and the value; a byte below 0xC0 alone stands for itself.
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int run = runAt(bytes, i, 63);
        const uint8_t value = uint8_t(bytes[i]);
        if (run > 1 || value >= 0xC0)
            out.u8(0xC0 | run).u8(value);
        else
            out.u8(value);
        i += run;
    }
}

QByteArray BestCompression::cut(int width, const QList<QByteArray>& lines)
{
    SampleBytes b;
    b.le16(width).le16(int(lines.size())).le16(0);
    for (const QByteArray& line : lines)
        b.raw(cutLine(line));
    return b.data;
}

QByteArray BestCompression::pcx(int width, int height, int bits, int planes, int bytesPerLine, const QByteArray& packed)
{
    SampleBytes b;
    b.u8(0x0A).u8(5).u8(1).u8(bits).le16(0).le16(0).le16(width - 1).le16(height - 1).le16(72).le16(72);
    for (int i = 0; i < 16; ++i)
        b.u8(i * 17).u8(i * 17).u8(i * 17);
    b.u8(0).u8(planes).le16(bytesPerLine).le16(1).le16(0).le16(0).fill(54);
    // Runs go on across planes and lines.
    pcxRuns(b, packed);
    if (bits == 8 && planes == 1) {
        b.u8(0x0C);
        for (int i = 0; i < 256; ++i)
            b.u8(i).u8(i).u8(i);
    }
    return b.data;
}

QByteArray BestCompression::sunRle(int width, int height, int depth, const QByteArray& packed)
{
    // 0x80, a count n and a value give n + 1 copies; 0x80 0 is a single 0x80; any other byte
    // stands for itself.
    SampleBytes body;
    qsizetype i = 0;
    while (i < packed.size()) {
        const int run = runAt(packed, i, 256);
        const uint8_t value = uint8_t(packed[i]);
        if (value == 0x80 && run == 1)
            body.u8(0x80).u8(0);
        else if (value == 0x80 || run >= 3)
            body.u8(0x80).u8(run - 1).u8(value);
        else
            body.raw(packed.mid(i, run));
        i += run;
    }
    SampleBytes b;
    b.be32(0x59A66A95).be32(uint32_t(width)).be32(uint32_t(height)).be32(uint32_t(depth));
    b.be32(uint32_t(body.data.size())).be32(2).be32(0).be32(0);
    return b.raw(body.data).data;
}

QByteArray BestCompression::tga(int width, int height, int depth, bool runLength, const QByteArray& pixel)
{
    const bool grey = depth == 1 || depth == 8;
    SampleBytes b;
    b.u8(0).u8(0).u8((grey ? 3 : 2) + (runLength ? 8 : 0)).fill(9).le16(width).le16(height);
    b.u8(depth).u8(depth == 32 ? 8 : 0);
    const qint64 pixels = qint64(width) * height;
    if (!runLength) {
        const QByteArray row = depth == 1 ? QByteArray((width + 7) / 8, pixel[0]) : pixel.repeated(width);
        return b.raw(row.repeated(height)).data;
    }
    // 0x80 | n - 1, then the pixel.
    b.raw((QByteArray(1, char(0xFF)) + pixel).repeated(pixels / 128));
    if (pixels % 128 != 0)
        b.u8(0x80 | int(pixels % 128 - 1)).raw(pixel);
    return b.data;
}

QByteArray BestCompression::gif(int width, int height, const QList<QRgb>& palette, const QByteArray& indices)
{
    int tableBits = 1;
    while ((1 << tableBits) < palette.size())
        ++tableBits;
    const int minCodeSize = std::max(2, tableBits);
    SampleBytes b;
    b.raw("GIF89a").le16(width).le16(height).u8(0x80 | (tableBits - 1)).u8(0).u8(0);
    for (int i = 0; i < (1 << tableBits); ++i) {
        const QRgb c = palette.value(i);
        b.u8(qRed(c)).u8(qGreen(c)).u8(qBlue(c));
    }
    b.u8(0x2C).le16(0).le16(0).le16(width).le16(height).u8(0).u8(minCodeSize);

    // LZW whose table, once full, is kept rather than cleared: every later code names one of the
    // longest strings, 12 bits each.
    QByteArray codes;
    uint32_t bits = 0;
    int count = 0;
    int codeSize = minCodeSize + 1;
    auto put = [&](int code) {
        bits |= uint32_t(code) << count;
        count += codeSize;
        while (count >= 8) {
            codes.append(char(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    const int clear = 1 << minCodeSize;
    int next = clear + 2;
    QHash<int, int> table;
    put(clear);
    int prefix = uint8_t(indices[0]);
    for (qsizetype i = 1; i < indices.size(); ++i) {
        const int key = (prefix << 8) | uint8_t(indices[i]);
        const auto known = table.constFind(key);
        if (known != table.constEnd()) {
            prefix = *known;
            continue;
        }
        put(prefix);
        if (next < 4096) {
            table.insert(key, next++);
            // The reader adds each entry one code later and widens its codes when its next
            // entry reaches the width's limit.
            if (next - 1 >= (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        prefix = uint8_t(indices[i]);
    }
    put(prefix);
    // The reader adds an entry for that last code too, and may widen the end code for it.
    if (next < 4096 && next++ >= (1 << codeSize) && codeSize < 12)
        ++codeSize;
    put(clear + 1);
    if (count > 0)
        codes.append(char(bits & 0xFF));
    for (qsizetype i = 0; i < codes.size(); i += 255) {
        const QByteArray block = codes.mid(i, 255);
        b.u8(int(block.size())).raw(block);
    }
    return b.u8(0).u8(0x3B).data;
}
