#include "scan/ScanningFile.h"

#include "platform/Conventions.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>

QString scanningFilePath(const QString& programDirectory)
{
    return programDirectory + QStringLiteral("/Scanning.dat");
}

int readResumeIndex(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QString line = QString::fromLocal8Bit(file.readLine()).trimmed();
    const double value = conv::val(line);
    if (!std::isfinite(value) || std::abs(value) > 2e9)
        return 0;
    return int(conv::roundHalfEven(value));
}

bool writeResumeIndex(const QString& path, int entryIndex)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((conv::signedText(entryIndex) + QStringLiteral("\r\n")).toLatin1());
    return file.commit();
}
