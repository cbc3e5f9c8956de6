#pragma once

#include <QString>

// Scanning.dat, the pre-scan's resume point: one line holding the index of the list entry the
// scan pass is working on.
QString scanningFilePath(const QString& programDirectory);
// The trimmed line's value rounded to an integer; 0 when the file is missing, unreadable or
// holds no number.
int readResumeIndex(const QString& path);
// Writes " N" and CRLF through a temporary file renamed into place; false when it cannot.
bool writeResumeIndex(const QString& path, int entryIndex);
