#pragma once

#include <QString>
#include <QtGlobal>

// The most a template copied for a new list may hold: the one written below holds an empty table
// of a few pages, and a copy is read whole.
constexpr qint64 MaxTemplateBytes = 64 * 1024 * 1024;

// Writes an empty catalogue (table FILES and its index ref) from the schema compiled into the
// program. Used for the template tolq.mdb in the program directory.
bool writeTemplateDatabase(const QString& path, QString* error = nullptr);
