#include "platform/Prompter.h"

QString displayText(const QString& storedText)
{
    QString shown = storedText;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}
