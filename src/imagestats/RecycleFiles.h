#pragma once

#include <QStringList>

// Moves the files to the desktop's trash. Returns 0 when every file went there, else the
// number that did not (those are left where they were, never deleted outright); their paths
// go to failed when given.
int RecycleFiles(const QStringList& paths, QStringList* failed = nullptr);
