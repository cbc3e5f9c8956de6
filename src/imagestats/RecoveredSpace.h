#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

class Volumes;

// What deleting a file gives back: its length, and its length in whole sectors (one sector
// more than it fills, an empty file one sector).
struct RecoveredSpace
{
    qint64 bytes = 0;
    qint64 sectorBytes = 0;
};

// Measures a file that still exists; nothing for a missing file, and for a hidden one unless
// hidden files count. sectorBytes is 0 when the file system cannot be read.
std::optional<RecoveredSpace> recoverableSpace(const QString& path, const Volumes& volumes, bool hiddenToo = false);

// Adds a file's lengths to the running totals; call it while the file still exists.
void AddRecoveredSpace(
    const QString& path, const Volumes& volumes, qint64& RecoveredBytes, qint64& RecoveredSectorBytes);
