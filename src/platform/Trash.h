#pragma once

#include <QString>

// Moves a file to the desktop's trash, laid out as the freedesktop.org trash: the home trash
// ($XDG_DATA_HOME/Trash) for a file on the data directory's file system, else the trash at the top
// of the file's own file system ($topdir/.Trash/$uid or $topdir/.Trash-$uid). It takes a regular
// file or a symbolic link (the link itself, not what it points to), nothing else. The home trash,
// and the data directory with its parents, are made when missing. The information file is
// written whole under a name of ours before it takes its own, so a crash never leaves one empty or
// half written; what a crash left under a name of ours, by a process that is gone, is removed at
// the next use. The file is renamed, never copied or deleted: false leaves it where it was. Every
// step ends: a trash that cannot take the file is a failure, never a reason to try again and
// again. trashedAs receives where the file now lies.
bool moveFileToTrash(const QString& path, QString* trashedAs = nullptr);
