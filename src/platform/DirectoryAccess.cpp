#include "platform/DirectoryAccess.h"

#include <QFile>

#include <dirent.h>

bool canOpenDirectory(const QString& path)
{
    if (path.isEmpty())
        return false;
    DIR* dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return false;
    ::closedir(dir);
    return true;
}
