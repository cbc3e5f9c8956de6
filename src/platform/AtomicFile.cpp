#include "platform/AtomicFile.h"

#include "platform/StrayFiles.h"
#include "platform/WholeFile.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace atomicfile {

namespace {

Fault& fault()
{
    static Fault instance;
    return instance;
}

// The errno a step fails with under the test seam, or 0.
int injected(Step step)
{
    return fault() ? fault()(step) : 0;
}

bool fail(QString* reason, const QString& path, int error)
{
    if (reason)
        *reason = QStringLiteral("%1 cannot be written: %2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
    errno = error;
    return false;
}

bool writeAll(int fd, const QByteArray& bytes, int* error)
{
    if ((*error = injected(Step::Write)))
        return false;
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            *error = errno;
            return false;
        }
        if (written == 0) {
            *error = ENOSPC;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// A name beside the target that no other writer uses; hidden, so no listing shows it.
int createBeside(const QString& path, QByteArray* temporary, int* error)
{
    static std::atomic<unsigned> counter { 0 };
    const QFileInfo target(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()
            + QStringLiteral(".%1-%2.tmp").arg(::getpid()).arg(counter++));
        if ((*error = injected(Step::Create)))
            return -1;
        // Mode 0666 less the umask, as any new file gets; a replaced file's mode is copied below.
        const int fd = ::open(temporary->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST) {
            *error = errno;
            return -1;
        }
    }
    *error = EEXIST;
    return -1;
}

void syncDirectory(const QString& path)
{
    // Makes the rename itself durable. The file is whole either way, old or new, so a directory
    // that cannot be synced is not a failure.
    const int fd
        = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The file a link leads to, when the path is a link that leads to one; else the path itself.
QString followLink(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    char resolved[PATH_MAX];
    if (::lstat(name.constData(), &status) != 0 || !S_ISLNK(status.st_mode) || !::realpath(name.constData(), resolved))
        return path;
    return QFile::decodeName(resolved);
}

} // namespace

bool write(const QString& path, const QByteArray& bytes, QString* reason)
{
    // A file the user keeps elsewhere and links in stays linked: the new file is made beside the
    // one the link leads to and replaces that one.
    const QString file = followLink(path);
    const QByteArray target = QFile::encodeName(file);
    struct stat existing;
    const bool replacing = ::stat(target.constData(), &existing) == 0;
    // A link that cannot be followed (its disk not mounted, or links that go round) is kept: the
    // rename would put the new file in the link's place.
    const int lookError = errno;
    if (!replacing && ::lstat(target.constData(), &existing) == 0) {
        if (reason)
            *reason = QStringLiteral("%1 cannot be written: %2").arg(path, wholefile::brokenLinkText(path));
        errno = lookError;
        return false;
    }
    if (replacing && !S_ISREG(existing.st_mode))
        return fail(reason, path, S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
    // A file made read-only stays as it is, although its directory would allow replacing it.
    if (replacing && ::access(target.constData(), W_OK) != 0)
        return fail(reason, path, errno);

    // What a writer killed between its create and its rename left beside the file.
    const QFileInfo place(file);
    strayfiles::removeOfGoneWriters(QFile::encodeName(place.absolutePath()),
        QFile::encodeName(QLatin1Char('.') + place.fileName() + QLatin1Char('.')), ".tmp", false);

    QByteArray temporary;
    int error = 0;
    const int fd = createBeside(file, &temporary, &error);
    if (fd < 0)
        return fail(reason, path, error);
    const auto abandon = [&](int cause) {
        ::unlink(temporary.constData());
        return fail(reason, path, cause);
    };
    if (replacing)
        ::fchmod(fd, existing.st_mode & 07777);
    if (!writeAll(fd, bytes, &error)) {
        ::close(fd);
        return abandon(error);
    }
    // A file system that cannot sync at all (EINVAL) still has the bytes written.
    error = injected(Step::Sync);
    if (!error && ::fsync(fd) != 0 && errno != EINVAL)
        error = errno;
    if (error) {
        ::close(fd);
        return abandon(error);
    }
    // Some file systems report a failed write only when the file is closed.
    error = injected(Step::Close);
    if (error)
        ::close(fd);
    else if (::close(fd) != 0)
        error = errno;
    if (error)
        return abandon(error);
    error = injected(Step::Rename);
    if (!error && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error)
        return abandon(error);
    syncDirectory(file);
    return true;
}

void setFaultForTesting(Fault faultHook)
{
    fault() = std::move(faultHook);
}

} // namespace atomicfile
