#include "match/PatternCandidates.h"

#include "catalogue/CatalogueDatabase.h"
#include "imagestats/ComparePatterns.h"
#include "imagestats/ImageStats.h"
#include "imagestats/OrientationTable.h"
#include "match/ImageFacts.h"
#include "match/PatternLookahead.h"
#include "match/RuleSettings.h"
#include "platform/Conventions.h"
#include "platform/Yielder.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdlib>
#include <thread>

namespace {

QString columnText(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(statement, column)) : QString();
}

bool usablePattern(const QString& text)
{
    return text.size() >= 3 && text != imageTooSmallText();
}

constexpr int YieldEvery = 1 << 16;

// The comparison loops, built twice: with the processor's popcount instruction where it has
// one, and without.
__attribute__((target_clones("popcnt", "default"))) void scanPlain(const PatternBits* bits, const quint32* entries,
    std::size_t count, PatternBits reference, int tolerance, std::vector<quint32>& found)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (std::popcount(bits[i].lo ^ reference.lo) + std::popcount(bits[i].hi ^ reference.hi) <= tolerance)
            found.push_back(entries[i]);
    }
}

// Soft matching: the least difference over the six orientations, stopping at the first that
// is within the tolerance.
__attribute__((target_clones("popcnt", "default"))) void scanTurned(const PatternBits* bits, const quint32* entries,
    std::size_t count, const PatternBits* turned, int tolerance, std::vector<quint32>& found)
{
    for (std::size_t i = 0; i < count; ++i) {
        const quint64 lo = bits[i].lo, hi = bits[i].hi;
        for (int k = 0; k < 6; ++k) {
            if (std::popcount(turned[k].lo ^ lo) + std::popcount(turned[k].hi ^ hi) <= tolerance) {
                found.push_back(entries[i]);
                break;
            }
        }
    }
}

// A reference given as text masks against plain candidates.
__attribute__((target_clones("popcnt", "default"))) void scanMasked(const PatternBits* bits, const quint32* entries,
    std::size_t count, const PatternTextMasks& masks, int orientations, int tolerance, std::vector<quint32>& found)
{
    const int within = tolerance - masks.alwaysDiffer;
    if (within < 0)
        return;
    for (std::size_t i = 0; i < count; ++i) {
        for (int k = 0; k < orientations; ++k) {
            if (masks.cellsDiffering(k, bits[i]) <= within) {
                found.push_back(entries[i]);
                break;
            }
        }
    }
}

} // namespace

PatternCandidates::PatternCandidates() = default;
PatternCandidates::~PatternCandidates() = default;

