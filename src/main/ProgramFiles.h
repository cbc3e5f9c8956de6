#pragma once

#include <QString>

// Creates the directory and writes the shipped files (template tolq.mdb, error.bmp) when missing.
// Returns false with a reason when it cannot.
bool prepareProgramDirectory(QString* error = nullptr);
