#include "dialogs/ProgramPicker.h"

#include <QDir>

QString joinPickerPath(const QString& directory, const QString& fileName)
{
    const QString joined = directory + QLatin1Char('/') + fileName;
    if (joined.contains(QStringLiteral("//")))
        return directory + fileName;
    return joined;
}

QStringList pickerFiles(const QString& directory, bool executablesOnly)
{
    QDir::Filters filters = QDir::Files;
    if (executablesOnly)
        filters |= QDir::Executable;
    return QDir(directory).entryList(filters, QDir::Name | QDir::IgnoreCase);
}
