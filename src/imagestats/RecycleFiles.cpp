#include "imagestats/RecycleFiles.h"

#include <QFile>

int RecycleFiles(const QStringList& paths, QStringList* failed)
{
    int failures = 0;
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.exists() || !file.moveToTrash()) {
            ++failures;
            if (failed)
                failed->append(path);
        }
    }
    return failures;
}
