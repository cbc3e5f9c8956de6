#include "imagestats/FixExtensions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void FixExtensions(const QString& directory, const QString& oldExtension, const QString& newExtension)
{
    QDir dir(directory);
    if (!dir.exists() || oldExtension.isEmpty())
        return;
    const QStringList all = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    QStringList names;
    for (const QString& name : all) {
        if (name.endsWith(oldExtension, Qt::CaseInsensitive) && !name.startsWith(QLatin1Char('.'))) {
            names << name;
            if (names.size() == 1000)
                break;
        }
    }
    for (const QString& name : names) {
        const QString base = name.left(name.size() - oldExtension.size());
        QString newName = base + newExtension;
        for (int k = 1; QFileInfo::exists(dir.filePath(newName)); ++k)
            newName = base + QString::number(k) + newExtension;
        // QFile::rename refuses to replace an existing file.
        QFile::rename(dir.filePath(name), dir.filePath(newName));
    }
}
