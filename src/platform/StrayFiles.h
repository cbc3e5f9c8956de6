#pragma once

#include <QByteArray>

#include <sys/types.h>

// Work files the program names after the process that writes them (prefix, the process number,
// "-", a count, suffix) so that, after a crash, the next writer can tell which are left over.
namespace strayfiles {

// The process that wrote a name of that form, or 0 when the name is not one the program writes:
// decimal digits alone, no sign, blank or leading zero (a count may be "0"), within a process
// number's range.
pid_t writerOf(const QByteArray& name, const QByteArray& prefix, const QByteArray& suffix);
// Removes from the folder the names of that form whose writer process is gone (and this
// process's own with ownToo), so that a writer running beside this one keeps its files.
void removeOfGoneWriters(const QByteArray& folder, const QByteArray& prefix, const QByteArray& suffix, bool ownToo);

} // namespace strayfiles
