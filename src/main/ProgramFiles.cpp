#include "main/ProgramFiles.h"

#include "catalogue/TemplateDatabase.h"
#include "platform/ProgramDirectory.h"

#include <QDir>
#include <QFile>

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
