#include "session/MainSettings.h"

#include "platform/Conventions.h"
#include "session/SettingsTable.h"

#include <limits>

MainSettings::MainSettings()
{
    settingstable::applyDesignValues(*this);
}

int MainSettings::toleranceValue() const
{
    // The rules take it as a 16-bit number. One the settings file brings from beyond that range
    // is held at the nearer bound, the nearest a 16-bit number comes to what was written: larger
    // than any difference (everything within reach matches) or below every one (nothing does),
    // as the numbers just inside the bounds already behave.
    return int(conv::roundHalfEvenWithin(
        conv::val(tolerance), std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
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

QString filterOrEveryName(const QString& filter)
{
    return filter.isEmpty() ? settingstable::designText(QLatin1StringView("FILTER")) : filter;
}

QString normaliseFilter(const QString& text)
{
    return filterOrEveryName(conv::upper(text.trimmed()));
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
        return settingstable::designText(QLatin1StringView("RGB TOLERANCE"));
    return result;
}

QString listDataDirectory(const QString& programDirectory)
{
    QString dir = programDirectory;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + QStringLiteral("data/");
}

QString listDatabasePath(const QString& programDirectory, const MainSettings& settings)
{
    return listDataDirectory(programDirectory) + settings.listDatabaseName() + QStringLiteral(".mdb");
}
