#include "session/Session.h"

#include "session/SettingsTable.h"

#include <QDir>

Session::Session()
{
    settingstable::applyDesignValues(*this);
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
