#pragma once

#include <QByteArray>
#include <cstdint>

// Appends integers in a fixed byte order; used by the sample writers.
struct SampleBytes
{
    QByteArray data;

    SampleBytes& u8(int v)
    {
        data.append(char(uint8_t(v)));
        return *this;
    }
    SampleBytes& le16(int v) { return u8(v).u8(v >> 8); }
    SampleBytes& le32(uint32_t v) { return le16(int(v & 0xFFFF)).le16(int(v >> 16)); }
    SampleBytes& be16(int v) { return u8(v >> 8).u8(v); }
    SampleBytes& be32(uint32_t v) { return be16(int(v >> 16)).be16(int(v & 0xFFFF)); }
    SampleBytes& raw(const QByteArray& bytes)
    {
        data.append(bytes);
        return *this;
    }
    SampleBytes& fill(int count, int v = 0)
    {
        data.append(QByteArray(count, char(uint8_t(v))));
        return *this;
    }
    void setLe32(qsizetype at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data[at + i] = char(uint8_t(v >> (8 * i)));
    }
    void setBe32(qsizetype at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data[at + i] = char(uint8_t(v >> (24 - 8 * i)));
    }
};

// PackBits, also IFF's ByteRun1: a count n < 128 introduces n+1 literal bytes, 257-n (as a
// byte) repeats the next byte.
inline QByteArray packBits(const QByteArray& row)
{
    SampleBytes out;
    qsizetype i = 0;
    while (i < row.size()) {
        qsizetype run = 1;
        while (i + run < row.size() && run < 128 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.u8(int(257 - run)).u8(uint8_t(row[i]));
            i += run;
            continue;
        }
        qsizetype literal = 1;
        while (i + literal < row.size() && literal < 128
            && !(i + literal + 1 < row.size() && row[i + literal] == row[i + literal + 1]))
            ++literal;
        out.u8(int(literal - 1)).raw(row.mid(i, literal));
        i += literal;
    }
    return out.data;
}
