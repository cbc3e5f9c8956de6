#include "imagestats/InvolvesIFCD.h"

static QString trimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

bool InvolvesIFCD(const QString& firstLocation, const QString& secondLocation, const QString& txtIFCD, bool treeMode)
{
    const QString ifcd = trimBlanks(txtIFCD).toUpper();
    if (ifcd.isEmpty())
        return true;
    auto involves = [&](const QString& location) {
        const QString text = trimBlanks(location).toUpper();
        return treeMode ? text.startsWith(ifcd) : text == ifcd;
    };
    return involves(firstLocation) || involves(secondLocation);
}
