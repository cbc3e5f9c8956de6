#include "imagestats/RecycleFiles.h"

#include "platform/Trash.h"

int RecycleFiles(const QStringList& paths, QStringList* failed)
{
    int failures = 0;
    for (const QString& path : paths) {
        if (!moveFileToTrash(path)) {
            ++failures;
            if (failed)
                failed->append(path);
        }
    }
    return failures;
}
