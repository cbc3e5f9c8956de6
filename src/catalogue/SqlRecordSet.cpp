#include "catalogue/SqlRecordSet.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueFields.h"

#include <sqlite3.h>

#include <stdexcept>

namespace {

const QByteArray& rowText()
{
    static const QByteArray sql = "SELECT " + CatalogueFields::columnList() + " FROM FILES WHERE rowid = ?";
    return sql;
}

} // namespace

SqlRecordSet::SqlRecordSet(CatalogueDatabase& database)
    : m_database(database)
{
    setSource(QString(), QString());
}

void SqlRecordSet::setSource(const QString& where, const QString& orderBy, const QVariantList& params)
{
    QString sql = QStringLiteral("SELECT rowid FROM FILES");
    if (!where.trimmed().isEmpty())
        sql += QStringLiteral(" WHERE (") + where + QLatin1Char(')');
    sql += QStringLiteral(" ORDER BY ");
    if (!orderBy.trimmed().isEmpty())
        sql += orderBy + QStringLiteral(", ");
    sql += QStringLiteral("rowid");
    m_keysetSql = sql.toUtf8();
    m_params = params;
}

void SqlRecordSet::refresh()
{
    m_editor.cancel();
    m_keys.clear();
    m_positionOf.clear();
    {
        CatalogueDatabase::Lease lease = m_database.prepare(m_keysetSql);
        lease.bindAll(m_params);
        while (lease.step())
            m_keys.push_back(sqlite3_column_int64(lease.handle(), 0));
    }
    land(0);
}

void SqlRecordSet::land(qsizetype position)
{
    m_editor.cancel();
    m_position = position;
    if (hasCurrent())
        readCurrent();
}

void SqlRecordSet::readCurrent()
{
    const std::int64_t rowId = m_keys[size_t(m_position)];
    CatalogueDatabase::Lease lease = m_database.prepare(rowText());
    sqlite3_bind_int64(lease.handle(), 1, rowId);
    if (lease.step()) {
        CatalogueFields::readRecord(lease.handle(), 0, m_current);
        m_rowDeleted = false;
    } else {
        m_current = CatalogueRecord();
        m_current.RTAG = QStringLiteral("D");
        m_rowDeleted = true;
    }
    m_current.rowId = rowId;
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
    return m_current;
}

QVariant SqlRecordSet::field(QAnyStringView name) const
{
    return CatalogueFields::value(record(), CatalogueFields::requireIndex(name));
}

void SqlRecordSet::edit()
{
    if (!hasCurrent())
        throw std::logic_error("Edit without a current record");
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
    if (m_rowDeleted) {
        m_editor.cancel();
        return false;
    }
    if (!m_editor.write(m_database))
        return false;
    m_current = m_editor.buffer();
    return true;
}
