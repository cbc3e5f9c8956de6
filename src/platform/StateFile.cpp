#include "platform/StateFile.h"

#include "platform/Conventions.h"

#include <QFile>

#include <cmath>
#include <cstdio>

qint32 readStateNumber(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const double value = conv::val(QString::fromLatin1(file.readLine(4096)).trimmed());
    if (!std::isfinite(value) || std::abs(value) > 2147483647.0)
        return 0;
    return qint32(conv::roundHalfEven(value));
}

bool writeStateFile(const QString& path, const QByteArray& line)
{
    const QString temporary = path + QStringLiteral(".tmp");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(line) == line.size();
    file.close();
    if (!written || std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}
