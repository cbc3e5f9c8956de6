#pragma once

#include <QString>
#include <QStringList>

// The program picker's path joining: the directory, "/" and the file name; where that gives "//"
// (the directory is the root), the directory and the file name. With no file chosen it is the
// directory with a trailing "/".
QString joinPickerPath(const QString& directory, const QString& fileName);

// The files the picker lists in a directory, by name without regard to case: with
// executablesOnly the files this user may execute, else every file. Hidden (dot) files and
// directories are left out.
QStringList pickerFiles(const QString& directory, bool executablesOnly);
