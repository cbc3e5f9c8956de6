#include "catalogue/SqlRecordSet.h"

#include "catalogue/CatalogueReadScope.h"

#include <sqlite3.h>

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace {

const QByteArray& rowText()
{
    static const QByteArray sql = "SELECT " + CatalogueFields::columnList() + " FROM FILES WHERE rowid = ?";
    return sql;
}

// Rows changed through this connection are read afresh; past this many the held fields are
// given up rather than kept in step.
constexpr std::size_t StaleRowsLimit = 4096;

} // namespace

SqlRecordSet::SqlRecordSet(CatalogueDatabase& database)
    : m_database(database)
{
}

void SqlRecordSet::setSource(const QString& where, const QString& orderBy, const QVariantList& params)
{
    m_where = where;
    m_orderBy = orderBy;
    m_params = params;
}

void SqlRecordSet::refresh()
{
    m_editor.cancel();
    m_keys.clear();
    m_positionOf.clear();
    dropHeld();
    // Fields are held only where the moment of reading is a committed state: a rollback of
    // this connection's own open changes would undo what was read without telling.
    const bool hold = m_wantHeld != 0 && !m_database.inWriteTransaction();
    if (hold)
        m_held.reset(m_wantHeld);

    QString sql = QStringLiteral("SELECT rowid");
    if (hold)
        sql += QStringLiteral(", ") + QString::fromLatin1(m_held.columnList());
    // A set that holds fields reads every member's row: in storage order, by a scan, rather
    // than one seek per row through an index on the condition.
    sql += hold ? QStringLiteral(" FROM FILES NOT INDEXED") : QStringLiteral(" FROM FILES");
    if (!m_where.trimmed().isEmpty())
        sql += QStringLiteral(" WHERE (") + m_where + QLatin1Char(')');
    sql += QStringLiteral(" ORDER BY ");
    if (!m_orderBy.trimmed().isEmpty())
        sql += m_orderBy + QStringLiteral(", ");
    sql += QStringLiteral("rowid");
    {
        // The keyset, the held fields and the marks they are checked against: one read.
        std::optional<CatalogueReadScope> oneRead;
        if (hold) {
            oneRead.emplace(m_database);
            m_heldVersion = m_database.dataVersion();
            m_heldMark = m_database.changeMark();
        }
        CatalogueDatabase::Lease lease = m_database.prepare(sql);
        lease.bindAll(m_params);
        while (lease.step()) {
            m_keys.push_back(sqlite3_column_int64(lease.handle(), 0));
            if (hold)
                m_held.append(lease.handle(), 1);
        }
    }
    m_held.squeeze();
    land(0);
}

void SqlRecordSet::dropHeld()
{
    m_held.reset();
    m_staleRows = {};
    m_heldRecord = CatalogueRecord();
    m_heldRecordLanding = 0;
    m_heldRecordFields = 0;
}

void SqlRecordSet::land(qsizetype position)
{
    m_editor.cancel();
    m_position = position;
    ++m_landing;
    m_landingMark = m_database.changeMark();
    m_currentRead = false;
    if (hasCurrent() && m_walks == 0)
        readCurrent();
}

bool SqlRecordSet::readRowInto(std::int64_t rowId, CatalogueRecord& record) const
{
    CatalogueDatabase::Lease lease = m_database.prepare(rowText());
    sqlite3_bind_int64(lease.handle(), 1, rowId);
    const bool found = lease.step();
    if (found) {
        CatalogueFields::readRecord(lease.handle(), 0, record);
    } else {
        record = CatalogueRecord();
        record.RTAG = QStringLiteral("D");
    }
    record.rowId = rowId;
    return found;
}

void SqlRecordSet::readCurrent() const
{
    m_rowDeleted = !readRowInto(m_keys[size_t(m_position)], m_current);
    m_currentRead = true;
}

quint64 SqlRecordSet::landing() const
{
    followCurrentRow();
    return m_landing;
}

void SqlRecordSet::followCurrentRow() const
{
    if (!hasCurrent() || m_editor.active())
        return;
    const CatalogueDatabase::ChangeMark mark = m_database.changeMark();
    if (mark == m_landingMark)
        return;
    std::vector<std::int64_t> changed;
    const bool told = m_database.filesRowsChangedSince(m_landingMark, changed);
    m_landingMark = mark;
    if (told && std::find(changed.begin(), changed.end(), m_keys[size_t(m_position)]) == changed.end())
        return;
    m_currentRead = false;
    ++m_landing;
}

CatalogueRecord SqlRecordSet::readRow(std::int64_t rowId) const
{
    CatalogueRecord record;
    readRowInto(rowId, record);
    return record;
}

