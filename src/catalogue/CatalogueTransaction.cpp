#include "catalogue/CatalogueTransaction.h"

#include "catalogue/CatalogueDatabase.h"

CatalogueTransaction::CatalogueTransaction(CatalogueDatabase& database)
    : m_database(database)
{
    if (!m_database.inTransaction()) {
        m_database.begin();
        m_owns = true;
    }
}

CatalogueTransaction::~CatalogueTransaction()
{
    if (m_owns && m_database.inTransaction()) {
        try {
            m_database.rollback();
        } catch (...) {
            // Nothing more can be done here; SQLite rolls back on close.
        }
    }
}

void CatalogueTransaction::commit()
{
    if (m_owns) {
        m_database.commit();
        m_owns = false;
    }
}
