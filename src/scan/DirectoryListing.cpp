#include "scan/DirectoryListing.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

std::optional<QStringList> listFilesOfType(const QString& directoryPath, const QString& fileType)
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
        if (name.size() > fileType.size() && name.endsWith(fileType, Qt::CaseInsensitive))
            names.append(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<FileFacts> fileFacts(const QString& filePath)
{
    struct stat info;
    if (::lstat(QFile::encodeName(filePath).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileFacts { qint64(info.st_size), qint64(info.st_mtime) };
}
