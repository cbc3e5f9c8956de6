#include "match/RowFacts.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueFields.h"

#include <sqlite3.h>

std::optional<ImageFacts> factsOfRow(CatalogueDatabase& database, std::int64_t rowId)
{
    static const QByteArray sql = "SELECT " + CatalogueFields::columnList() + " FROM FILES WHERE rowid = ?";
    CatalogueDatabase::Lease lease = database.prepare(sql);
    sqlite3_bind_int64(lease.handle(), 1, rowId);
    if (!lease.step())
        return std::nullopt;
    CatalogueRecord record;
    CatalogueFields::readRecord(lease.handle(), 0, record);
    record.rowId = rowId;
    return factsOf(record);
}
