#include "match/PatternCandidates.h"

#include "catalogue/CatalogueDatabase.h"
#include "imagestats/ComparePatterns.h"
#include "match/ImageFacts.h"
#include "match/PatternLookahead.h"
#include "match/RuleSettings.h"
#include "platform/Conventions.h"

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <string_view>
#include <thread>

namespace {

std::string_view columnBytes(sqlite3_stmt* statement, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? std::string_view(text, std::size_t(sqlite3_column_bytes(statement, column))) : std::string_view();
}

// Past this many hits a reference's hits are not worked out ahead: the walk finds them itself.
constexpr std::size_t AheadHits = 256;

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
    m_lookahead.reset();
    m_patterns.clear();
    m_byRecnum.clear();
    m_byRowId.clear();
    m_locations.clear();
    m_places.clear();
    m_query = 0;
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
        const auto index = quint32(m_entries.size());
        m_patterns.add(pxlnum, columnBytes(row, 6));
        m_byRecnum.push_back({ entry.recnum, index });
        m_byRowId.push_back({ entry.rowId, index });
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
            if (m_patterns.plain(it->second))
                m_pendingLeave.push_back(it->second);
        }
    }
}

void PatternCandidates::leavePending()
{
    m_patterns.leave(m_pendingLeave);
    m_pendingLeave.clear();
}

bool PatternCandidates::member(const Entry& entry, qint32 referenceRecnum) const
{
    // A record marked while an earlier query's candidates were walked is gone from this one.
    return entry.recnum != referenceRecnum && (entry.markedAt == NotMarked || entry.markedAt >= m_query);
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
    if (!PatternIndex::comparable(reference.PXLRAY))
        return {}; // every candidate rates 999

    std::vector<quint32> found;
    constexpr std::size_t all = std::numeric_limits<std::size_t>::max();
    if (const auto referenceBits = PatternBits::fromText(reference.PXLRAY)) {
        prepare(tolerance, settings.softMatch);
        const quint32* own = entryOfRow(reference.rowId);
        // The reference's own entry: its hits may have been worked out ahead from the first
        // candidate.
        if (m_lookahead && own && m_patterns.bits(*own) == *referenceBits && m_patterns.pxlnum(*own) == reference.PXLNUM
            && m_patterns.plain(*own) && m_lookahead->take(*own, found)) {
            found.erase(found.begin(), std::lower_bound(found.begin(), found.end(), from));
        } else {
            m_patterns.plainHits(*referenceBits, reference.PXLNUM, tolerance, settings.softMatch, from,
                m_patterns.leaving(), all, m_scratch[0], found, yielder);
        }
    } else {
        // A reference that is no plain pattern (cut short, other characters). Worked out ahead
        // as well.
        prepare(tolerance, settings.softMatch);
        const quint32* own = entryOfRow(reference.rowId);
        if (m_lookahead && own && !m_patterns.plain(*own) && m_patterns.pxlnum(*own) == reference.PXLNUM
            && m_patterns.text(*own) == reference.PXLRAY && m_lookahead->take(*own, found)) {
            found.erase(found.begin(), std::lower_bound(found.begin(), found.end(), from));
        } else {
            m_patterns.textHits(reference.PXLRAY, reference.PXLNUM, tolerance, settings.softMatch, from,
                m_patterns.leaving(), all, found);
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
    m_patterns.prepare(tolerance);
    const int workers = m_threads > 1 && m_entries.size() > 1 ? m_threads - 1 : 0;
    m_scratch.resize(std::size_t(workers + 1));
    if (workers == 0)
        return;
    m_aheadTolerance = tolerance;
    m_aheadSoft = softMatch;
    m_lookahead = std::make_unique<PatternLookahead>(quint32(m_entries.size()), workers,
        [this, tolerance, softMatch](quint32 index, int worker, std::vector<quint32>& out) {
            out.clear();
            if (!m_patterns.plain(index)) {
                return m_patterns.textHits(
                    m_patterns.text(index), m_patterns.pxlnum(index), tolerance, softMatch, 0, false, AheadHits, out);
            }
            return m_patterns.plainHits(m_patterns.bits(index), m_patterns.pxlnum(index), tolerance, softMatch, 0,
                false, AheadHits, m_scratch[std::size_t(worker)], out, nullptr);
        });
}

std::optional<PatternCandidates::Hit> PatternCandidates::candidateAt(
    const ImageFacts& reference, int tolerance, quint32 from) const
{
    if (tolerance < 0)
        return std::nullopt;
    const auto isMember = [&](quint32 index) { return member(m_entries[index], reference.RECNUM); };
    for (quint32 at = from;;) {
        const std::optional<quint32> least = m_patterns.firstWithin(reference.PXLNUM, tolerance, at, isMember);
        if (!least)
            return std::nullopt;
        const bool passedOver = at > 0 && m_patterns.patternLength(*least) < 3 && !m_entries[*least].live;
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
    const std::vector<quint32> candidates = m_patterns.positionsWithin(reference.PXLNUM, settings.tolerance);
    // Plain candidates meet the reference's text as bits.
    std::optional<PatternTextMasks> masks;
    if (PatternIndex::comparable(reference.PXLRAY))
        masks = patternTextMasks(reference.PXLRAY);
    auto difference = [&](quint32 index) {
        return masks && m_patterns.plain(index)
            ? comparePatternTextWithBits(*masks, m_patterns.bits(index), settings.softMatch)
            : comparePatternTexts(reference.PXLRAY, m_patterns.patternText(index), settings.softMatch);
    };
    std::vector<Hit> result;
    bool landed = from > 0; // a walk placed further on got there past such records
    for (quint32 index : candidates) {
        const Entry& entry = m_entries[index];
        if (index < from || !member(entry, reference.RECNUM))
            continue;
        const bool passedOver = landed && m_patterns.patternLength(index) < 3 && !entry.live;
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
