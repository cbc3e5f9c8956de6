#pragma once

#include <QString>

// The program directory: $TOLQ_HOME when set, else $XDG_DATA_HOME/tolq (~/.local/share/tolq).
QString programDirectory();
// Makes the files compiled into the program readable under ":/tolq/". The resources live in a
// static library, where the linker drops their registration unless something calls for it.
// Safe to call any number of times.
void loadShippedResources();
// A file in the program directory.
QString programFile(const QString& name);
