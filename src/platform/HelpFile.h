#pragma once

#include <QString>

// Opens the help file with the desktop's handler for its type. False when the file does not
// exist or nothing could open it.
bool openHelpFile(const QString& path);
