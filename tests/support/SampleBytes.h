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
