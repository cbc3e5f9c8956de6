#include "catalogue/TableRecordSet.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueFields.h"

#include <sqlite3.h>

#include <stdexcept>

namespace {

const QByteArray& seekText()
{
    static const QByteArray sql
        = "SELECT rowid, " + CatalogueFields::columnList() + " FROM FILES WHERE REF = ? ORDER BY rowid LIMIT 1";
    return sql;
}

} // namespace

TableRecordSet::TableRecordSet(CatalogueDatabase& database)
    : m_database(database)
{
}

bool TableRecordSet::setIndex(const QString& name)
{
    return name.compare(QLatin1String("ref"), Qt::CaseInsensitive) == 0;
}

void TableRecordSet::seek(const QString& comparison, const QString& key)
{
    if (comparison.trimmed() != QLatin1String("="))
        throw std::invalid_argument("Seek knows only \"=\"");
    m_editor.cancel();
    CatalogueDatabase::Lease lease = m_database.prepare(seekText());
    CatalogueFields::bindValue(lease.handle(), 1, key);
    if (lease.step()) {
        m_current.rowId = sqlite3_column_int64(lease.handle(), 0);
        CatalogueFields::readRecord(lease.handle(), 1, m_current);
        m_hasCurrent = true;
        m_noMatch = false;
    } else {
        m_hasCurrent = false;
        m_noMatch = true;
    }
}

const CatalogueRecord& TableRecordSet::record() const
{
    return m_editor.active() ? m_editor.buffer() : m_current;
}

QVariant TableRecordSet::field(QAnyStringView name) const
{
    return CatalogueFields::value(record(), CatalogueFields::requireIndex(name));
}

void TableRecordSet::addNew()
{
    m_editor.startAddNew();
}

void TableRecordSet::edit()
{
    if (!m_hasCurrent)
        throw std::logic_error("Edit without a current record");
    m_editor.startEdit(m_current);
}

void TableRecordSet::setField(QAnyStringView name, const QVariant& value)
{
    m_editor.setField(CatalogueFields::requireIndex(name), value);
}

void TableRecordSet::setRecord(const CatalogueRecord& record)
{
    m_editor.setRecord(record);
}

bool TableRecordSet::update()
{
    if (!m_editor.write(m_database))
        return false;
    m_current = m_editor.buffer();
    m_hasCurrent = true;
    return true;
}
