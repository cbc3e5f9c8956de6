#pragma once

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueFields.h"
#include "catalogue/CatalogueRecord.h"
#include "catalogue/HeldFields.h"
#include "catalogue/RecordEditor.h"

#include <QAnyStringView>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// A keyset cursor over a selection of FILES: refresh() runs the WHERE and ORDER BY and fixes
// which rows belong to the set and in which order; a row's fields are read afresh from the
// database each time the cursor lands on it, so changes made through any other record set or
// connection are seen then. A write through this set's own connection to the row under the
// cursor (a file action's update) is seen at once: the record is read again when next asked
// for, as at a new landing. Every value in the criteria is a bound "?" parameter.
//
// Positions: after refresh() the cursor stands on the first row, or at EOF and BOF together
// when the set is empty. Moving past the last row gives EOF, before the first BOF; then there
// is no current record. movePrevious() at EOF returns to the last row, moveNext() at BOF to
// the first. moveNext() at EOF and movePrevious() at BOF leave the cursor where it is.
//
// A row deleted after refresh() (by anyone) is still a member: landing on it gives
// rowDeleted() true and a record of defaults with RTAG "D", so cursors that pass over records
// deleted in review pass over it as well; update() on it returns false.
//
// Walks over many rows that decide each step on a few fields name those fields
// (setHeldFields): refresh() reads them for every member along with the keyset and keeps them
// in memory, and recordWith() serves them while they are provably what a read would give: no
// change through this connection to that row (its update hook tells which rows it changed)
// and no commit through another connection at all (PRAGMA data_version). Otherwise the row is
// read. Inside a Walk the cursor reads a row's whole record only when asked for it.
class SqlRecordSet
{
public:
    explicit SqlRecordSet(CatalogueDatabase& database);

    // The selection: a condition on FILES (empty: every row) and an ORDER BY list (empty: the
    // order rows were stored in). Rows with equal keys keep the order they were stored in.
    // Takes effect at the next refresh().
    void setSource(const QString& where, const QString& orderBy, const QVariantList& params = {});
    // The fields to hold in memory for every member (0: none). Takes effect at the next
    // refresh(); a refresh inside a write transaction holds none.
    void setHeldFields(CatalogueFields::FieldMask fields) { m_wantHeld = fields; }
    void refresh();

    bool isEof() const { return m_position >= qsizetype(m_keys.size()); }
    bool isBof() const { return m_position < 0 || m_keys.empty(); }
    bool hasCurrent() const { return !isEof() && !isBof(); }
    int recordCount() const { return int(m_keys.size()); }
    // The current row's place in the set's order, from 0; -1 at BOF, recordCount() at EOF.
    int position() const { return isBof() ? -1 : isEof() ? recordCount() : int(m_position); }
    // Changes whenever the cursor lands (a move or a refresh) or its row is written (update(),
    // or any write through this connection), so a reader can tell that the current record is
    // still the one it read.
    quint64 landing() const;

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
    // The current record with at least the given fields and rowId, from the held fields when
    // they include those and still hold the row's values; other fields then keep their
    // defaults. Otherwise the whole record, and *whole (when given) says so. Throws
    // std::logic_error without a current record.
    const CatalogueRecord& recordWith(CatalogueFields::FieldMask fields, bool* whole = nullptr);
    // A field by name, without regard to case; throws std::invalid_argument for an unknown name.
    QVariant field(QAnyStringView name) const;
    bool rowDeleted() const;
    // A row read now, member or not; a row that is gone gives the defaults with RTAG "D", as a
    // landing on it does.
    CatalogueRecord readRow(std::int64_t rowId) const;

    // Throws std::logic_error without a current record.
    void edit();
    void setField(QAnyStringView name, const QVariant& value);
    void setRecord(const CatalogueRecord& record);
    // Stores the changed fields of the current row; false when the row no longer exists.
    bool update();
    void cancelUpdate() { m_editor.cancel(); }

    CatalogueDatabase& database() const { return m_database; }

    // A stretch of moves that look at the rows through recordWith(): landings inside it read a
    // row's whole record only when it is asked for. When the outermost stretch ends, the record
    // under the cursor is read as a landing reads it.
    class Walk
    {
    public:
        explicit Walk(SqlRecordSet& files);
        ~Walk();
        Walk(const Walk&) = delete;
        Walk& operator=(const Walk&) = delete;

    private:
        SqlRecordSet& m_files;
    };

private:
    void land(qsizetype position);
    void readCurrent() const;
    // After a write through this connection to the row under the cursor: a new landing on it.
    void followCurrentRow() const;
    bool readRowInto(std::int64_t rowId, CatalogueRecord& record) const;
    bool heldStillTrue(std::int64_t rowId);
    void dropHeld();

    CatalogueDatabase& m_database;
    QString m_where;
    QString m_orderBy;
    QVariantList m_params;
    std::vector<std::int64_t> m_keys;
    std::unordered_map<std::int64_t, qsizetype> m_positionOf; // built by the first findFirst
    qsizetype m_position = 0;
    mutable quint64 m_landing = 0;
    mutable CatalogueDatabase::ChangeMark m_landingMark; // this connection's changes the landing has seen
    int m_walks = 0;
    mutable CatalogueRecord m_current;
    mutable bool m_currentRead = false;
    mutable bool m_rowDeleted = false;
    RecordEditor m_editor;
    bool m_noMatch = false;

    CatalogueFields::FieldMask m_wantHeld = 0;
    HeldFields m_held;
    CatalogueDatabase::ChangeMark m_heldMark; // this connection's changes when the fields were read
    qint64 m_heldVersion = 0; // and other connections' commits
    std::unordered_set<std::int64_t> m_staleRows; // changed since, through this connection
    CatalogueRecord m_heldRecord; // the held fields of the current row read so far
    quint64 m_heldRecordLanding = 0;
    CatalogueFields::FieldMask m_heldRecordFields = 0;
};
