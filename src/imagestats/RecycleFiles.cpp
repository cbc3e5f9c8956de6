#include "imagestats/RecycleFiles.h"

#include <QFile>
#include <QFileInfo>

int RecycleFiles(const QStringList& paths, QStringList* failed)
{
    int failures = 0;
    for (const QString& path : paths) {
        QFile file(path);
        QString inTrash;
        bool moved = file.exists() && QFile::moveToTrash(path, &inTrash);
        // When no trash directory can be set up, Qt can fall back to a relative location, that
        // is the current directory: that is no trash, so the file goes back and it counts as
        // a failure.
        if (moved && !QFileInfo(inTrash).isAbsolute()) {
            QFile::rename(inTrash, path);
            QFile::remove(QStringLiteral("info/") + QFileInfo(inTrash).fileName() + QStringLiteral(".trashinfo"));
            moved = false;
        }
        if (!moved) {
            ++failures;
            if (failed)
                failed->append(path);
        }
    }
    return failures;
}
