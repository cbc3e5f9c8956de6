#pragma once

#include <QByteArray>
#include <QList>
#include <QRgb>

// Writers that pack given pixel bytes as tightly as each type's run-length or LZW coding allows,
// so that a file is as short as a legal file of its picture can be. The bytes are laid out as the
// type stores them (rows padded, planes one after another).
struct SampleBytes;

namespace BestCompression {

// PCX's run-length coding of bytes, appended to out.
void pcxRuns(SampleBytes& out, const QByteArray& bytes);
// One line of a Dr Halo CUT as the file holds it: its length, its packets and their end.
QByteArray cutLine(const QByteArray& line);

// Dr Halo: one line after another, each its unpacked bytes (1, 4 or 8 bits a pixel).
QByteArray cut(int width, const QList<QByteArray>& lines);
// ZSoft PCX version 5, encoded; packed holds every line's planes, bytesPerLine each. An 8-bit
// single-plane picture gets a grey palette at the end.
QByteArray pcx(int width, int height, int bits, int planes, int bytesPerLine, const QByteArray& packed);
// Sun raster, byte-encoded, without a colour map; packed holds the rows padded to 16 bits.
QByteArray sunRle(int width, int height, int depth, const QByteArray& packed);
// Truevision TGA of one pixel over the whole picture (pixel holds its bytes; for one bit, a byte
// of eight pixels): grey for 1 or 8 bits, else truecolour; run-length coded when asked, in packets
// of 128 pixels that go on across rows. The library reads one bit uncompressed only.
QByteArray tga(int width, int height, int depth, bool runLength, const QByteArray& pixel);
// GIF89a of one frame of colour indices (a byte each), one row after another.
QByteArray gif(int width, int height, const QList<QRgb>& palette, const QByteArray& indices);

} // namespace BestCompression
