#include "scan/DirectoryListing.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

QStringList filesOfType(const QStringList& names, const QString& fileType)
{
    QStringList result;
    for (const QString& name : names) {
        if (name.size() > fileType.size() && name.endsWith(fileType, Qt::CaseInsensitive))
            result.append(name);
    }
    return result;
}

std::optional<QStringList> listRegularFiles(const QString& directoryPath, QStringList* undecodable)
{
    DIR* dir = ::opendir(QFile::encodeName(directoryPath).constData());
    if (!dir)
        return std::nullopt;
    const int fd = ::dirfd(dir);
    QStringList names;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat info;
            regular = ::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode);
        }
        if (!regular)
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        if (QFile::encodeName(name) != entry->d_name) {
            if (undecodable)
                undecodable->append(name);
            continue;
        }
        names.append(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    if (undecodable)
        std::sort(undecodable->begin(), undecodable->end());
    return names;
}

std::optional<FileFacts> fileFacts(const QString& filePath)
{
    struct stat info;
    if (::lstat(QFile::encodeName(filePath).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileFacts { qint64(info.st_size), qint64(info.st_mtime) };
}

DirectoryHandle::DirectoryHandle(const QString& directoryPath)
    : m_path(directoryPath)
    , m_fd(::open(QFile::encodeName(directoryPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

DirectoryHandle::~DirectoryHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<FileFacts> DirectoryHandle::factsOf(const QString& fileName) const
{
    if (m_fd < 0)
        return fileFacts(m_path + fileName);
    struct stat info;
    if (::fstatat(m_fd, QFile::encodeName(fileName).constData(), &info, AT_SYMLINK_NOFOLLOW) != 0
        || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileFacts { qint64(info.st_size), qint64(info.st_mtime) };
}