bool SqlRecordSet::heldStillTrue(std::int64_t rowId)
{
    if (m_held.size() == 0)
        return false;
    const CatalogueDatabase::ChangeMark mark = m_database.changeMark();
    if (!(mark == m_heldMark)) {
        std::vector<std::int64_t> changed;
        if (!m_database.filesRowsChangedSince(m_heldMark, changed, m_held.fields())) {
            dropHeld();
            return false;
        }
        m_staleRows.insert(changed.begin(), changed.end());
        m_heldMark = mark;
        if (m_staleRows.size() > StaleRowsLimit) {
            dropHeld();
            return false;
        }
    }
    if (m_database.dataVersion() != m_heldVersion) {
        dropHeld();
        return false;
    }
    return m_staleRows.empty() || !m_staleRows.contains(rowId);
}

void SqlRecordSet::moveFirst()
{
    land(0);
}

void SqlRecordSet::moveLast()
{
    land(m_keys.empty() ? 0 : qsizetype(m_keys.size()) - 1);
}

void SqlRecordSet::moveNext()
{
    if (m_keys.empty() || isEof())
        return;
    land(m_position + 1);
}

void SqlRecordSet::movePrevious()
{
    if (m_keys.empty() || m_position < 0)
        return;
    land(m_position - 1);
}

bool SqlRecordSet::findFirst(const QString& criteria, const QVariantList& params)
{
    if (m_positionOf.empty() && !m_keys.empty()) {
        m_positionOf.reserve(m_keys.size());
        for (size_t i = 0; i < m_keys.size(); ++i)
            m_positionOf.emplace(m_keys[i], qsizetype(i));
    }
    // The condition runs in SQL over the current rows; the first member in set order wins.
    qsizetype best = -1;
    {
        CatalogueDatabase::Lease lease
            = m_database.prepare(QStringLiteral("SELECT rowid FROM FILES WHERE (%1)").arg(criteria));
        lease.bindAll(params);
        while (lease.step()) {
            auto found = m_positionOf.find(sqlite3_column_int64(lease.handle(), 0));
            if (found != m_positionOf.end() && (best < 0 || found->second < best))
                best = found->second;
        }
    }
    m_noMatch = best < 0;
    if (!m_noMatch)
        land(best);
    return !m_noMatch;
}

const CatalogueRecord& SqlRecordSet::record() const
{
    if (m_editor.active())
        return m_editor.buffer();
    if (!hasCurrent())
        throw std::logic_error("no current record (EOF or BOF)");
    followCurrentRow();
    if (!m_currentRead)
        readCurrent();
    return m_current;
}

const CatalogueRecord& SqlRecordSet::recordWith(CatalogueFields::FieldMask fields, bool* whole)
{
    auto wholeRecord = [&]() -> const CatalogueRecord& {
        if (whole)
            *whole = true;
        return record();
    };
    followCurrentRow();
    if (m_editor.active() || !hasCurrent() || m_currentRead || !m_held.holds(fields))
        return wholeRecord();
    if (m_heldRecordLanding != m_landing) {
        const std::int64_t rowId = m_keys[size_t(m_position)];
        if (!heldStillTrue(rowId))
            return wholeRecord();
        m_heldRecord.rowId = rowId;
        m_heldRecordLanding = m_landing;
        m_heldRecordFields = 0;
    }
    if ((m_heldRecordFields & fields) != fields) {
        m_held.fill(size_t(m_position), m_heldRecord, fields & ~m_heldRecordFields);
        m_heldRecordFields |= fields;
    }
    if (whole)
        *whole = false;
    return m_heldRecord;
}

bool SqlRecordSet::rowDeleted() const
{
    followCurrentRow();
    if (hasCurrent() && !m_currentRead)
        readCurrent();
    return m_rowDeleted;
}

QVariant SqlRecordSet::field(QAnyStringView name) const
{
    return CatalogueFields::value(record(), CatalogueFields::requireIndex(name));
}

void SqlRecordSet::edit()
{
    if (!hasCurrent())
        throw std::logic_error("Edit without a current record");
    followCurrentRow();
    if (!m_currentRead)
        readCurrent();
    m_editor.startEdit(m_current);
}

void SqlRecordSet::setField(QAnyStringView name, const QVariant& value)
{
    m_editor.setField(CatalogueFields::requireIndex(name), value);
}

void SqlRecordSet::setRecord(const CatalogueRecord& record)
{
    m_editor.setRecord(record);
}

bool SqlRecordSet::update()
{
    if (rowDeleted()) {
        m_editor.cancel();
        return false;
    }
    if (!m_editor.write(m_database))
        return false;
    m_current = m_editor.buffer();
    ++m_landing;
    m_landingMark = m_database.changeMark();
    return true;
}

SqlRecordSet::Walk::Walk(SqlRecordSet& files)
    : m_files(files)
{
    ++m_files.m_walks;
}

SqlRecordSet::Walk::~Walk()
{
    if (--m_files.m_walks > 0 || !m_files.hasCurrent() || m_files.m_currentRead)
        return;
    try {
        m_files.readCurrent();
    } catch (const std::exception&) {
        // The catalogue failed under the walk; the record is read when it is next asked for.
    }
}
