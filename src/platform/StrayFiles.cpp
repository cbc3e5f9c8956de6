#include "platform/StrayFiles.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <limits>
#include <unistd.h>

namespace strayfiles {

namespace {

// A number as QByteArray::number writes it, at most the given value; -1 otherwise. "0" is one
// (the writers' counts may begin there), "00" and "01" are not.
qint64 writtenNumber(const QByteArray& text, qint64 most)
{
    if (text.isEmpty() || (text.front() == '0' && text.size() > 1))
        return -1;
    qint64 value = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '9')
            return -1;
        value = value * 10 + (digit - '0');
        if (value > most)
            return -1;
    }
    return value;
}

} // namespace

pid_t writerOf(const QByteArray& name, const QByteArray& prefix, const QByteArray& suffix)
{
    if (name.size() <= prefix.size() + suffix.size() || !name.startsWith(prefix) || !name.endsWith(suffix))
        return 0;
    const QByteArray middle = name.mid(prefix.size(), name.size() - prefix.size() - suffix.size());
    const qsizetype dash = middle.indexOf('-');
    if (dash < 0 || writtenNumber(middle.mid(dash + 1), std::numeric_limits<int>::max()) < 0)
        return 0;
    return pid_t(qMax<qint64>(0, writtenNumber(middle.left(dash), std::numeric_limits<pid_t>::max())));
}

void removeOfGoneWriters(const QByteArray& folder, const QByteArray& prefix, const QByteArray& suffix, bool ownToo)
{
    DIR* listing = ::opendir(folder.constData());
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        const pid_t writer = writerOf(name, prefix, suffix);
        if (writer <= 0)
            continue;
        const bool gone = writer == ::getpid() ? ownToo : ::kill(writer, 0) != 0 && errno == ESRCH;
        if (gone)
            ::unlink((folder + '/' + name).constData());
    }
    ::closedir(listing);
}

} // namespace strayfiles
