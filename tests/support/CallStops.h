#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A crash at one step of a file action, for a child process (runInChild): the process kills
// itself (SIGKILL) at the first call of the given kinds whose path (the source, for a rename or a
// link; the file a descriptor is open on, for a write or a sync) holds the given text, before the
// call or right after it. A test program that uses this takes over open, link, renameat2, unlink,
// pwrite64, fsync and fdatasync for all its code; they pass straight through until armed.
enum class CallKind { Open, Link, Rename, Unlink, Write, Sync };
enum class StopWhen { Before, After };
void stopAtCall(const QList<CallKind>& kinds, const QByteArray& pathPart, StopWhen when);
// What runInChild answers for a child that stopped there.
QString stoppedAnswer();

// Notes from now on, in order, the calls of the given kinds whose path holds the given text, as
// "kind path" ("sync /tmp/x/cat.mdb-wal"), for a test that checks what reached the disk when.
void recordCalls(const QList<CallKind>& kinds, const QByteArray& pathPart);
QStringList recordedCalls();
