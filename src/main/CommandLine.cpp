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

bool CommandLine::helpRequested(const QStringList& arguments)
{
    const QStringList after = arguments.mid(1);
    return after.contains(QStringLiteral("--help")) || after.contains(QStringLiteral("-h"));
}

QString CommandLine::usage()
{
    return QStringLiteral("Usage: tolq [LIST]\n"
                          "       tolq \"LIST /GATHER\"\n"
                          "       tolq -h | --help\n"
                          "\n"
                          "Finds duplicate image files and helps remove them.\n"
                          "\n"
                          "  LIST        load the directory list named LIST: the words before the first\n"
                          "              \"/\" (without one, the list used last)\n"
                          "  /GATHER     gather every statistic of the list, then quit, with no review;\n"
                          "              the exit status says how it went (see the README)\n"
                          "  -h, --help  print this text and exit\n"
                          "\n"
                          "Settings, lists and catalogues live in $TOLQ_HOME when it is set, otherwise in\n"
                          "$XDG_DATA_HOME/tolq (~/.local/share/tolq).\n");
}
