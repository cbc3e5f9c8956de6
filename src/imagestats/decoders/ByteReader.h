#pragma once

#include <QByteArray>
#include <cstdint>
#include <cstring>

// Bounds-checked reading of a file held in memory. A read past the end yields zeros and marks the
// reader failed, so decoders can read a whole header and test failed() once.
class ByteReader
{
public:
    explicit ByteReader(const QByteArray& data)
        : m_data(reinterpret_cast<const uint8_t*>(data.constData()))
        , m_size(data.size())
    {
    }

    qsizetype pos() const { return m_pos; }
    qsizetype size() const { return m_size; }
    qsizetype remaining() const { return m_size - m_pos; }
    bool failed() const { return m_failed; }
    bool atEnd() const { return m_pos >= m_size; }

    void seek(qsizetype pos)
    {
        if (pos < 0 || pos > m_size) {
            m_failed = true;
            m_pos = m_size;
        } else {
            m_pos = pos;
        }
    }
    void skip(qsizetype count) { seek(count < 0 || count > remaining() ? -1 : m_pos + count); }

    uint8_t u8()
    {
        if (m_pos >= m_size) {
            m_failed = true;
            return 0;
        }
        return m_data[m_pos++];
    }
    uint16_t u16le()
    {
        const uint16_t lo = u8();
        return uint16_t(lo | (u8() << 8));
    }
    uint16_t u16be()
    {
        const uint16_t hi = u8();
        return uint16_t((hi << 8) | u8());
    }
    uint32_t u32le()
    {
        const uint32_t lo = u16le();
        return lo | (uint32_t(u16le()) << 16);
    }
    uint32_t u32be()
    {
        const uint32_t hi = u16be();
        return (hi << 16) | u16be();
    }

    // Pointer to the next count bytes, or nullptr (and failed) when fewer remain.
    const uint8_t* take(qsizetype count)
    {
        if (count < 0 || count > remaining()) {
            m_failed = true;
            m_pos = m_size;
            return nullptr;
        }
        const uint8_t* p = m_data + m_pos;
        m_pos += count;
        return p;
    }

private:
    const uint8_t* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_failed = false;
};
