#pragma once

#include "catalogue/CatalogueRecord.h"
#include "catalogue/RecordEditor.h"

#include <QAnyStringView>
#include <QString>
#include <QVariant>

class CatalogueDatabase;

// A table-type record set on FILES with the current index "ref": Seek "=" finds a row by its
// REF without regard to case; AddNew, Edit, field writes and Update store rows.
// Among rows with equal REF a seek finds the one stored first.
class TableRecordSet
{
public:
    explicit TableRecordSet(CatalogueDatabase& database);

    // "ref" is the table's only index (name without regard to case); false for any other.
    bool setIndex(const QString& name);
    QString index() const { return QStringLiteral("ref"); }

    // Only "=" is known; any other comparison throws std::invalid_argument.
    // With no match the record set has no current record and noMatch() is true.
    void seek(const QString& comparison, const QString& key);
    bool noMatch() const { return m_noMatch; }
    bool hasCurrent() const { return m_hasCurrent; }

    // The current record, or the edit buffer during Edit and AddNew.
    const CatalogueRecord& record() const;
    // A field by name, without regard to case; throws std::invalid_argument for an unknown name.
    QVariant field(QAnyStringView name) const;

    void addNew();
    // Throws std::logic_error without a current record.
    void edit();
    void setField(QAnyStringView name, const QVariant& value);
    void setRecord(const CatalogueRecord& record);
    // Stores the edit. After AddNew the new row becomes the current record. False when the
    // edited row no longer exists (deleted by another record set); nothing is stored then.
    bool update();
    void cancelUpdate() { m_editor.cancel(); }

private:
    CatalogueDatabase& m_database;
    CatalogueRecord m_current;
    RecordEditor m_editor;
    bool m_hasCurrent = false;
    bool m_noMatch = false;
};
