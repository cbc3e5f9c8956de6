#include "imagestats/ComparePatterns.h"

#include "imagestats/ImageStats.h"
#include "platform/Yielder.h"

#include <algorithm>

static bool unusable(const QString& pattern)
{
    return pattern.size() < 3 || pattern == imageTooSmallText();
}

int comparePatternTexts(const QString& first, const QString& second, bool softMatch)
{
    if (unusable(first) || unusable(second))
        return PatternNotComparable;
    auto differs = [&second, &first](int i, int j) { // 1-based positions
        return j > second.size() || first.at(i - 1) != second.at(j - 1);
    };
    const int n = int(first.size());
    if (!softMatch) {
        int count = 0;
        for (int i = 1; i <= n; ++i)
            count += differs(i, i) ? 1 : 0;
        return count;
    }
    // A first text longer than the 100 cells is read straight beyond cell 100 in every
    // orientation.
    const OrientationTable& table = orientationTable();
    int counts[6] = {};
    for (int i = 1; i <= n; ++i) {
        for (int k = 0; k < 6; ++k)
            counts[k] += differs(i, i <= 100 ? table.at(i, k) : i) ? 1 : 0;
    }
    return *std::min_element(counts, counts + 6);
}

int comparePatternBits(const PatternBits& first, const OrientedPattern& second, bool softMatch)
{
    int best = first.differences(second.oriented[0]);
    if (softMatch) {
        for (int k = 1; k < 6 && best > 0; ++k)
            best = std::min(best, first.differences(second.oriented[std::size_t(k)]));
    }
    return best;
}

bool patternWithin(const PatternBits& first, const OrientedPattern& second, bool softMatch, int tolerance)
{
    const int orientations = softMatch ? 6 : 1;
    for (int k = 0; k < orientations; ++k) {
        if (first.differences(second.oriented[std::size_t(k)]) <= tolerance)
            return true;
    }
    return false;
}

PatternCells patternCells(const QString& text)
{
    PatternCells cells;
    for (int i = 1; i <= std::min(100, int(text.size())); ++i) {
        if (text.at(i - 1) == QLatin1Char('*'))
            cells.dark.set(i);
        else if (text.at(i - 1) == QLatin1Char(' '))
            cells.light.set(i);
    }
    return cells;
}

PatternTextMasks patternTextMasks(const QString& text)
{
    const PatternCells cells = patternCells(text);
    // Every character but a plain cell differs whatever the other pattern holds: another
    // character, or one past cell 100 where the other text has ended.
    const int alwaysDiffer = int(text.size()) - cells.dark.count() - cells.light.count();
    return { turnPattern(cells.dark), turnPattern(cells.light), alwaysDiffer };
}

int comparePatternBitsWithText(const OrientedPattern& turnedFirst, const PatternCells& second, bool softMatch)
{
    constexpr quint64 hiCells = (quint64(1) << 36) - 1;
    int best = PatternNotComparable;
    for (int k = 0; k < (softMatch ? 6 : 1); ++k) {
        const PatternBits& dark = turnedFirst.oriented[std::size_t(k)];
        // A dark cell of the first differs unless the second holds "*" there; a light one
        // unless it holds " ".
        const PatternBits differ { (dark.lo & ~second.dark.lo) | (~dark.lo & ~second.light.lo),
            ((dark.hi & ~second.dark.hi) | (~dark.hi & ~second.light.hi)) & hiCells };
        best = std::min(best, differ.count());
    }
    return best;
}

int comparePatternTextWithBits(const PatternTextMasks& text, const PatternBits& second, bool softMatch)
{
    int best = PatternNotComparable;
    for (int k = 0; k < (softMatch ? 6 : 1); ++k)
        best = std::min(best, text.cellsDiffering(k, second));
    return best + text.alwaysDiffer;
}

int ComparePatterns(const QString& first, const QString& second, bool softMatch, Yielder* yielder)
{
    if (unusable(first) || unusable(second))
        return PatternNotComparable;
    const std::optional<PatternBits> a = PatternBits::fromText(first);
    const std::optional<PatternBits> b = PatternBits::fromText(second);
    const int diff
        = a && b ? comparePatternBits(*a, orientPattern(*b), softMatch) : comparePatternTexts(first, second, softMatch);
    if (yielder)
        yielder->yield();
    return diff;
}
