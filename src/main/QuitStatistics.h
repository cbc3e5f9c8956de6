#pragma once

#include <QString>
#include <QtGlobal>

// The recovery statistics shown at quit: eleven lines separated by a lone CR.
QString quitStatisticsText(qint32 numberDeleted, double recoveredBytes, double recoveredSectorBytes,
    double totalSectorBytes, qint32 totalDeleted);

// The note shown when the user switches the statistics off.
QString reenableStatisticsNote();
