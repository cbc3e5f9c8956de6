#include "catalogue/RecordEditor.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueFields.h"

#include <QHash>
#include <sqlite3.h>

#include <stdexcept>

namespace {

constexpr quint32 AllFields = (quint32(1) << CatalogueFields::Count) - 1;

const QByteArray& insertText()
{
    static const QByteArray sql = [] {
        QByteArray text = "INSERT INTO FILES (" + CatalogueFields::columnList() + ") VALUES (";
        for (int i = 0; i < CatalogueFields::Count; ++i)
            text += i ? ", ?" : "?";
        return text + ")";
    }();
    return sql;
}

// One UPDATE text per set of changed fields; there are only a few such sets in practice.
const QByteArray& updateText(quint32 changed)
{
    thread_local QHash<quint32, QByteArray> texts;
    auto found = texts.constFind(changed);
    if (found != texts.constEnd())
        return found.value();
    QByteArray text = "UPDATE FILES SET ";
    bool first = true;
    for (int field = 0; field < CatalogueFields::Count; ++field) {
        if (!(changed & (quint32(1) << field)))
            continue;
        if (!first)
            text += ", ";
        text += CatalogueFields::name(field);
        text += " = ?";
        first = false;
    }
    text += " WHERE rowid = ?";
    return texts.insert(changed, text).value();
}

} // namespace

void RecordEditor::startEdit(const CatalogueRecord& current)
{
    m_buffer = current;
    m_changed = 0;
    m_mode = Mode::Edit;
}

void RecordEditor::startAddNew()
{
    m_buffer = CatalogueRecord();
    m_changed = AllFields;
    m_mode = Mode::AddNew;
}

void RecordEditor::cancel()
{
    m_mode = Mode::None;
    m_changed = 0;
}

void RecordEditor::requireActive() const
{
    if (m_mode == Mode::None)
        throw std::logic_error("a field is written outside Edit or AddNew");
}

void RecordEditor::setField(int field, const QVariant& value)
{
    requireActive();
    if (field < 0 || field >= CatalogueFields::Count)
        throw std::invalid_argument("no such field of FILES");
    CatalogueFields::setValue(m_buffer, field, value);
    m_changed |= quint32(1) << field;
}

void RecordEditor::setRecord(const CatalogueRecord& record)
{
    requireActive();
    const std::int64_t rowId = m_buffer.rowId;
    m_buffer = record;
    m_buffer.rowId = rowId;
    m_changed = AllFields;
}

bool RecordEditor::write(CatalogueDatabase& database)
{
    requireActive();
    const Mode mode = m_mode;
    m_mode = Mode::None;
    if (mode == Mode::AddNew) {
        CatalogueDatabase::Lease insert = database.prepare(insertText());
        for (int field = 0; field < CatalogueFields::Count; ++field)
            CatalogueFields::bindField(insert.handle(), field + 1, m_buffer, field);
        insert.step();
        m_buffer.rowId = sqlite3_last_insert_rowid(sqlite3_db_handle(insert.handle()));
        m_changed = 0;
        return true;
    }
    if (m_changed == 0) {
        CatalogueDatabase::Lease exists = database.prepare(QByteArrayLiteral("SELECT 1 FROM FILES WHERE rowid = ?"));
        sqlite3_bind_int64(exists.handle(), 1, m_buffer.rowId);
        return exists.step();
    }
    CatalogueDatabase::Lease update = database.prepare(updateText(m_changed));
    int parameter = 1;
    for (int field = 0; field < CatalogueFields::Count; ++field) {
        if (m_changed & (quint32(1) << field))
            CatalogueFields::bindField(update.handle(), parameter++, m_buffer, field);
    }
    sqlite3_bind_int64(update.handle(), parameter, m_buffer.rowId);
    update.step();
    m_changed = 0;
    return sqlite3_changes(sqlite3_db_handle(update.handle())) > 0;
}
