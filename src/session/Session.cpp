#include "session/Session.h"

#include "session/SettingsTable.h"

#include <QDir>

void Session::applyReaderPresets(const QString& programDirectory)
{
    MainSettings untouched;
    settingstable::applyReaderPresets(untouched, *this, programDirectory);
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
