#pragma once

#include "catalogue/CatalogueRecord.h"
#include "catalogue/RecordEditor.h"

#include <QAnyStringView>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <unordered_map>
#include <vector>

class CatalogueDatabase;

// A keyset cursor over a selection of FILES: refresh() runs the WHERE and ORDER BY and fixes
// which rows belong to the set and in which order; a row's fields are read afresh from the
// database each time the cursor lands on it, so changes made through any other record set or
// connection are seen then. Every value in the criteria is a bound "?" parameter.
//
// Positions: after refresh() the cursor stands on the first row, or at EOF and BOF together
// when the set is empty. Moving past the last row gives EOF, before the first BOF; then there
// is no current record. movePrevious() at EOF returns to the last row, moveNext() at BOF to
// the first. moveNext() at EOF and movePrevious() at BOF leave the cursor where it is.
//
// A row deleted after refresh() (by anyone) is still a member: landing on it gives
// rowDeleted() true and a record of defaults with RTAG "D", so cursors that pass over records
// deleted in review pass over it as well; update() on it returns false.
class SqlRecordSet
{
public:
    explicit SqlRecordSet(CatalogueDatabase& database);

    // The selection: a condition on FILES (empty: every row) and an ORDER BY list (empty: the
    // order rows were stored in). Rows with equal keys keep the order they were stored in.
    // Takes effect at the next refresh().
    void setSource(const QString& where, const QString& orderBy, const QVariantList& params = {});
    void refresh();

    bool isEof() const { return m_position >= qsizetype(m_keys.size()); }
    bool isBof() const { return m_position < 0 || m_keys.empty(); }
    bool hasCurrent() const { return !isEof() && !isBof(); }
    int recordCount() const { return int(m_keys.size()); }
    // The current row's place in the set's order, from 0; -1 at BOF, recordCount() at EOF.
    int position() const { return isBof() ? -1 : isEof() ? recordCount() : int(m_position); }

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // Makes current the first row of the set, in the set's order, that meets the condition as
    // the rows stand now; noMatch() is true when none does, and the cursor does not move.
    bool findFirst(const QString& criteria, const QVariantList& params = {});
    bool noMatch() const { return m_noMatch; }

    // The current record (the edit buffer during Edit). Throws std::logic_error without one.
    const CatalogueRecord& record() const;
    // A field by name, without regard to case; throws std::invalid_argument for an unknown name.
    QVariant field(QAnyStringView name) const;
    bool rowDeleted() const { return m_rowDeleted; }

    // Throws std::logic_error without a current record.
    void edit();
    void setField(QAnyStringView name, const QVariant& value);
    void setRecord(const CatalogueRecord& record);
    // Stores the changed fields of the current row; false when the row no longer exists.
    bool update();
    void cancelUpdate() { m_editor.cancel(); }
    bool editing() const { return m_editor.active(); }

private:
    void land(qsizetype position);
    void readCurrent();

    CatalogueDatabase& m_database;
    QByteArray m_keysetSql;
    QVariantList m_params;
    std::vector<std::int64_t> m_keys;
    std::unordered_map<std::int64_t, qsizetype> m_positionOf; // built by the first findFirst
    qsizetype m_position = 0;
    CatalogueRecord m_current;
    RecordEditor m_editor;
    bool m_rowDeleted = false;
    bool m_noMatch = false;
};
