#pragma once

#include "catalogue/CatalogueFields.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct CatalogueRecord;
struct sqlite3_stmt;

// Chosen fields of every member of a record set, in the set's order, kept compactly: texts as
// the catalogue stores them (UTF-8, in one buffer), numbers as they are read. Filling a record
// from it gives the values a read of the row would give.
class HeldFields
{
public:
    // Holds the given fields (none: holds nothing at all).
    void reset(CatalogueFields::FieldMask fields = 0);
    CatalogueFields::FieldMask fields() const { return m_fields; }
    bool holds(CatalogueFields::FieldMask fields) const { return m_fields != 0 && (m_fields & fields) == fields; }
    std::size_t size() const { return m_members; }

    // The held fields' column names in field order, for a SELECT list; empty when none.
    QByteArray columnList() const;
    // Appends a member from a statement row whose columns, from firstColumn, are the held
    // fields in field order.
    void append(sqlite3_stmt* row, int firstColumn);
    // Gives back the room kept for further members.
    void squeeze();
    // Sets the given held fields of a record to those of a member; the others are left as they
    // are.
    void fill(std::size_t member, CatalogueRecord& record, CatalogueFields::FieldMask fields) const;

private:
    CatalogueFields::FieldMask m_fields = 0;
    std::vector<int> m_textFields;
    std::vector<int> m_numberFields;
    std::size_t m_members = 0;
    QByteArray m_text;
    std::vector<std::uint32_t> m_textEnds; // per member and text field: where its bytes end
    std::vector<double> m_numbers; // per member and number field
};
