#include "match/RowFacts.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueFields.h"

#include <sqlite3.h>

std::optional<CatalogueRecord> recordOfRow(CatalogueDatabase& database, std::int64_t rowId)
{
    static const QByteArray sql = "SELECT " + CatalogueFields::columnList() + " FROM FILES WHERE rowid = ?";
    CatalogueDatabase::Lease lease = database.prepare(sql);
    sqlite3_bind_int64(lease.handle(), 1, rowId);
    if (!lease.step())
        return std::nullopt;
    CatalogueRecord record;
    CatalogueFields::readRecord(lease.handle(), 0, record);
    record.rowId = rowId;
    return record;
}

std::optional<ImageFacts> factsOfRow(CatalogueDatabase& database, std::int64_t rowId)
{
    const std::optional<CatalogueRecord> record = recordOfRow(database, rowId);
    if (!record)
        return std::nullopt;
    return factsOf(*record);
}

std::optional<ImageFacts> factsOfRow(CatalogueDatabase& database, std::int64_t rowId, CatalogueFields::FieldMask fields)
{
    using namespace CatalogueFields;
    QByteArray sql = "SELECT ";
    for (int field = 0; field < Count; ++field) {
        if (fields & bit(Field(field)))
            sql += QByteArray(sql.size() > 7 ? ", " : "") + name(field);
    }
    sql += " FROM FILES WHERE rowid = ?";
    CatalogueDatabase::Lease lease = database.prepare(sql);
    sqlite3_stmt* statement = lease.handle();
    sqlite3_bind_int64(statement, 1, rowId);
    if (!lease.step())
        return std::nullopt;
    CatalogueRecord record;
    record.rowId = rowId;
    for (int field = 0, column = 0; field < Count; ++field) {
        if (!(fields & bit(Field(field))))
            continue;
        if (storedAsText(field)) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            setFromText(record, field, text, sqlite3_column_bytes(statement, column));
        } else {
            setFromNumber(record, field, readNumber(statement, column, field));
        }
        ++column;
    }
    ImageFacts facts = factsOf(record, fields);
    facts.partial = true;
    return facts;
}
