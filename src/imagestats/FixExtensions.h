#pragma once

#include <QString>

// Renames up to 1000 files of the directory ending in the old extension (case ignored, no
// hidden files) to the new one; a name already taken becomes base + 1, 2, ... + extension.
// Never replaces a file; a failed rename is passed over.
void FixExtensions(const QString& directory, const QString& oldExtension, const QString& newExtension);
