#pragma once

class CatalogueDatabase;

// A stretch of reads in one read transaction: the catalogue is locked and checked once for the
// whole stretch instead of once for every row read, which makes a long walk over the records
// several times faster. Inside a transaction that is already open it does nothing. It is meant
// for reads only.
class CatalogueReadScope
{
public:
    explicit CatalogueReadScope(CatalogueDatabase& database);
    ~CatalogueReadScope();
    CatalogueReadScope(const CatalogueReadScope&) = delete;
    CatalogueReadScope& operator=(const CatalogueReadScope&) = delete;

private:
    CatalogueDatabase& m_database;
    bool m_owns = false;
};
