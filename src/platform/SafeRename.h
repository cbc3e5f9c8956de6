#pragma once

#include "platform/FileOpResult.h"

#include <QByteArray>
#include <QString>

// Renames that never replace a file. Whether two names that differ only in letter case name the
// same file is the file system's business: where it folds case, the kernel reports the other name
// as taken and the rename is refused; where it does not, both names may stand side by side.

// A name the program may give a file: not empty, not "." or "..", and free of "/", NUL and the
// control characters (codes below 32, and 127). Quotes, backslashes, blanks and any other bytes are
// ordinary characters on Linux.
bool isAcceptableFileName(const QByteArray& name);
bool isAcceptableFileName(const QString& name);

// Whether a directory entry stands at a path, without following a final symbolic link (a dangling
// link counts as present). Unknown when the directory cannot be searched.
enum class EntryProbe { Missing, Present, Unknown };
EntryProbe probeEntry(const QByteArray& path);

// How renameNoReplace goes about it. Automatic: renameat2 with RENAME_NOREPLACE, and where the file
// system refuses that flag, a hard link to the new name followed by the removal of the old one.
enum class RenameMethod { Automatic, LinkAndUnlink };

// Gives the file at from the path to, within one file system, unless something stands at to.
// Byte-exact: the paths are the names as the file system holds them.
FileOpResult renameNoReplace(
    const QByteArray& from, const QByteArray& to, RenameMethod method = RenameMethod::Automatic);

// Renames a file within its directory (the path ends in "/"), refusing an unacceptable new name
// (BadName) and never replacing an existing file (TargetExists).
FileOpResult renameInDirectory(const QByteArray& directoryPath, const QByteArray& oldName, const QByteArray& newName);
FileOpResult renameInDirectory(const QString& directoryPath, const QString& oldName, const QString& newName);

// Syncs a directory so a rename, link or removal in it survives a crash; errors are ignored.
void syncDirectory(const QByteArray& directoryPath);
// The directory part of a path, without its trailing "/" ("/" for a file in the root).
QByteArray directoryOf(const QByteArray& path);
