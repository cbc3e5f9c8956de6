#pragma once

#include <QString>

// Writes an empty catalogue (table FILES and its index ref) from the schema compiled into the
// program. Used for the template tolq.mdb in the program directory.
bool writeTemplateDatabase(const QString& path, QString* error = nullptr);
