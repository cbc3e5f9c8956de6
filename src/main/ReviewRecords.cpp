#include "main/ReviewRecords.h"

#include "catalogue/CatalogueDatabase.h"

#include <QFileInfo>

#include <sqlite3.h>

ReviewRecords ReviewRecords::load(const QString& databasePath)
{
    ReviewRecords records;
    if (databasePath.isEmpty() || !QFileInfo::exists(databasePath))
        return records;
    std::unique_ptr<CatalogueDatabase> db = CatalogueDatabase::open(databasePath);
    if (!db)
        return records;
    try {
        CatalogueDatabase::Lease query = db->prepare(
            QByteArrayLiteral("SELECT RECNUM FROM FILES WHERE ACTIVE <> ' ' AND RTAG <> 'D' AND RECNUM > 0 "
                              "ORDER BY RECNUM"));
        while (query.step())
            records.m_recnums << sqlite3_column_double(query.handle(), 0);
    } catch (const std::exception&) {
        records.m_recnums.clear();
    }
    return records;
}

int ReviewRecords::startIndex(qint32 stoppedAtRecord) const
{
    if (stoppedAtRecord > 0) {
        for (int i = 0; i < m_recnums.size(); ++i) {
            if (m_recnums[i] == double(stoppedAtRecord))
                return i;
        }
    }
    return 0;
}
