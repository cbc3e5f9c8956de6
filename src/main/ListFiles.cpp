#include "main/ListFiles.h"

#include "platform/Conventions.h"
#include "platform/Prompter.h"
#include "platform/TextLines.h"
#include "platform/WholeFile.h"

#include <QDir>

namespace {

const QString IncomingMarker = QStringLiteral(" = INCOMING FILE DIRECTORY");

bool isGeneral(const QString& name)
{
    return conv::upper(name) == QLatin1String("GENERAL");
}

// Trailing blanks of a hand-written line; no entry or marker ends in one.
QString withoutTrailingBlanks(const QString& line)
{
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1) == QLatin1Char(' '))
        --end;
    return line.left(end);
}

// An entry line: "[" label "] " and an absolute path ending in "/". Any other character may stand
// in the path ("=" included), so a line is known by its shape alone. The label is upper-cased, as
// the add dialog writes it; the path keeps its case.
std::optional<QString> entryOf(const QString& line)
{
    const qsizetype close = line.indexOf(QStringLiteral("] /"));
    if (!line.startsWith(QLatin1Char('[')) || !line.endsWith(QLatin1Char('/')) || close < 0)
        return std::nullopt;
    return conv::upper(line.left(close + 1)) + line.mid(close + 1);
}

// The IFCD line ends in the marker; what stands before it is the IFCD, whatever its path holds.
std::optional<QString> incomingOf(const QString& line)
{
    const QString marker = IncomingMarker.mid(1);
    if (!line.endsWith(marker, Qt::CaseInsensitive))
        return std::nullopt;
    const QString ifcd = textlines::trimBlanks(line.left(line.size() - marker.size()));
    return entryOf(ifcd).value_or(ifcd);
}

} // namespace

ListFiles::ListFiles(QString programDirectory, Prompter& prompter)
    : m_programDirectory(std::move(programDirectory))
    , m_prompter(prompter)
{
}

QString ListFiles::dataDirectory() const
{
    return listDataDirectory(m_programDirectory);
}

QString ListFiles::listFilePath(const QString& name) const
{
    return dataDirectory() + name + QStringLiteral(".lst");
}

QString ListFiles::tagFilePath(const QString& db) const
{
    return dataDirectory() + db + QStringLiteral(".lcd");
}

bool ListFiles::isUnsafeName(const QString& name)
{
    // A line break would also end the LIST NAME line of the settings file.
    return name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.contains(QChar(0))
        || name.contains(QStringLiteral("..")) || textlines::holdsLineBreak(name);
}

bool ListFiles::ensureDataDirectory() const
{
    return QDir().mkpath(dataDirectory());
}

QStringList ListFiles::listFileLines(const MainSettings& settings)
{
    QStringList lines { QStringLiteral("[DIRECTORIES]") };
    lines << settings.directories;
    lines << settings.ifcd + IncomingMarker;
    if (settings.treeModeIfcd)
        lines << QStringLiteral("TREE MODE IFCD");
    lines << QStringLiteral(" ");
    return lines;
}

bool ListFiles::saveList(const QString& name, MainSettings& settings) const
{
    if (name.trimmed().isEmpty()) {
        m_prompter.tell(QStringLiteral("No list name...  Unable to save list..."),
            QStringLiteral("t'olq! - Save directory list"), MsgIcon::Information);
        return false;
    }
    ensureDataDirectory();
    if (isUnsafeName(name) || !textlines::writeAtomically(listFilePath(name), listFileLines(settings))) {
        m_prompter.tell(QStringLiteral("Unable to create DIR LIST file"));
        return false;
    }
    if (!wholefile::present(tagFilePath(name)) && !writeMonthTag(name, QDate::currentDate())) {
        m_prompter.tell(QStringLiteral("Unable to create LIST TAG file"));
        return false;
    }
    settings.listName = name;
    return true;
}

bool ListFiles::loadList(const QString& name, MainSettings& settings) const
{
    if (name.trimmed().isEmpty())
        return false;
    ensureDataDirectory();
    std::optional<QStringList> lines;
    if (!isUnsafeName(name))
        lines = textlines::read(listFilePath(name));
    if (!lines) {
        if (!isGeneral(name))
            m_prompter.tell(QStringLiteral("Unable to read DIR LIST file"));
        return false;
    }

    QStringList directories;
    QString ifcd;
    bool treeMode = false;
    for (const QString& text : *lines) {
        const QString line = withoutTrailingBlanks(text);
        if (const std::optional<QString> entry = entryOf(line))
            directories << *entry;
        else if (const std::optional<QString> incoming = incomingOf(line))
            ifcd = *incoming;
        else if (conv::upper(line) == QLatin1String("TREE MODE IFCD"))
            treeMode = true;
    }
    if (!ifcd.trimmed().isEmpty() && !directories.contains(ifcd)) {
        directories << ifcd;
        treeMode = false;
    }
    settings.directories = directories;
    settings.ifcd = ifcd;
    settings.treeModeIfcd = treeMode;
    settings.listName = name;
    return true;
}

QString ListFiles::monthTagLine(int month)
{
    return QStringLiteral(" %1 ").arg(month);
}

bool ListFiles::writeMonthTag(const QString& db, const QDate& today) const
{
    if (isUnsafeName(db) || !ensureDataDirectory())
        return false;
    return textlines::writeAtomically(tagFilePath(db), { monthTagLine(today.month()) });
}

std::optional<QString> ListFiles::readMonthTag(const QString& db, QString* reason) const
{
    if (isUnsafeName(db))
        return std::nullopt;
    const std::optional<QStringList> lines = textlines::read(tagFilePath(db), textlines::MaxBytes, reason);
    if (!lines)
        return std::nullopt;
    return lines->isEmpty() ? QString() : lines->first().trimmed();
}
