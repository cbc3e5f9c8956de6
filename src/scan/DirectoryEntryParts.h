#pragma once

#include <QString>

// The two parts of a DirectoryEntry as a record keeps them: DRIVEVOLUME, the text up to and
// including the first "]", trimmed; PATH, the rest, trimmed. Without "]" the volume is empty.
struct DirectoryEntryParts
{
    QString volume;
    QString path;
};

DirectoryEntryParts splitDirectoryEntry(const QString& entry);
