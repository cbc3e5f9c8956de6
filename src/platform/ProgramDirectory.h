#pragma once

#include <QString>

// The program directory: $TOLQ_HOME when set, else $XDG_DATA_HOME/tolq (~/.local/share/tolq).
QString programDirectory();
// Creates the directory and writes the shipped files (template tolq.mdb, error.bmp) when missing.
// Returns false with a reason when it cannot.
bool prepareProgramDirectory(QString* error = nullptr);
// A file in the program directory.
QString programFile(const QString& name);
