#include "match/PatternIndex.h"

#include "imagestats/ImageStats.h"
#include "imagestats/OrientationTable.h"
#include "match/PatternScan.h"
#include "platform/Yielder.h"

#include <climits>
#include <cstdlib>

namespace {

// A plain pattern read straight from its UTF-8 text: exactly 100 "*" and " " (each one byte).
std::optional<PatternBits> plainPattern(std::string_view text)
{
    if (text.size() != 100)
        return std::nullopt;
    PatternBits bits;
    bool plain = true;
    for (std::size_t i = 0; i < 100; ++i) {
        const quint64 dark = text[i] == '*';
        plain &= dark || text[i] == ' ';
        if (i < 64)
            bits.lo |= dark << i;
        else
            bits.hi |= dark << (i - 64);
    }
    return plain ? std::optional<PatternBits>(bits) : std::nullopt;
}

constexpr int YieldEvery = 1 << 16;

// Patterns compared in one go before the count of hits is looked at.
constexpr std::size_t Batch = 4096;

} // namespace

bool PatternIndex::comparable(const QString& text)
{
    return text.size() >= 3 && text != imageTooSmallText();
}

void PatternIndex::clear()
{
    m_patterns.clear();
    m_odd.clear();
    m_buckets.clear();
    m_index.clear();
    m_leaving = false;
    m_left.clear();
}

void PatternIndex::add(int pxlnum, std::string_view text)
{
    const auto position = quint32(m_patterns.size());
    Bucket& bucket = m_buckets[pxlnum];
    Pattern pattern;
    pattern.pxlnum = pxlnum;
    if (const std::optional<PatternBits> bits = plainPattern(text)) {
        pattern.bits = *bits;
        bucket.bits.push_back(*bits);
        bucket.plain.push_back(position);
    } else {
        Odd odd { QString::fromUtf8(text.data(), qsizetype(text.size())), std::nullopt };
        if (comparable(odd.text))
            odd.cells = patternCells(odd.text);
        bucket.other.push_back(position);
        if (odd.cells)
            bucket.comparable.push_back(position);
        pattern.odd = quint32(m_odd.size());
        m_odd.push_back(std::move(odd));
    }
    m_patterns.push_back(pattern);
}

std::pair<PatternIndex::BucketIt, PatternIndex::BucketIt> PatternIndex::window(int pxlnum, int tolerance) const
{
    const auto bound = [](qint64 v) { return int(std::clamp<qint64>(v, INT_MIN, INT_MAX)); };
    return { m_buckets.lower_bound(bound(qint64(pxlnum) - tolerance)),
        m_buckets.upper_bound(bound(qint64(pxlnum) + tolerance)) };
}

std::vector<quint32> PatternIndex::positionsWithin(int pxlnum, int tolerance) const
{
    std::vector<quint32> positions;
    const auto [first, last] = window(pxlnum, tolerance);
    for (auto it = first; it != last; ++it) {
        positions.insert(positions.end(), it->second.plain.begin(), it->second.plain.end());
        positions.insert(positions.end(), it->second.other.begin(), it->second.other.end());
    }
    std::sort(positions.begin(), positions.end());
    return positions;
}

void PatternIndex::leave(const std::vector<quint32>& positions)
{
    if (positions.empty())
        return;
    if (!m_leaving) {
        for (auto& [pxlnum, bucket] : m_buckets) {
            bucket.remainingBits = bucket.bits;
            bucket.remainingPlain = bucket.plain;
        }
        m_index.startLeaving();
        m_left.assign(m_patterns.size(), 0);
        m_leaving = true;
    }
    // All of them have left before the lists are packed.
    for (const quint32 position : positions)
        m_left[position] = 1;
    for (const quint32 position : positions)
        leave(position);
}

void PatternIndex::leave(quint32 position)
{
    if (!plain(position))
        return; // only plain patterns are scanned as what remains
    const auto isGone = [this](quint32 id) { return gone(id); };
    Bucket& bucket = m_buckets.find(m_patterns[position].pxlnum)->second;
    if (++bucket.left * 2 > bucket.remainingPlain.size()) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < bucket.remainingPlain.size(); ++i) {
            if (isGone(bucket.remainingPlain[i]))
                continue;
            bucket.remainingPlain[kept] = bucket.remainingPlain[i];
            bucket.remainingBits[kept] = bucket.remainingBits[i];
            ++kept;
        }
        bucket.remainingPlain.resize(kept);
        bucket.remainingBits.resize(kept);
        bucket.left = 0;
    }
    if (m_index.leaving())
        m_index.leave(m_patterns[position].bits, isGone);
}

void PatternIndex::prepare(int tolerance)
{
    if (!PatternBlockIndex::prunes(tolerance) || m_index.builtFor(tolerance))
        return;
    std::vector<PatternBits> patterns;
    std::vector<quint32> ids;
    for (quint32 position = 0; position < size(); ++position) {
        if (plain(position)) {
            patterns.push_back(m_patterns[position].bits);
            ids.push_back(position);
        }
    }
    m_index.build(tolerance, patterns, ids);
    if (m_leaving) {
        m_index.startLeaving();
        for (quint32 position = 0; position < size(); ++position) {
            if (plain(position) && gone(position))
                m_index.leave(m_patterns[position].bits, [this](quint32 id) { return gone(id); });
        }
    }
}

