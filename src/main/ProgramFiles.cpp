#include "main/ProgramFiles.h"

#include "catalogue/TemplateDatabase.h"
#include "platform/ProgramDirectory.h"
#include "platform/WholeFile.h"

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
    // A name that is there in any form is left as it is: a link whose target is gone (a disk not
    // mounted) is the user's, not a missing file to write over.
    const QString errorPicture = programFile(QStringLiteral("error.bmp"));
    if (!wholefile::present(errorPicture)) {
        QFile::copy(QStringLiteral(":/tolq/error.bmp"), errorPicture);
        QFile::setPermissions(errorPicture, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    const QString templateDb = programFile(QStringLiteral("tolq.mdb"));
    if (!wholefile::present(templateDb))
        return writeTemplateDatabase(templateDb, error);
    return true;
}
