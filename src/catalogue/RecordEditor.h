#pragma once

#include "catalogue/CatalogueRecord.h"

#include <QVariant>

class CatalogueDatabase;

// The edit buffer of a record set: Edit or AddNew fill it, field writes mark what changed,
// and write() stores it. An edit writes only the fields that were set, so a change another
// record set made to other fields of the same row in the meantime is kept.
class RecordEditor
{
public:
    enum class Mode { None, Edit, AddNew };

    Mode mode() const { return m_mode; }
    bool active() const { return m_mode != Mode::None; }

    void startEdit(const CatalogueRecord& current);
    void startAddNew();
    void cancel();

    // Throw std::logic_error outside Edit or AddNew; setField also for an unknown field.
    void setField(int field, const QVariant& value);
    void setRecord(const CatalogueRecord& record);

    const CatalogueRecord& buffer() const { return m_buffer; }

    // Stores the buffer: a new row for AddNew (its rowId is then set in the buffer), the changed
    // fields of the row for Edit. False when the row being edited no longer exists.
    // The buffer is left as written and the mode returns to None.
    bool write(CatalogueDatabase& database);

private:
    void requireActive() const;

    Mode m_mode = Mode::None;
    CatalogueRecord m_buffer;
    quint32 m_changed = 0;
};
