#pragma once

#include <QString>

// The program directory: $TOLQ_HOME when set, else $XDG_DATA_HOME/tolq (~/.local/share/tolq).
QString programDirectory();
// The user's data directory: $XDG_DATA_HOME when it names an absolute path, else ~/.local/share
// (a relative value is ignored, as the base directory rules say).
QString dataHome();
// Makes the files compiled into the program readable under ":/tolq/". The resources live in a
// static library, where the linker drops their registration unless something calls for it.
// Safe to call any number of times.
void loadShippedResources();
// A file in the program directory.
QString programFile(const QString& name);
