#include "scan/DirectoryEntryParts.h"

DirectoryEntryParts splitDirectoryEntry(const QString& entry)
{
    const int k = entry.indexOf(QLatin1Char(']')) + 1; // 0 when there is none
    return { entry.left(k).trimmed(), entry.mid(k).trimmed() };
}
