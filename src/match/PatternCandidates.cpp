#include "match/PatternCandidates.h"

#include "catalogue/CatalogueDatabase.h"
#include "imagestats/ComparePatterns.h"
#include "imagestats/ImageStats.h"
#include "imagestats/OrientationTable.h"
#include "match/ImageFacts.h"
#include "match/PatternLookahead.h"
#include "match/PatternScan.h"
#include "match/RuleSettings.h"
#include "platform/Conventions.h"
#include "platform/Yielder.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <thread>

namespace {

std::string_view columnBytes(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? std::string_view(text, std::size_t(sqlite3_column_bytes(statement, column))) : std::string_view();
}

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

bool usablePattern(const QString& text)
{
    return text.size() >= 3 && text != imageTooSmallText();
}

constexpr int YieldEvery = 1 << 16;

// Past this many hits a reference's hits are not worked out ahead: the walk finds them itself.
constexpr std::size_t AheadHits = 256;
// Candidates compared in one go before the count of hits is looked at.
constexpr std::size_t Batch = 4096;

} // namespace

PatternCandidates::PatternCandidates() = default;
PatternCandidates::~PatternCandidates() = default;

int PatternCandidates::defaultThreadCount()
{
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

bool PatternCandidates::takeState(Entry& entry, sqlite3_stmt* row, int firstColumn)
{
    // RTAG, DRIVEVOLUME and PATH from the row's columns.
    const std::string_view rtag = columnBytes(row, firstColumn);
    const bool deleted = rtag == "D";
    const bool live = rtag == " ";
    m_placeKey.assign(columnBytes(row, firstColumn + 1));
    m_placeKey += ' ';
    m_placeKey += columnBytes(row, firstColumn + 2);
    auto place = m_places.find(m_placeKey);
    if (place == m_places.end()) {
        const QString location = QString::fromStdString(m_placeKey);
        place = m_places.emplace(m_placeKey, m_locations.value(location, int(m_locations.size()))).first;
        m_locations.insert(location, place->second);
    }
    const bool changed = deleted != entry.deleted || live != entry.live || place->second != entry.location;
    entry.deleted = deleted;
    entry.live = live;
    entry.location = place->second;
    return changed;
}

void PatternCandidates::load(CatalogueDatabase& database, const QString& activeCode)
{
    m_entries.clear();
    m_odd.clear();
    m_lookahead.reset();
    m_buckets.clear();
    m_compact.clear();
    m_index.clear();
    m_byRecnum.clear();
    m_byRowId.clear();
    m_locations.clear();
    m_places.clear();
    m_query = 0;
    m_leaving = false;
    m_pendingLeave.clear();
    ++m_rowState;
    m_database = &database;
    m_seen = database.changeMark();
    // In the order of the RECNUM index, which is the query's order: no sort.
    CatalogueDatabase::Lease lease = database.prepare(
        QByteArrayLiteral("SELECT rowid, RECNUM, PXLNUM, RTAG, DRIVEVOLUME, PATH, PXLRAY FROM FILES WHERE +ACTIVE = ? "
                          "ORDER BY RECNUM, rowid"));
    lease.bindAll({ activeCode });
    sqlite3_stmt* row = lease.handle();
    while (lease.step()) {
        Entry entry;
        entry.rowId = sqlite3_column_int64(row, 0);
        entry.recnum
            = qint32(conv::roundHalfEven(std::clamp(sqlite3_column_double(row, 1), -2147483648.0, 2147483647.0)));
        const int pxlnum = sqlite3_column_int(row, 2);
        takeState(entry, row, 3);
        const std::string_view bytes = columnBytes(row, 6);
        const auto index = quint32(m_entries.size());
        Bucket& bucket = m_buckets[pxlnum];
        std::optional<PatternBits> bits = plainPattern(bytes);
        if (bits) {
            entry.patternLength = 100;
            entry.standard = true;
            bucket.bits.push_back(*bits);
            bucket.plain.push_back(index);
        } else {
            const QString pattern = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
            entry.patternLength = int(pattern.size());
            entry.odd = quint32(m_odd.size());
            Odd odd { pattern, std::nullopt };
            if (usablePattern(pattern))
                odd.cells = patternCells(pattern);
            bucket.other.push_back(index);
            if (odd.cells)
                bucket.comparable.push_back(index);
            m_odd.push_back(std::move(odd));
        }
        m_byRecnum.push_back({ entry.recnum, index });
        m_byRowId.push_back({ entry.rowId, index });
        m_compact.push_back({ bits.value_or(PatternBits()), pxlnum });
        m_entries.push_back(entry);
    }
    // Both already in order, as a rule.
    std::sort(m_byRecnum.begin(), m_byRecnum.end());
    std::sort(m_byRowId.begin(), m_byRowId.end());
}

const quint32* PatternCandidates::entryOfRow(std::int64_t rowId) const
{
    const auto found = std::lower_bound(m_byRowId.begin(), m_byRowId.end(), std::pair<std::int64_t, quint32>(rowId, 0));
    return found != m_byRowId.end() && found->first == rowId ? &found->second : nullptr;
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
        const quint32* index = entryOfRow(rowId);
        if (!index)
            continue;
        CatalogueDatabase::Lease lease
            = m_database->prepare(QByteArrayLiteral("SELECT RTAG, DRIVEVOLUME, PATH FROM FILES WHERE rowid = ?"));
        lease.bindAll({ qint64(rowId) });
        Entry& entry = m_entries[*index];
        bool changed = false;
        if (lease.step()) {
            changed = takeState(entry, lease.handle(), 0);
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
    leavePending();
}

void PatternCandidates::marked(qint32 recnum)
{
    const auto [first, last] = std::equal_range(m_byRecnum.begin(), m_byRecnum.end(), recnum, ByRecnum());
    for (auto it = first; it != last; ++it) {
        Entry& entry = m_entries[it->second];
        if (entry.markedAt == NotMarked) {
            entry.markedAt = m_query;
            if (entry.standard)
                m_pendingLeave.push_back(it->second);
        }
    }
}

void PatternCandidates::leavePending()
{
    if (m_pendingLeave.empty())
        return;
    if (!m_leaving) {
        for (auto& [pxlnum, bucket] : m_buckets) {
            bucket.remainingBits = bucket.bits;
            bucket.remainingPlain = bucket.plain;
        }
        m_index.startLeaving();
        m_leaving = true;
    }
    for (const quint32 index : m_pendingLeave)
        leave(index);
    m_pendingLeave.clear();
}

void PatternCandidates::leave(quint32 index)
{
    const auto isGone = [this](quint32 id) { return gone(id); };
    Bucket& bucket = m_buckets.find(m_compact[index].pxlnum)->second;
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
        m_index.leave(m_compact[index].bits, isGone);
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
    return m_entries[index].standard ? m_compact[index].bits.toText() : m_odd[m_entries[index].odd].text;
}

std::vector<PatternCandidates::Hit> PatternCandidates::hitsFrom(
    const ImageFacts& reference, const RuleSettings& settings, quint32 from, Yielder* yielder)
{
    followChanges();
    const int tolerance = settings.tolerance;
    if (tolerance < 0)
        return {}; // an empty window of dark-cell counts
    // Only exclusive matching compares locations.
    const int location = settings.exclusive ? m_locations.value(reference.fileLocation(), -1) : -1;
    if (tolerance >= PatternNotComparable)
        return slowHits(reference, settings, location, from);
    if (!usablePattern(reference.PXLRAY))
        return {}; // every candidate rates 999

    std::vector<quint32> found;
    if (const auto referenceBits = PatternBits::fromText(reference.PXLRAY)) {
        prepare(tolerance, settings.softMatch);
        const quint32* own = entryOfRow(reference.rowId);
        // The reference's own entry: its hits may have been worked out ahead from the first
        // candidate.
        if (m_lookahead && own && m_compact[*own].bits == *referenceBits && m_compact[*own].pxlnum == reference.PXLNUM
            && m_entries[*own].standard && m_lookahead->take(*own, found)) {
            found.erase(found.begin(), std::lower_bound(found.begin(), found.end(), from));
        } else {
            plainReferenceHits(*referenceBits, reference.PXLNUM, tolerance, settings.softMatch, from, m_leaving,
                std::numeric_limits<std::size_t>::max(), m_scratch[0], found, yielder);
        }
    } else {
        // A reference that is no plain pattern (cut short, other characters): every candidate
        // of the window is compared, the plain ones as bits. Worked out ahead as well.
        prepare(tolerance, settings.softMatch);
        const quint32* own = entryOfRow(reference.rowId);
        if (m_lookahead && own && !m_entries[*own].standard && m_compact[*own].pxlnum == reference.PXLNUM
            && m_odd[m_entries[*own].odd].text == reference.PXLRAY && m_lookahead->take(*own, found)) {
            found.erase(found.begin(), std::lower_bound(found.begin(), found.end(), from));
        } else {
            textReferenceHits(reference.PXLRAY, reference.PXLNUM, tolerance, settings.softMatch, from, m_leaving,
                std::numeric_limits<std::size_t>::max(), found);
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
        if (m_leaving) {
            m_index.startLeaving();
            for (quint32 index = 0; index < m_entries.size(); ++index) {
                if (m_entries[index].standard && gone(index))
                    m_index.leave(m_compact[index].bits, [this](quint32 id) { return gone(id); });
            }
        }
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
            if (!m_entries[index].standard) {
                return textReferenceHits(m_odd[m_entries[index].odd].text, m_compact[index].pxlnum, tolerance,
                    softMatch, 0, false, AheadHits, out);
            }
            return plainReferenceHits(m_compact[index].bits, m_compact[index].pxlnum, tolerance, softMatch, 0, false,
                AheadHits, m_scratch[std::size_t(worker)], out, nullptr);
        });
}

bool PatternCandidates::textReferenceHits(const QString& reference, int pxlnum, int tolerance, bool softMatch,
    quint32 from, bool remaining, std::size_t limit, std::vector<quint32>& found) const
{
    if (!usablePattern(reference))
        return true; // every candidate rates 999
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
        for (quint32 index : it->second.comparable) {
            if (index >= from
                && comparePatternTexts(reference, m_odd[m_entries[index].odd].text, softMatch) <= tolerance)
                found.push_back(index);
        }
    }
    std::sort(found.begin(), found.end());
    return found.size() <= limit;
}

bool PatternCandidates::plainReferenceHits(const PatternBits& reference, int pxlnum, int tolerance, bool softMatch,
    quint32 from, bool remaining, std::size_t limit, Scratch& scratch, std::vector<quint32>& found,
    Yielder* yielder) const
{
    const int orientations = softMatch ? 6 : 1;
    // The reference turned into each orientation, so that each candidate is compared as it is stored.
    const OrientedPattern turned = turnPattern(reference, orientations);
    if (!plainWithin(
            turned.oriented.data(), orientations, pxlnum, tolerance, from, remaining, limit, scratch, found, yielder))
        return false;
    const auto [first, last] = window(pxlnum, tolerance);
    for (auto it = first; it != last; ++it) {
        for (quint32 index : it->second.comparable) {
            if (index >= from
                && comparePatternBitsWithText(turned, *m_odd[m_entries[index].odd].cells, softMatch) <= tolerance)
                found.push_back(index);
        }
    }
    std::sort(found.begin(), found.end());
    return found.size() <= limit;
}

bool PatternCandidates::plainWithin(const PatternBits* turned, int orientations, int pxlnum, int tolerance,
    quint32 from, bool remaining, std::size_t limit, Scratch& scratch, std::vector<quint32>& found,
    Yielder* yielder) const
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
                if (std::abs(qint64(compact.pxlnum) - pxlnum) > tolerance)
                    continue;
                scratch.bits.push_back(compact.bits);
                scratch.ids.push_back(index);
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
        // Each bucket lists its entries in the query's order: those before `from` are skipped.
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
