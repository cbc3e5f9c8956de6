#include "imagestats/OrientationTable.h"

OrientationTable BuildOrientationTable()
{
    OrientationTable table;
    for (int p = 1; p <= 100; ++p) {
        const int c = (p - 1) / 10;
        const int r = (p - 1) % 10;
        auto& entry = table.cells[std::size_t(p - 1)];
        entry[0] = std::uint8_t(p);
        entry[1] = std::uint8_t(10 * r + 10 - c);
        entry[2] = std::uint8_t(101 - p);
        entry[3] = std::uint8_t(10 * (9 - r) + c + 1);
        entry[4] = std::uint8_t(10 * (9 - c) + r + 1);
        entry[5] = std::uint8_t(10 * c + 10 - r);
    }
    return table;
}

const OrientationTable& orientationTable()
{
    static const OrientationTable table = BuildOrientationTable();
    return table;
}

OrientedPattern orientPattern(const PatternBits& pattern)
{
    const OrientationTable& table = orientationTable();
    OrientedPattern result;
    for (int k = 0; k < 6; ++k) {
        PatternBits bits;
        for (int i = 1; i <= 100; ++i) {
            if (pattern.test(table.at(i, k)))
                bits.set(i);
        }
        result.oriented[std::size_t(k)] = bits;
    }
    return result;
}

OrientedPattern turnPattern(const PatternBits& pattern, int orientations)
{
    const OrientationTable& table = orientationTable();
    OrientedPattern result;
    for (int k = 0; k < orientations; ++k) {
        for (int cell = 1; cell <= 100; ++cell) {
            if (pattern.test(cell))
                result.oriented[std::size_t(k)].set(table.at(cell, k));
        }
    }
    return result;
}
