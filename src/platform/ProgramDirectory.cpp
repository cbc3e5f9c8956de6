#include "platform/ProgramDirectory.h"

#include <QDir>
#include <QStandardPaths>

QString programDirectory()
{
    const QString home = qEnvironmentVariable("TOLQ_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QDir(home).absolutePath());
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QStringLiteral("/tolq"));
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
