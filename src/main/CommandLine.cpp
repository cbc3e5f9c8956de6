#include "main/CommandLine.h"

#include "platform/Conventions.h"

CommandLine CommandLine::parse(const QString& text)
{
    CommandLine result;
    result.text = text;
    if (text.isEmpty())
        return result;
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    // Without a "/" the whole text names the list, unchanged.
    const QString name = slash < 0 ? text : text.left(slash).trimmed();
    if (!name.trimmed().isEmpty())
        result.listName = name;
    result.gather = conv::upper(text).contains(QStringLiteral("/GATHER"));
    return result;
}

QString CommandLine::fromArguments(const QStringList& arguments)
{
    return arguments.mid(1).join(QLatin1Char(' '));
}
