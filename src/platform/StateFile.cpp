#include "platform/StateFile.h"

#include "platform/Conventions.h"
#include "platform/TextLines.h"

#include <QFile>

#include <cmath>

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

bool writeStateFile(const QString& path, const QString& line)
{
    return textlines::writeAtomically(path, { line });
}