bool PatternIndex::textHits(const QString& reference, int pxlnum, int tolerance, bool softMatch, quint32 from,
    bool remaining, std::size_t limit, std::vector<quint32>& found) const
{
    if (!comparable(reference))
        return true; // every pattern rates 999
    const PatternTextMasks masks = patternTextMasks(reference);
    const int orientations = softMatch ? 6 : 1;
    const auto [first, last] = window(pxlnum, tolerance);
    for (auto it = first; it != last; ++it) {
        const Span span = it->second.span(remaining);
        for (std::size_t at = std::size_t(std::lower_bound(span.ids, span.ids + span.count, from) - span.ids);
             at < span.count; at += Batch) {
            patternscan::masked(
                span.bits + at, span.ids + at, std::min(Batch, span.count - at), masks, orientations, tolerance, found);
            if (found.size() > limit)
                return false;
        }
        // A text that is no usable pattern rates 999, past every tolerance here.
        for (quint32 position : it->second.comparable) {
            if (position >= from && comparePatternTexts(reference, text(position), softMatch) <= tolerance)
                found.push_back(position);
        }
    }
    std::sort(found.begin(), found.end());
    return found.size() <= limit;
}

bool PatternIndex::plainHits(const PatternBits& reference, int pxlnum, int tolerance, bool softMatch, quint32 from,
    bool remaining, std::size_t limit, Scratch& scratch, std::vector<quint32>& found, Yielder* yielder) const
{
    const int orientations = softMatch ? 6 : 1;
    // The reference turned into each orientation, so that each pattern is compared as it is stored.
    const OrientedPattern turned = turnPattern(reference, orientations);
    if (!plainWithin(
            turned.oriented.data(), orientations, pxlnum, tolerance, from, remaining, limit, scratch, found, yielder))
        return false;
    const auto [first, last] = window(pxlnum, tolerance);
    for (auto it = first; it != last; ++it) {
        for (quint32 position : it->second.comparable) {
            if (position >= from
                && comparePatternBitsWithText(turned, *m_odd[m_patterns[position].odd].cells, softMatch) <= tolerance)
                found.push_back(position);
        }
    }
    std::sort(found.begin(), found.end());
    return found.size() <= limit;
}

bool PatternIndex::plainWithin(const PatternBits* turned, int orientations, int pxlnum, int tolerance, quint32 from,
    bool remaining, std::size_t limit, Scratch& scratch, std::vector<quint32>& found, Yielder* yielder) const
{
    auto compare = [&](const PatternBits* bits, const quint32* ids, std::size_t count) {
        if (orientations == 1)
            patternscan::plain(bits, ids, count, turned[0], tolerance, found);
        else
            patternscan::turned(bits, ids, count, turned, tolerance, found);
        return found.size() <= limit;
    };
    const auto [first, last] = window(pxlnum, tolerance);
    std::size_t windowed = 0;
    for (auto it = first; it != last; ++it)
        windowed += it->second.span(remaining).count;
    // A name from the index costs a lookup where the scan reads on in order: prune only when it
    // leaves most of the window out.
    if (m_index.builtFor(tolerance)
        && (remaining ? m_index.remainingLists(turned, orientations, scratch.lists)
                      : m_index.lists(turned, orientations, scratch.lists))
                * 4
            < windowed) {
        // Each position once (a pattern may agree on several blocks), then compared in a row.
        if (scratch.named.size() != m_patterns.size() || ++scratch.stamp == 0) {
            scratch.named.assign(m_patterns.size(), 0);
            scratch.stamp = 1;
        }
        scratch.bits.clear();
        scratch.ids.clear();
        for (const PatternBlockIndex::List& list : scratch.lists) {
            for (const quint32* id = std::lower_bound(list.ids, list.ids + list.count, from);
                 id != list.ids + list.count; ++id) {
                const quint32 position = *id;
                if (scratch.named[position] == scratch.stamp)
                    continue;
                scratch.named[position] = scratch.stamp;
                const Pattern& pattern = m_patterns[position];
                if (std::abs(qint64(pattern.pxlnum) - pxlnum) > tolerance)
                    continue;
                scratch.bits.push_back(pattern.bits);
                scratch.ids.push_back(position);
                if (scratch.ids.size() == Batch) {
                    if (!compare(scratch.bits.data(), scratch.ids.data(), Batch))
                        return false;
                    scratch.bits.clear();
                    scratch.ids.clear();
                }
            }
        }
        return compare(scratch.bits.data(), scratch.ids.data(), scratch.ids.size());
    }
    std::size_t compared = 0;
    for (auto it = first; it != last; ++it) {
        const Span span = it->second.span(remaining);
        // Each bucket lists its positions in order: those before `from` are skipped.
        for (std::size_t at = std::size_t(std::lower_bound(span.ids, span.ids + span.count, from) - span.ids);
             at < span.count; at += Batch) {
            const std::size_t count = std::min(Batch, span.count - at);
            if (!compare(span.bits + at, span.ids + at, count))
                return false;
            compared += count;
            if (yielder && compared >= YieldEvery) {
                compared = 0;
                yielder->yield();
            }
        }
    }
    return true;
}
