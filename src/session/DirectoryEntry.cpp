#include "session/DirectoryEntry.h"

#include "platform/TextLines.h"
#include "platform/Volumes.h"

#include <QDir>
#include <QFileInfo>

QString DirectoryEntry::directoryPath(const QString& path)
{
    QString result = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!result.endsWith(QLatin1Char('/')))
        result += QLatin1Char('/');
    return result;
}

DirectoryEntry DirectoryEntry::of(const QString& path, const QString& label)
{
    return DirectoryEntry { QLatin1Char('[') + label.toUpper() + QLatin1Char(']'), directoryPath(path) };
}

QString DirectoryEntry::forPath(const QString& path, const Volumes& volumes)
{
    return of(path, volumes.volumeFor(directoryPath(path)).label).text();
}

DirectoryEntry DirectoryEntry::split(const QString& entry)
{
    // A label may itself hold a "]"; the path part always starts with "/", so the volume part
    // ends at the first "] /". Texts without one fall back to the first "]".
    qsizetype close = entry.indexOf(QStringLiteral("] /"));
    if (close < 0)
        close = entry.indexOf(QLatin1Char(']'));
    if (close < 0)
        return DirectoryEntry { QString(), textlines::trimBlanks(entry) };
    return DirectoryEntry { entry.left(close + 1), textlines::trimBlanks(entry.mid(close + 1)) };
}

bool DirectoryEntry::liesIn(const QString& entry, const QString& container)
{
    return !container.isEmpty() && entry.startsWith(container);
}
