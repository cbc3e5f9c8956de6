#include "imagestats/CurrentDate.h"

QString CurrentMonth(const QDate& today)
{
    const int month = today.month();
    return month < 10 ? QLatin1Char('0') + QString::number(month) : QString::number(month);
}

QString CurrentYear(const QDate& today)
{
    return QString::number(today.year());
}
