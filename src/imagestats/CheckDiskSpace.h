#pragma once

#include <QString>

class Prompter;
class Volumes;

// Warns when the system file system (systemPath, the root file system) or the program
// directory's file system, when that is another one, has less than 20 MB free. A file system
// that cannot be read ends the check silently.
void CheckDiskSpace(
    const Volumes& volumes, Prompter& prompter, const QString& systemPath, const QString& programDirectory);
