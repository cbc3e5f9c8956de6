#include "scan/ScanningFile.h"

#include "platform/Conventions.h"

#include <QFile>

#include <cmath>
#include <cstdio>

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
    // Written beside and renamed into place, so a reader never sees half a line. No sync to the
    // disk: it is rewritten for every entry, and a lost line only makes the next run a new one.
    const QString temporary = path + QStringLiteral(".tmp");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray line = (conv::signedText(entryIndex) + QStringLiteral("\r\n")).toLatin1();
    const bool written = file.write(line) == line.size();
    file.close();
    if (!written || std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}
