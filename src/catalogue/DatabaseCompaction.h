#pragma once

#include <QString>

#include <functional>

// The steps of a compaction, in order; a test may stop one through the hook.
enum class CompactionStage { Copy, Verify, Release, Rename };

// Compacts the catalogue at source: writes a compacted copy into workFile (beside it, on the
// same file system), checks the copy, then renames it over the source in one atomic step.
// The old database is never deleted first: on any failure it stays as it was and usable, the
// work file is removed, and error says what went wrong. No other connection may hold the
// source open (that is reported as a failure). A hook returning false fails that stage.
bool compactDatabase(const QString& source, const QString& workFile, QString* error = nullptr,
    const std::function<bool(CompactionStage)>& beforeStage = {});
