#include "ImageSampleWriters.h"

#include "BestCompressionWriters.h"
#include "SampleBytes.h"

#include <cstring>

namespace {

// One grey, below every format's escape byte, so each run is one packet.
constexpr int Grey = 0x60;

// Runs of at most `longest` bytes of Grey over `count` bytes, each written by `packet`.
template <typename Packet> void runs(qint64 count, int longest, Packet packet)
{
    for (qint64 left = count; left > 0; left -= longest)
        packet(int(qMin<qint64>(left, longest)));
}

QByteArray tgaRow(int width)
{
    SampleBytes row;
    runs(width, 128, [&](int n) { row.u8(0x80 | (n - 1)).u8(Grey).u8(Grey).u8(Grey); });
    return row.data;
}

QByteArray pcxRow(int lineBytes)
{
    SampleBytes plane;
    BestCompression::pcxRuns(plane, QByteArray(lineBytes, char(Grey)));
    return plane.data.repeated(3);
}

QByteArray utahRow(int width)
{
    SampleBytes row;
    for (int channel = 0; channel < 3; ++channel) {
        row.u8(0x02).u8(channel);
        runs(width, 256, [&](int n) {
            if (n > 1)
                row.u8(0x06).u8(n - 1).le16(Grey);
            else
                row.u8(0x05).u8(0).u8(Grey).u8(0);
        });
    }
    return row.data;
}

} // namespace

QByteArray ImageSampleWriters::solid(const char* type, int width, int height)
{
    SampleBytes b;
    if (std::strcmp(type, "TGA") == 0) {
        b.u8(0).u8(0).u8(10).fill(9).le16(width).le16(height).u8(24).u8(0);
        b.raw(tgaRow(width).repeated(height));
    } else if (std::strcmp(type, "PCX") == 0) {
        const int lineBytes = (width + 1) / 2 * 2;
        b.u8(0x0A).u8(5).u8(1).u8(8).le16(0).le16(0).le16(width - 1).le16(height - 1);
        b.le16(72).le16(72).fill(48).u8(0).u8(3).le16(lineBytes).le16(1).le16(0).le16(0).fill(54);
        b.raw(pcxRow(lineBytes).repeated(height));
    } else if (std::strcmp(type, "SUN") == 0) {
        // Run-length over the whole raster, whose rows are padded to whole 16-bit words.
        const qint64 bytes = qint64((width * 3 + 1) / 2 * 2) * height;
        SampleBytes data;
        runs(bytes, 256, [&](int n) {
            if (n > 1)
                data.u8(0x80).u8(n - 1).u8(Grey);
            else
                data.u8(Grey);
        });
        b.be32(0x59A66A95).be32(uint32_t(width)).be32(uint32_t(height)).be32(24);
        b.be32(uint32_t(data.data.size())).be32(2).be32(0).be32(0).raw(data.data);
    } else if (std::strcmp(type, "RLE") == 0) {
        b.le16(0xCC52).le16(0).le16(0).le16(width).le16(height).u8(0x02).u8(3).u8(8).u8(0).u8(0).u8(0);
        const QByteArray row = utahRow(width);
        for (int line = 0; line < height; ++line) {
            b.raw(row);
            if (line + 1 < height)
                b.u8(0x01).u8(1);
        }
        b.u8(0x07).u8(0);
    } else if (std::strcmp(type, "ART") == 0) {
        const int rowBytes = (width + 7) / 8;
        b.le16(0).le16(width).le16(0).le16(height);
        b.raw(QByteArray(rowBytes + (rowBytes & 1), char(0x55)).repeated(height));
    } else if (std::strcmp(type, "CUT") == 0) {
        b.le16(width).le16(height).le16(0).raw(BestCompression::cutLine(QByteArray(width, char(Grey))).repeated(height));
    }
    return b.data;
}
