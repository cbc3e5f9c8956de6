#include "catalogue/TemplateDatabase.h"

// Interim: the catalogue engine supplies the real writer.
bool writeTemplateDatabase(const QString&, QString* error)
{
    if (error)
        *error = QStringLiteral("The catalogue engine is not built yet.");
    return false;
}
