#include "platform/ProgramDirectory.h"

#include <QDir>
#include <QStandardPaths>

QString programDirectory()
{
    const QString home = qEnvironmentVariable("TOLQ_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QDir(home).absolutePath());
    return QDir::cleanPath(dataHome() + QStringLiteral("/tolq"));
}

QString dataHome()
{
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!data.isEmpty() && QDir::isAbsolutePath(data))
        return QDir::cleanPath(data);
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.local/share"));
}

void loadShippedResources()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(tolq);
        return true;
    }();
    Q_UNUSED(loaded);
}

QString programFile(const QString& name)
{
    return programDirectory() + QLatin1Char('/') + name;
}
