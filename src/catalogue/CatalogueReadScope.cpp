#include "catalogue/CatalogueReadScope.h"

#include "catalogue/CatalogueDatabase.h"

CatalogueReadScope::CatalogueReadScope(CatalogueDatabase& database)
    : m_database(database)
{
    if (!m_database.inTransaction()) {
        m_database.execute(QStringLiteral("BEGIN DEFERRED"));
        m_owns = true;
    }
}

CatalogueReadScope::~CatalogueReadScope()
{
    if (m_owns && m_database.inTransaction()) {
        try {
            m_database.execute(QStringLiteral("COMMIT"));
        } catch (...) {
            // A read transaction holds nothing to keep; SQLite ends it on close.
        }
    }
}
