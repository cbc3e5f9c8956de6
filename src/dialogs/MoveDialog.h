#pragma once

#include "dialogs/MoveFileEngine.h"

#include <QString>

// The move dialog as the reviews' file actions ask it: the window supplies the real one (placed
// on itself), tests a scripted one.
class MoveDialog
{
public:
    virtual ~MoveDialog() = default;
    // Shows the dialog for the file fileName (its name on disk, with its extension) in the
    // directory of the entry from, and tells where the file went: nothing moved when result.to
    // equals from.
    virtual MoveResult moveFile(const QString& fileName, const QString& from) = 0;
};
