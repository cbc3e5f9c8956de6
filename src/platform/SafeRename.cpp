#include "platform/SafeRename.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileOpResult failureOf(int error, const QByteArray& from)
{
    if (error == EEXIST)
        return FileOpResult::fail(FileOpResult::TargetExists, FileOpResult::Destination, error);
    if (error == ENOENT && probeEntry(from) == EntryProbe::Missing)
        return FileOpResult::fail(FileOpResult::SourceMissing, FileOpResult::Source, error);
    return FileOpResult::fail(FileOpResult::Failed, FileOpResult::Destination, error);
}

FileOpResult linkAndUnlink(const QByteArray& from, const QByteArray& to)
{
    if (::link(from.constData(), to.constData()) != 0)
        return failureOf(errno, from);
    if (::unlink(from.constData()) != 0) {
        const int error = errno;
        // Two names for one file is no rename: the new name goes again.
        ::unlink(to.constData());
        return FileOpResult::fail(FileOpResult::Failed, FileOpResult::Source, error);
    }
    return {};
}

} // namespace

bool isAcceptableFileName(const QByteArray& name)
{
    if (name.isEmpty() || name == "." || name == "..")
        return false;
    for (const char c : name) {
        const auto code = static_cast<unsigned char>(c);
        if (code == '/' || code < 32 || code == 127)
            return false;
    }
    return true;
}

bool isAcceptableFileName(const QString& name)
{
    // Checked on the text as well: a character the encoding cannot hold must not slip through.
    for (const QChar c : name) {
        if (c.unicode() < 32 || c.unicode() == 127)
            return false;
    }
    return isAcceptableFileName(QFile::encodeName(name));
}

EntryProbe probeEntry(const QByteArray& path)
{
    struct stat info;
    if (::lstat(path.constData(), &info) == 0)
        return EntryProbe::Present;
    return (errno == ENOENT || errno == ENOTDIR) ? EntryProbe::Missing : EntryProbe::Unknown;
}

FileOpResult renameNoReplace(const QByteArray& from, const QByteArray& to, RenameMethod method)
{
    if (method == RenameMethod::LinkAndUnlink)
        return linkAndUnlink(from, to);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return {};
    const int error = errno;
    // EINVAL or ENOSYS: the file system (or kernel) does not know the flag.
    if (error == EINVAL || error == ENOSYS)
        return linkAndUnlink(from, to);
    return failureOf(error, from);
}

FileOpResult renameInDirectory(const QByteArray& directoryPath, const QByteArray& oldName, const QByteArray& newName)
{
    if (!isAcceptableFileName(newName))
        return FileOpResult::fail(FileOpResult::BadName, FileOpResult::Destination, 0);
    FileOpResult result = renameNoReplace(directoryPath + oldName, directoryPath + newName);
    if (result.ok())
        syncDirectory(directoryPath);
    return result;
}

FileOpResult renameInDirectory(const QString& directoryPath, const QString& oldName, const QString& newName)
{
    if (!isAcceptableFileName(newName))
        return FileOpResult::fail(FileOpResult::BadName, FileOpResult::Destination, 0);
    return renameInDirectory(QFile::encodeName(directoryPath), QFile::encodeName(oldName), QFile::encodeName(newName));
}

void syncDirectory(const QByteArray& directoryPath)
{
    const int fd = ::open(directoryPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

QByteArray directoryOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}
