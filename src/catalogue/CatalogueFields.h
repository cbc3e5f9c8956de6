#pragma once

#include "catalogue/CatalogueRecord.h"

#include <QAnyStringView>
#include <QByteArray>
#include <QVariant>

#include <cstdint>

struct sqlite3_stmt;

// The fields of the FILES table in column order, their names and the moves between a
// CatalogueRecord, QVariant values and SQLite statements. Field names are matched without
// regard to case ("XYRatio" is XYRATIO), as the original engine did.
namespace CatalogueFields {

enum Field : int {
    RECNUM,
    RTAG,
    DRIVEVOLUME,
    PATH,
    NAME,
    REFNAME,
    BASENAME,
    EXTENSION,
    WHOLENAME,
    WHOLEBASE,
    SIZE,
    DATE,
    CHECKSUM,
    XYRATIO,
    RGB,
    QRGB,
    SOFTRGB,
    SOFTQRGB,
    PXLRAY,
    PXLNUM,
    X,
    Y,
    ACTIVE,
    REF,
    ACCESSED,
    STAG,
    DISKNAME,
    Count
};

// A set of fields, one bit per field.
using FieldMask = std::uint32_t;
constexpr FieldMask bit(Field field)
{
    return FieldMask(1) << field;
}
static_assert(Count <= 32, "a FieldMask holds every field");
constexpr FieldMask EveryField = ~FieldMask(0);

// The upper-case name of a field.
const char* name(int field);
// The field of a name, without regard to case; -1 when FILES has no such field.
int indexOf(QAnyStringView name);
// The field of a name a caller relies on; throws std::invalid_argument when FILES has none.
int requireIndex(QAnyStringView name);
// "RECNUM, RTAG, ..., DISKNAME": every column in table order.
const QByteArray& columnList();

// A field's value: double for RECNUM, SIZE, XYRATIO, ACCESSED; int for PXLNUM, X, Y;
// QDateTime for DATE; QString otherwise.
QVariant value(const CatalogueRecord& record, int field);
// Sets a field from a value, converting it to the field's type.
void setValue(CatalogueRecord& record, int field, const QVariant& value);

// DATE as stored: local time "YYYY-MM-DD HH:MM:SS"; an invalid date-time is stored as NULL.
// A date read back shows the stored wall time: date() and time() are the local date and time,
// and it equals the local QDateTime of the same moment (it carries the local offset as
// Qt::OffsetFromUTC, which spares a time-zone lookup per row).
QByteArray dateText(const QDateTime& dateTime);
QDateTime parseDate(const char* text, int length);

// Binds one field of a record to a statement parameter (1-based).
void bindField(sqlite3_stmt* statement, int parameter, const CatalogueRecord& record, int field);
// Binds a free value: null, text, integers, doubles, booleans and date-times (as DATE is stored).
void bindValue(sqlite3_stmt* statement, int parameter, const QVariant& value);
// Reads the 27 columns, starting at column firstColumn, into a record (rowId untouched).
void readRecord(sqlite3_stmt* statement, int firstColumn, CatalogueRecord& record);

// The pieces of readRecord, for values kept apart from a statement. A field is read from SQLite
// either as text (the text fields and DATE: storedAsText) or as a number.
bool storedAsText(int field);
// The number a numeric field is read as (PXLNUM, X and Y as 32-bit integers).
double readNumber(sqlite3_stmt* statement, int column, int field);
// Sets a field from what readRecord reads for it: UTF-8 text, or a number from readNumber.
void setFromText(CatalogueRecord& record, int field, const char* text, int length);
void setFromNumber(CatalogueRecord& record, int field, double value);

} // namespace CatalogueFields
