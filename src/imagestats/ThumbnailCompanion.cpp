#include "imagestats/ThumbnailCompanion.h"

#include "platform/SafeRename.h"
#include "session/FileTypes.h"

#include <QDir>
#include <QFile>

QString companionExtension(const QString& thumbnailExt)
{
    if (thumbnailExt.trimmed().isEmpty() || thumbnailExt.contains(QLatin1Char('/')) || thumbnailExt.contains(QChar(0)))
        return {};
    for (const FileType& type : FileTypes) {
        if (thumbnailExt.compare(QLatin1String(type.extension), Qt::CaseInsensitive) == 0)
            return {};
    }
    return thumbnailExt;
}

QString companionName(
    const QString& directoryPath, const QString& imageName, const QString& base, const QString& companionExt)
{
    if (companionExt.isEmpty())
        return {};
    const QString name = base + companionExt;
    if (probeEntry(QFile::encodeName(directoryPath + name)) == EntryProbe::Present)
        return name;
    const QStringList entries
        = QDir(directoryPath).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && entry.compare(imageName, Qt::CaseInsensitive) != 0)
            return entry;
    }
    return name;
}
