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
