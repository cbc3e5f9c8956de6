#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A crash at one step of a file action, for a child process (runInChild): the process kills
// itself (SIGKILL) at the first call of the given kinds whose path (the source, for a rename or a
// link) holds the given text, before the call or right after it. A test program that uses this takes
// over open, link, renameat2 and unlink for all its code; they pass straight through until armed.
enum class CallKind { Open, Link, Rename, Unlink };
enum class StopWhen { Before, After };
void stopAtCall(const QList<CallKind>& kinds, const QByteArray& pathPart, StopWhen when);
// What runInChild answers for a child that stopped there.
QString stoppedAnswer();
