#pragma once

#include <QString>

// True when the path is a directory this process can list.
bool canOpenDirectory(const QString& path);
