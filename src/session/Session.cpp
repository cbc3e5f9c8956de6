#include "session/Session.h"

#include <QDir>

void Session::applyReaderPresets(const QString& programDirectory)
{
    StoppedAtRecord = 0;
    AltViewer.clear();
    SearchCompleted = QStringLiteral("NO");
    DisableFilePolling = false;
    CompactedMonth = 0;
    ReactivateDrives.clear();
    ShowEndStats = true;
    LastDirUsed = defaultStartDirectory();
    WavDirectory = programDirectory.endsWith(QLatin1Char('/')) ? programDirectory : programDirectory + QLatin1Char('/');
    ThreeMonthPurge = true;
    IdentifyByLocation = false;
    NoWarnings = false;
    PreScanTop = NoStoredPosition;
    PreScanLeft = NoStoredPosition;
}

QStringList Session::reactivateMountPoints() const
{
    return ReactivateDrives.split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

void Session::setReactivateMountPoints(const QStringList& mountPoints)
{
    ReactivateDrives = mountPoints.join(QLatin1Char('|'));
}

QString defaultStartDirectory()
{
    return QDir::homePath();
}
