#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The state files of an interrupted stage (Scanning.dat, Matching.dat) hold one number on one
// line; their presence at start-up is what offers crash recovery.

// The most a state file may hold; one that holds more was not written by the program.
constexpr qint64 MaxStateBytes = 64 * 1024;
// The leading number of the first line, rounded halves to even; 0 when the line holds no number
// or one that does not fit 32 bits. nullopt when the file is missing, cannot be read, is not a
// regular file or is larger than MaxStateBytes, with the cause in reason.
std::optional<qint32> readStateNumber(const QString& path, QString* reason = nullptr);
// What the user is told when a state file stands at the path but cannot be read (a FIFO, a
// device, a directory, a link that leads nowhere, a file larger than any the program writes):
// no run may resume from it, and it is not the program's to remove. Empty when nothing stands
// there or the file can be read.
QString stateFileRefusal(const QString& path);
// The refusal of a state file that cannot be read, for the reason given.
QString stateFileRefusalText(const QString& path, const QString& reason);
// The refusal of a program file that cannot be written, for the reason given.
QString stateFileUnwritableText(const QString& path, const QString& reason);
// Writes the line, ended by CR LF, whole or not at all (platform/TextLines.h); false when it
// cannot.
bool writeStateFile(const QString& path, const QString& line);
