#pragma once

class CatalogueDatabase;

// A write batch that is rolled back unless committed. Inside a transaction that is already
// open it does nothing, so a batch can be written by code that may or may not run in one.
class CatalogueTransaction
{
public:
    explicit CatalogueTransaction(CatalogueDatabase& database);
    ~CatalogueTransaction();
    CatalogueTransaction(const CatalogueTransaction&) = delete;
    CatalogueTransaction& operator=(const CatalogueTransaction&) = delete;

    void commit();
    bool owns() const { return m_owns; }

private:
    CatalogueDatabase& m_database;
    bool m_owns = false;
};
