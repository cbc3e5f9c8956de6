#pragma once

#include <QString>
#include <QtGlobal>

// The state files of an interrupted stage (Scanning.dat, Matching.dat) hold one number on one
// line; their presence at start-up is what offers crash recovery.

// The leading number of the first line, rounded halves to even; 0 when the file is missing or
// unreadable or the number does not fit 32 bits.
qint32 readStateNumber(const QString& path);
// Writes the line, ended by CR LF, whole or not at all (platform/TextLines.h); false when it
// cannot.
bool writeStateFile(const QString& path, const QString& line);
