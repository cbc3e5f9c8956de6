#pragma once

#include <QString>
#include <QtGlobal>

// The state files of an interrupted stage (Scanning.dat, Matching.dat) hold one number on one
// line; their presence at start-up is what offers crash recovery.

// The most a state file may hold; one that holds more was not written by the program.
constexpr qint64 MaxStateBytes = 64 * 1024;
// The leading number of the first line, rounded halves to even; 0 when the file is missing,
// unreadable, not a regular file or larger than MaxStateBytes, or the number does not fit 32 bits.
qint32 readStateNumber(const QString& path);
// What the user is told when something other than a regular file stands at a state file's path
// (a FIFO, a device, a directory): no run may resume from it. Empty when nothing stands there or
// a file does.
QString stateFileRefusal(const QString& path);
// Writes the line, ended by CR LF, whole or not at all (platform/TextLines.h); false when it
// cannot.
bool writeStateFile(const QString& path, const QString& line);
