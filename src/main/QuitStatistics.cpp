#include "main/QuitStatistics.h"

#include "platform/Conventions.h"

namespace {

// Not a binary megabyte: the figure users have always seen.
constexpr double BytesPerMeg = 1057000.0;

QString bytesLine(double bytes)
{
    return conv::shortestDouble(bytes) + QStringLiteral(" bytes recovered, or ")
        + conv::formatHashDecimals(bytes / BytesPerMeg) + QStringLiteral(" meg(s).");
}

} // namespace

QString quitStatisticsText(qint32 numberDeleted, double recoveredBytes, double recoveredSectorBytes,
    double totalSectorBytes, qint32 totalDeleted)
{
    const QString cr = QStringLiteral("\r");
    return QString::number(numberDeleted) + QStringLiteral(" file(s) deleted this session.") + cr + cr
        + bytesLine(recoveredBytes) + cr + cr + QStringLiteral("Actual space adjusted for sector usage...") + cr
        + bytesLine(recoveredSectorBytes) + cr + QStringLiteral("__________") + cr + cr
        + QStringLiteral("Total recovered for all sessions...") + cr
        + bytesLine(totalSectorBytes + recoveredSectorBytes) + cr + QString::number(totalDeleted)
        + QStringLiteral(" files deleted.");
}

QString reenableStatisticsNote()
{
    return QStringLiteral("To Re-enable the drive stats message at a later time, remove the line that reads "
                          "\r\rDISABLE END STATS MESSAGE\r\rfrom the TOLQ.INI file");
}
