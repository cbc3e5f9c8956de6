#include "platform/ProgramDirectory.h"

#include "catalogue/TemplateDatabase.h"

#include <QDir>
#include <QFile>
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

bool prepareProgramDirectory(QString* error)
{
    const QString dir = programDirectory();
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("Unable to create the program directory %1").arg(dir);
        return false;
    }
    loadShippedResources();
    const QString errorPicture = programFile(QStringLiteral("error.bmp"));
    if (!QFile::exists(errorPicture)) {
        QFile::copy(QStringLiteral(":/tolq/error.bmp"), errorPicture);
        QFile::setPermissions(errorPicture, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    const QString templateDb = programFile(QStringLiteral("tolq.mdb"));
    if (!QFile::exists(templateDb))
        return writeTemplateDatabase(templateDb, error);
    return true;
}
