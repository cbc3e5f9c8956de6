#pragma once

#include <QString>

class Volumes;

// The text that names a directory in the directory list, in the IFCD and, split, in a record's
// DRIVEVOLUME and PATH: "[" + upper-cased volume label + "] " + the absolute path ending in exactly
// one "/", the path's case as on disk. Entries compare as whole strings; the trailing "/" makes a
// plain prefix test tell whether a directory lies in or below another.
struct DirectoryEntry
{
    QString volume; // "[LABEL]", "[]" for a volume without a label
    QString path; // "/abs/dir/"

    QString text() const { return volume + QLatin1Char(' ') + path; }

    // The absolute, cleaned path with exactly one trailing "/".
    static QString directoryPath(const QString& path);
    // The entry of a directory on a volume with this label.
    static DirectoryEntry of(const QString& path, const QString& label);
    // The entry text of a directory, its label read from the volume that holds it.
    static QString forPath(const QString& path, const Volumes& volumes);
    // An entry text back into its volume part (up to and including the "]" that closes it) and
    // its path part (the rest, blanks trimmed).
    static DirectoryEntry split(const QString& entry);
    // True when the entry names the directory of container or one below it.
    static bool liesIn(const QString& entry, const QString& container);
};
