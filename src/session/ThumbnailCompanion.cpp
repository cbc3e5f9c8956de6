#include "session/ThumbnailCompanion.h"

#include "session/FileTypes.h"

QString companionExtension(const QString& thumbnailExt)
{
    if (thumbnailExt.trimmed().isEmpty())
        return {};
    for (const FileType& type : FileTypes) {
        if (thumbnailExt.compare(QLatin1String(type.extension), Qt::CaseInsensitive) == 0)
            return {};
    }
    return thumbnailExt;
}
