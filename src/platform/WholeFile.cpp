#include "platform/WholeFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wholefile {

namespace {

std::optional<QByteArray> fail(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
    return std::nullopt;
}

std::optional<QByteArray> failWith(QString* reason, int error)
{
    return fail(
        reason, QStringLiteral("The file cannot be read (%1).").arg(QString::fromLocal8Bit(std::strerror(error))));
}

QString tooLargeText(qint64 maxBytes)
{
    return QStringLiteral("The file is larger than %1 bytes.").arg(maxBytes);
}

} // namespace

QString notAFileText()
{
    return QStringLiteral("The path is not a file.");
}

QString brokenLinkText(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::lstat(name.constData(), &status) != 0 || !S_ISLNK(status.st_mode) || ::stat(name.constData(), &status) == 0)
        return {};
    return QStringLiteral("The path is a link that cannot be followed (%1).")
        .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

bool present(const QString& path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

std::optional<QByteArray> read(const QString& path, qint64 maxBytes, QString* reason)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::stat(name.constData(), &status) != 0) {
        const int error = errno;
        const QString link = brokenLinkText(path);
        return link.isEmpty() ? failWith(reason, error) : fail(reason, link);
    }
    if (!S_ISREG(status.st_mode))
        return fail(reason, notAFileText());
    // Not blocking: a FIFO put in the file's place since the look above must not hold the open.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failWith(reason, errno);
    const auto closeAnd = [fd](std::optional<QByteArray> result) {
        ::close(fd);
        return result;
    };
    if (::fstat(fd, &status) != 0)
        return closeAnd(failWith(reason, errno));
    if (!S_ISREG(status.st_mode))
        return closeAnd(fail(reason, notAFileText()));
    if (status.st_size > maxBytes)
        return closeAnd(fail(reason, tooLargeText(maxBytes)));
    // The file may grow while it is read: one byte beyond the bound tells.
    QByteArray bytes;
    bytes.resize(qsizetype(status.st_size) + 1);
    qsizetype used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (qint64(used) > maxBytes)
                return closeAnd(fail(reason, tooLargeText(maxBytes)));
            bytes.resize(qsizetype(qMin(maxBytes + 1, qint64(used) * 2 + 4096)));
        }
        const ssize_t got = ::read(fd, bytes.data() + used, size_t(bytes.size() - used));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return closeAnd(failWith(reason, errno));
        }
        if (got == 0)
            break;
        used += got;
    }
    if (qint64(used) > maxBytes)
        return closeAnd(fail(reason, tooLargeText(maxBytes)));
    bytes.truncate(used);
    return closeAnd(std::move(bytes));
}

} // namespace wholefile
