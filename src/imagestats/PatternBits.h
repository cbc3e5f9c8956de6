#pragma once

#include <QString>
#include <QtGlobal>
#include <bit>
#include <optional>

// A 100-cell light/dark pattern as bits: cell p (1..100, the character position of PXLRAY)
// is bit p - 1; a set bit is a dark cell ("*").
struct PatternBits
{
    quint64 lo = 0; // cells 1..64
    quint64 hi = 0; // cells 65..100

    bool test(int cell) const { return cell <= 64 ? (lo >> (cell - 1)) & 1u : (hi >> (cell - 65)) & 1u; }
    void set(int cell)
    {
        if (cell <= 64)
            lo |= quint64(1) << (cell - 1);
        else
            hi |= quint64(1) << (cell - 65);
    }
    int count() const { return std::popcount(lo) + std::popcount(hi); }
    int differences(const PatternBits& other) const
    {
        return std::popcount(lo ^ other.lo) + std::popcount(hi ^ other.hi);
    }
    bool operator==(const PatternBits&) const = default;

    // Only a text of exactly 100 "*" and " " has a bit form.
    static std::optional<PatternBits> fromText(const QString& text);
    QString toText() const;
};
