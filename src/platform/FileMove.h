#pragma once

#include "platform/FileOpResult.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Carries one file to a new path without ever replacing or losing a file. Within one file system
// it is a rename. Across file systems it is a copy into a temporary file beside the destination
// (so the last step is a rename on one file system), checked for length and then byte for byte,
// given the source's modification time (the record key is made of it) and synced, then put in
// place without replacing; the source stays until finish(). No temporary file outlives place().
//
//   FileMove move(from, to);
//   if (!move.place().ok()) ...        // nothing changed
//   ... a later step fails: move.rollBack()  // back as it was; a copy removes only itself
//   move.finish();                     // the source of a copy goes
//
// Paths are the bytes the file system holds; the QString constructor encodes them.
class FileMove
{
public:
    struct Options
    {
        // An unnamed temporary (O_TMPFILE) that vanishes with the process whatever happens; file
        // systems without one get a named temporary. Tests switch it off to take the second way.
        bool unnamedTemporary = true;
    };

    FileMove(QByteArray from, QByteArray to, Options options);
    FileMove(QByteArray from, QByteArray to)
        : FileMove(std::move(from), std::move(to), Options {})
    {
    }
    FileMove(const QString& from, const QString& to);

    // Puts the file at the destination. On failure nothing has changed at either end.
    FileOpResult place();
    // After a copy: removes the source, provided it is still the file that was copied. Nothing
    // to do after a rename.
    FileOpResult finish();
    // Undoes place(): a renamed file goes back to its old name; a copy is removed, and only while
    // the destination is still that copy. False when that could not be done.
    bool rollBack();

    bool placed() const { return m_isPlaced; }
    bool copied() const { return m_copied; }
    const QByteArray& from() const { return m_from; }
    const QByteArray& to() const { return m_to; }

private:
    FileOpResult copyAcross();

    QByteArray m_from;
    QByteArray m_to;
    Options m_options;
    bool m_isPlaced = false;
    bool m_copied = false;
    // What tells a file from another that took its name meanwhile (a freed inode number can
    // come back at once): device, inode and the time of its last status change.
    struct Identity
    {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 changedSeconds = 0;
        qint64 changedNanoseconds = 0;
        bool operator==(const Identity&) const = default;
    };
    static bool identify(const QByteArray& path, Identity* identity);

    Identity m_source;
    Identity m_placed;
};
