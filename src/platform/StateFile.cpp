#include "platform/StateFile.h"

#include "platform/Conventions.h"
#include "platform/TextLines.h"
#include "platform/WholeFile.h"

#include <cmath>

std::optional<qint32> readStateNumber(const QString& path, QString* reason)
{
    const std::optional<QByteArray> bytes = wholefile::read(path, MaxStateBytes, reason);
    if (!bytes)
        return std::nullopt;
    const qsizetype lineEnd = bytes->indexOf('\n');
    const double value = conv::val(QString::fromLatin1(lineEnd < 0 ? *bytes : bytes->left(lineEnd)).trimmed());
    if (!std::isfinite(value) || std::abs(value) > 2147483647.0)
        return 0;
    return qint32(conv::roundHalfEven(value));
}

QString stateFileRefusal(const QString& path)
{
    QString reason;
    if (!wholefile::present(path) || readStateNumber(path, &reason))
        return {};
    return stateFileRefusalText(path, reason);
}

QString stateFileRefusalText(const QString& path, const QString& reason)
{
    return QStringLiteral("Unable to read %1\r\r%2").arg(path, reason);
}

QString stateFileUnwritableText(const QString& path, const QString& reason)
{
    return QStringLiteral("Unable to write %1\r\r%2").arg(path, reason);
}

bool writeStateFile(const QString& path, const QString& line)
{
    return textlines::writeAtomically(path, { line });
}
