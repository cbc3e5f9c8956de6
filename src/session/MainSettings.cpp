#include "session/MainSettings.h"

#include "platform/Conventions.h"

#include <cmath>
#include <limits>

int MainSettings::toleranceValue() const
{
    const double value = conv::val(tolerance);
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<int>::max())
        return 0;
    return int(conv::roundHalfEven(value));
}

QString MainSettings::listDatabaseName() const
{
    return singleTable ? QStringLiteral("tolqtmp") : listName;
}

int MainSettings::tickedTypeCount() const
{
    int count = 0;
    for (bool ticked : fileTypes)
        count += ticked ? 1 : 0;
    return count;
}

QString normaliseFilter(const QString& text)
{
    const QString result = conv::upper(text.trimmed());
    return result.isEmpty() ? QStringLiteral("*") : result;
}

QString normaliseThumbnailExt(const QString& text)
{
    QString result = conv::upper(text.trimmed());
    if (!result.isEmpty() && !result.startsWith(QLatin1Char('.')))
        result.prepend(QLatin1Char('.'));
    return result;
}

QString normaliseTolerance(const QString& text)
{
    const QString result = text.trimmed();
    const double value = conv::val(result);
    if (value < 0 || value > 99)
        return QStringLiteral("5");
    return result;
}
