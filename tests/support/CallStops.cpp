// Takes over a few C library calls by defining them in the test program, which the linker and
// the loader prefer to the library's; each forwards to the next definition.
#undef _FORTIFY_SOURCE

#include "CallStops.h"

#include <QString>

#include <csignal>
#include <cstdarg>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace {

unsigned armedKinds = 0;
QByteArray armedPart;
StopWhen armedWhen = StopWhen::Before;
unsigned recordedKinds = 0;
QByteArray recordedPart;
QStringList calls;

bool holds(unsigned kinds, CallKind kind, const char* path, const QByteArray& part)
{
    return (kinds & (1u << unsigned(kind))) != 0 && path && std::strstr(path, part.constData());
}

bool armedFor(CallKind kind, const char* path)
{
    return holds(armedKinds, kind, path, armedPart);
}

void record(CallKind kind, const char* path)
{
    static const char* const names[] = { "open", "link", "rename", "unlink", "write", "sync" };
    if (holds(recordedKinds, kind, path, recordedPart))
        calls << QString::fromUtf8(names[unsigned(kind)]) + QLatin1Char(' ') + QString::fromUtf8(path);
}

// The file a descriptor is open on, when a call on it is watched.
QByteArray pathOf(CallKind kind, int fd)
{
    const unsigned bit = 1u << unsigned(kind);
    if (((armedKinds | recordedKinds) & bit) == 0)
        return {};
    char target[4096];
    const ssize_t size = ::readlink(("/proc/self/fd/" + QByteArray::number(fd)).constData(), target, sizeof target);
    return size > 0 ? QByteArray(target, size) : QByteArray();
}

void stopIf(bool stop)
{
    if (stop)
        ::kill(::getpid(), SIGKILL);
}

template <class Function> Function next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

template <class Call> auto around(CallKind kind, const char* path, Call call)
{
    record(kind, path);
    const bool stop = armedFor(kind, path);
    stopIf(stop && armedWhen == StopWhen::Before);
    const auto result = call();
    stopIf(stop && armedWhen == StopWhen::After);
    return result;
}

using OpenCall = int (*)(const char*, int, ...);

// The mode argument is there only when the flags create a file.
mode_t creationMode(int flags, va_list arguments)
{
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(arguments, int)) : 0;
}

} // namespace

void stopAtCall(const QList<CallKind>& kinds, const QByteArray& pathPart, StopWhen when)
{
    armedPart = pathPart;
    armedWhen = when;
    armedKinds = 0;
    for (const CallKind kind : kinds)
        armedKinds |= 1u << unsigned(kind);
}

void recordCalls(const QList<CallKind>& kinds, const QByteArray& pathPart)
{
    recordedPart = pathPart;
    recordedKinds = 0;
    for (const CallKind kind : kinds)
        recordedKinds |= 1u << unsigned(kind);
    calls.clear();
}

QStringList recordedCalls()
{
    return calls;
}

QString stoppedAnswer()
{
    return QStringLiteral("the check did not finish (status %1)").arg(SIGKILL);
}

extern "C" {

int open(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = creationMode(flags, arguments);
    va_end(arguments);
    static const auto real = next<OpenCall>("open");
    return around(CallKind::Open, path, [&] { return real(path, flags, mode); });
}

// Qt opens its files through this one.
int open64(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = creationMode(flags, arguments);
    va_end(arguments);
    static const auto real = next<OpenCall>("open64");
    return around(CallKind::Open, path, [&] { return real(path, flags, mode); });
}

int link(const char* from, const char* to) noexcept
{
    static const auto real = next<int (*)(const char*, const char*)>("link");
    return around(CallKind::Link, from, [&] { return real(from, to); });
}

int renameat2(int fromDirectory, const char* from, int toDirectory, const char* to, unsigned int flags) noexcept
{
    static const auto real = next<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    return around(CallKind::Rename, from, [&] { return real(fromDirectory, from, toDirectory, to, flags); });
}

int unlink(const char* path) noexcept
{
    static const auto real = next<int (*)(const char*)>("unlink");
    return around(CallKind::Unlink, path, [&] { return real(path); });
}

ssize_t pwrite64(int fd, const void* bytes, size_t count, off64_t offset)
{
    static const auto real = next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    const QByteArray path = pathOf(CallKind::Write, fd);
    return around(CallKind::Write, path.isEmpty() ? nullptr : path.constData(),
        [&] { return real(fd, bytes, count, offset); });
}

int fsync(int fd)
{
    static const auto real = next<int (*)(int)>("fsync");
    const QByteArray path = pathOf(CallKind::Sync, fd);
    return around(CallKind::Sync, path.isEmpty() ? nullptr : path.constData(), [&] { return real(fd); });
}

int fdatasync(int fd)
{
    static const auto real = next<int (*)(int)>("fdatasync");
    const QByteArray path = pathOf(CallKind::Sync, fd);
    return around(CallKind::Sync, path.isEmpty() ? nullptr : path.constData(), [&] { return real(fd); });
}

} // extern "C"