int PatternCandidates::defaultThreadCount()
{
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

bool PatternCandidates::takeState(Entry& entry, const QString& rtag, const QString& location)
{
    const bool deleted = rtag == QLatin1String("D");
    const bool live = rtag == QLatin1String(" ");
    const int place = *m_locations.insert(location, m_locations.value(location, int(m_locations.size())));
    const bool changed = deleted != entry.deleted || live != entry.live || place != entry.location;
    entry.deleted = deleted;
    entry.live = live;
    entry.location = place;
    return changed;
}

void PatternCandidates::load(CatalogueDatabase& database, const QString& activeCode)
{
    m_entries.clear();
    m_lookahead.reset();
    m_buckets.clear();
    m_compact.clear();
    m_index.clear();
    m_byRecnum.clear();
    m_byRowId.clear();
    m_locations.clear();
    m_query = 0;
    ++m_rowState;
    m_database = &database;
    m_seen = database.changeMark();
    CatalogueDatabase::Lease lease = database.prepare(
        QByteArrayLiteral("SELECT rowid, RECNUM, PXLNUM, RTAG, DRIVEVOLUME, PATH, PXLRAY FROM FILES WHERE ACTIVE = ? "
                          "ORDER BY RECNUM, rowid"));
    lease.bindAll({ activeCode });
    sqlite3_stmt* row = lease.handle();
    while (lease.step()) {
        Entry entry;
        entry.rowId = sqlite3_column_int64(row, 0);
        entry.recnum
            = qint32(conv::roundHalfEven(std::clamp(sqlite3_column_double(row, 1), -2147483648.0, 2147483647.0)));
        const int pxlnum = sqlite3_column_int(row, 2);
        takeState(entry, columnText(row, 3), columnText(row, 4) + QLatin1Char(' ') + columnText(row, 5));
        const QString pattern = columnText(row, 6);
        entry.patternLength = pattern.size();
        const auto bits = PatternBits::fromText(pattern);
        entry.standard = bits.has_value();
        if (!bits)
            entry.text = pattern;
        if (!bits && usablePattern(pattern))
            entry.cells = patternCells(pattern);
        const auto index = quint32(m_entries.size());
        Bucket& bucket = m_buckets[pxlnum];
        if (entry.standard) {
            bucket.bits.push_back(*bits);
            bucket.plain.push_back(index);
        } else {
            bucket.other.push_back(index);
        }
        m_byRecnum.emplace(entry.recnum, index);
        m_byRowId.emplace(entry.rowId, index);
        m_compact.push_back({ bits.value_or(PatternBits()), pxlnum });
        m_entries.push_back(std::move(entry));
    }
}

void PatternCandidates::followChanges()
{
    if (!m_database || m_database->changeMark() == m_seen)
        return;
    std::vector<std::int64_t> changed;
    using namespace CatalogueFields;
    if (!m_database->filesRowsChangedSince(m_seen, changed, bit(RTAG) | bit(DRIVEVOLUME) | bit(PATH))) {
        changed.clear();
        for (const Entry& entry : m_entries)
            changed.push_back(entry.rowId);
    }
    m_seen = m_database->changeMark();
    for (const std::int64_t rowId : changed) {
        const auto found = m_byRowId.find(rowId);
        if (found == m_byRowId.end())
            continue;
        CatalogueDatabase::Lease lease
            = m_database->prepare(QByteArrayLiteral("SELECT RTAG, DRIVEVOLUME, PATH FROM FILES WHERE rowid = ?"));
        lease.bindAll({ qint64(rowId) });
        Entry& entry = m_entries[found->second];
        bool changed = false;
        if (lease.step()) {
            sqlite3_stmt* row = lease.handle();
            changed = takeState(entry, columnText(row, 0), columnText(row, 1) + QLatin1Char(' ') + columnText(row, 2));
        } else {
            changed = !entry.deleted || entry.live;
            entry.deleted = true; // gone from the catalogue: as good as deleted
            entry.live = false;
        }
        if (changed)
            ++m_rowState;
    }
}

quint64 PatternCandidates::rowState()
{
    followChanges();
    return m_rowState;
}

void PatternCandidates::startQuery()
{
    followChanges();
    ++m_query;
}

void PatternCandidates::marked(qint32 recnum)
{
    const auto [first, last] = m_byRecnum.equal_range(recnum);
    for (auto it = first; it != last; ++it) {
        Entry& entry = m_entries[it->second];
        if (entry.markedAt == NotMarked)
            entry.markedAt = m_query;
    }
}

bool PatternCandidates::member(const Entry& entry, qint32 referenceRecnum) const
{
    // A record marked while an earlier query's candidates were walked is gone from this one.
    return entry.recnum != referenceRecnum && (entry.markedAt == NotMarked || entry.markedAt >= m_query);
}

std::pair<PatternCandidates::BucketIt, PatternCandidates::BucketIt> PatternCandidates::window(
    int pxlnum, int tolerance) const
{
    const auto bound = [](qint64 v) { return int(std::clamp<qint64>(v, INT_MIN, INT_MAX)); };
    return { m_buckets.lower_bound(bound(qint64(pxlnum) - tolerance)),
        m_buckets.upper_bound(bound(qint64(pxlnum) + tolerance)) };
}

QString PatternCandidates::patternText(quint32 index) const
{
    return m_entries[index].standard ? m_compact[index].bits.toText() : m_entries[index].text;
}

std::vector<PatternCandidates::Hit> PatternCandidates::hitsFrom(
    const ImageFacts& reference, const RuleSettings& settings, quint32 from, Yielder* yielder)
{
    followChanges();
    const int tolerance = settings.tolerance;
    if (tolerance < 0)
        return {}; // an empty window of dark-cell counts
    const int location = m_locations.value(reference.fileLocation(), -1);
    if (tolerance >= PatternNotComparable)
        return slowHits(reference, settings, location, from);
    if (!usablePattern(reference.PXLRAY))
        return {}; // every candidate rates 999

    const int orientations = settings.softMatch ? 6 : 1;
    std::vector<quint32> found;
    if (const auto referenceBits = PatternBits::fromText(reference.PXLRAY)) {
        prepare(tolerance, settings.softMatch);
        const auto own = m_byRowId.find(reference.rowId);
        if (m_lookahead && own != m_byRowId.end() && m_compact[own->second].bits == *referenceBits
            && m_compact[own->second].pxlnum == reference.PXLNUM && m_entries[own->second].standard) {
            // The reference's own entry: its hits were worked out ahead from the first candidate.
            m_lookahead->take(own->second, found);
            found.erase(found.begin(), std::lower_bound(found.begin(), found.end(), from));
        } else {
            plainReferenceHits(
                *referenceBits, reference.PXLNUM, tolerance, settings.softMatch, from, m_scratch[0], found, yielder);
        }
    } else {
        // A reference that is no plain pattern (cut short, other characters): every candidate
        // of the window is compared, the plain ones as bits.
        const PatternTextMasks masks = patternTextMasks(reference.PXLRAY);
        const auto [first, last] = window(reference.PXLNUM, tolerance);
        for (auto it = first; it != last; ++it) {
            const Bucket& bucket = it->second;
            const std::size_t skip
                = std::size_t(std::lower_bound(bucket.plain.begin(), bucket.plain.end(), from) - bucket.plain.begin());
            scanMasked(bucket.bits.data() + skip, bucket.plain.data() + skip, bucket.bits.size() - skip, masks,
                orientations, tolerance, found);
            for (quint32 index : bucket.other) {
                if (index >= from
                    && comparePatternTexts(reference.PXLRAY, m_entries[index].text, settings.softMatch) <= tolerance)
                    found.push_back(index);
            }
        }
    }

    std::sort(found.begin(), found.end());
    std::vector<Hit> result;
    for (quint32 index : found) {
        const Entry& entry = m_entries[index];
        if (!member(entry, reference.RECNUM) || entry.deleted)
            continue;
        if (settings.exclusive && entry.location != location)
            continue;
        result.push_back(hitOf(index));
    }
    return result;
}

void PatternCandidates::prepare(int tolerance, bool softMatch)
{
    if (m_lookahead && m_aheadTolerance == tolerance && m_aheadSoft == softMatch)
        return;
    m_lookahead.reset(); // its workers read the index
    if (PatternBlockIndex::prunes(tolerance) && !m_index.builtFor(tolerance)) {
        std::vector<PatternBits> patterns;
        std::vector<quint32> ids;
        for (quint32 index = 0; index < m_entries.size(); ++index) {
            if (m_entries[index].standard) {
                patterns.push_back(m_compact[index].bits);
                ids.push_back(index);
            }
        }
        m_index.build(tolerance, patterns, ids);
    }
    const int workers = m_threads > 1 && m_entries.size() > 1 ? m_threads - 1 : 0;
    m_scratch.resize(std::size_t(workers + 1));
    if (workers == 0)
        return;
    m_aheadTolerance = tolerance;
    m_aheadSoft = softMatch;
    m_lookahead = std::make_unique<PatternLookahead>(quint32(m_entries.size()), workers,
        [this, tolerance, softMatch](quint32 index, int worker, std::vector<quint32>& out) {
            out.clear();
            if (m_entries[index].standard) {
                plainReferenceHits(m_compact[index].bits, m_compact[index].pxlnum, tolerance, softMatch, 0,
                    m_scratch[std::size_t(worker)], out, nullptr);
            }
        });
}

void PatternCandidates::plainReferenceHits(const PatternBits& reference, int pxlnum, int tolerance, bool softMatch,
    quint32 from, Scratch& scratch, std::vector<quint32>& found, Yielder* yielder) const
{
    const int orientations = softMatch ? 6 : 1;
    // The reference turned into each orientation, so that each candidate is compared as it is stored.
    const OrientedPattern turned = turnPattern(reference, orientations);
    plainWithin(turned.oriented.data(), orientations, pxlnum, tolerance, from, scratch, found, yielder);
    const auto [first, last] = window(pxlnum, tolerance);
    for (auto it = first; it != last; ++it) {
        for (quint32 index : it->second.other) {
            // A text that is no usable pattern rates 999, past every tolerance here.
            const Entry& entry = m_entries[index];
            if (index >= from && entry.cells
                && comparePatternBitsWithText(turned, *entry.cells, softMatch) <= tolerance)
                found.push_back(index);
        }
    }
    std::sort(found.begin(), found.end());
}

void PatternCandidates::plainWithin(const PatternBits* turned, int orientations, int pxlnum, int tolerance,
    quint32 from, Scratch& scratch, std::vector<quint32>& found, Yielder* yielder) const
{
    const auto [first, last] = window(pxlnum, tolerance);
    std::size_t windowed = 0;
    for (auto it = first; it != last; ++it)
        windowed += it->second.bits.size();
    // A name from the index costs a lookup where the scan reads on in order: prune only when it
    // leaves most of the window out.
    if (m_index.builtFor(tolerance) && m_index.lists(turned, orientations, scratch.lists) * 4 < windowed) {
        // Each entry once (an entry may agree on several blocks), then compared in a row.
        if (scratch.named.size() != m_entries.size() || ++scratch.stamp == 0) {
            scratch.named.assign(m_entries.size(), 0);
            scratch.stamp = 1;
        }
        scratch.bits.clear();
        scratch.ids.clear();
        for (const PatternBlockIndex::List& list : scratch.lists) {
            for (const quint32* id = std::lower_bound(list.ids, list.ids + list.count, from);
                 id != list.ids + list.count; ++id) {
                const quint32 index = *id;
                if (scratch.named[index] == scratch.stamp)
                    continue;
                scratch.named[index] = scratch.stamp;
                const Compact& compact = m_compact[index];
                if (std::abs(qint64(compact.pxlnum) - pxlnum) <= tolerance) {
                    scratch.bits.push_back(compact.bits);
                    scratch.ids.push_back(index);
                }
            }
        }
        if (orientations == 1)
            scanPlain(scratch.bits.data(), scratch.ids.data(), scratch.ids.size(), turned[0], tolerance, found);
        else
            scanTurned(scratch.bits.data(), scratch.ids.data(), scratch.ids.size(), turned, tolerance, found);
        return;
    }
    std::size_t compared = 0;
    for (auto it = first; it != last; ++it) {
        const Bucket& bucket = it->second;
        // Each bucket lists its entries in the query's order: those before `from` are skipped.
        const std::size_t skip
            = std::size_t(std::lower_bound(bucket.plain.begin(), bucket.plain.end(), from) - bucket.plain.begin());
        const std::size_t count = bucket.bits.size() - skip;
        if (orientations == 1)
            scanPlain(bucket.bits.data() + skip, bucket.plain.data() + skip, count, turned[0], tolerance, found);
        else
            scanTurned(bucket.bits.data() + skip, bucket.plain.data() + skip, count, turned, tolerance, found);
        compared += count;
        if (yielder && compared >= YieldEvery) {
            compared = 0;
            yielder->yield();
        }
    }
}

std::optional<PatternCandidates::Hit> PatternCandidates::candidateAt(
    const ImageFacts& reference, int tolerance, quint32 from) const
{
    if (tolerance < 0)
        return std::nullopt;
    // Each bucket lists its entries in the query's order: the candidate is the least of the
    // buckets' first members at or after the position.
    const auto [first, end] = window(reference.PXLNUM, tolerance);
    for (quint32 at = from;;) {
        std::optional<quint32> least;
        auto consider = [&](const std::vector<quint32>& entries) {
            for (auto it = std::lower_bound(entries.begin(), entries.end(), at); it != entries.end(); ++it) {
                if (least && *it >= *least)
                    return;
                if (member(m_entries[*it], reference.RECNUM)) {
                    least = *it;
                    return;
                }
            }
        };
        for (auto it = first; it != end; ++it) {
            consider(it->second.plain);
            consider(it->second.other);
        }
        if (!least)
            return std::nullopt;
        const Entry& entry = m_entries[*least];
        const bool passedOver = at > 0 && entry.patternLength < 3 && !entry.live;
        if (!passedOver)
            return hitOf(*least);
        at = *least + 1;
    }
}

std::vector<PatternCandidates::Hit> PatternCandidates::slowHits(
    const ImageFacts& reference, const RuleSettings& settings, int location, quint32 from)
{
    // Record by record as the catalogue cursor walks them: the first candidate is taken as the
    // query gives it, later ones past the records that are tagged and carry no pattern.
    std::vector<quint32> candidates;
    const auto [first, last] = window(reference.PXLNUM, settings.tolerance);
    for (auto it = first; it != last; ++it) {
        for (quint32 index : it->second.plain)
            candidates.push_back(index);
        for (quint32 index : it->second.other)
            candidates.push_back(index);
    }
    std::sort(candidates.begin(), candidates.end());
    // Plain candidates meet the reference's text as bits.
    std::optional<PatternTextMasks> masks;
    if (usablePattern(reference.PXLRAY))
        masks = patternTextMasks(reference.PXLRAY);
    auto difference = [&](quint32 index) {
        return masks && m_entries[index].standard
            ? comparePatternTextWithBits(*masks, m_compact[index].bits, settings.softMatch)
            : comparePatternTexts(reference.PXLRAY, patternText(index), settings.softMatch);
    };
    std::vector<Hit> result;
    bool landed = from > 0; // a walk placed further on got there past such records
    for (quint32 index : candidates) {
        const Entry& entry = m_entries[index];
        if (index < from || !member(entry, reference.RECNUM))
            continue;
        const bool passedOver = landed && entry.patternLength < 3 && !entry.live;
        landed = true;
        if (passedOver || entry.deleted)
            continue;
        if (difference(index) > settings.tolerance)
            continue;
        if (settings.exclusive && entry.location != location)
            continue;
        result.push_back(hitOf(index));
    }
    return result;
}
