#include "platform/TextLines.h"

#include "platform/AtomicFile.h"
#include "platform/WholeFile.h"

#include <algorithm>

namespace textlines {

QByteArray compose(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

bool writeAtomically(const QString& path, const QStringList& lines, QString* reason)
{
    if (std::any_of(lines.cbegin(), lines.cend(), holdsLineBreak))
        return false;
    return atomicfile::write(path, compose(lines), reason);
}

std::optional<QStringList> read(const QString& path, qint64 maxBytes, QString* reason)
{
    const std::optional<QByteArray> bytes = wholefile::read(path, maxBytes, reason);
    if (!bytes)
        return std::nullopt;
    QString text = QString::fromUtf8(*bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    // The last line's end leaves one empty piece behind.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

bool holdsLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

QString lineBreakRefusal(const QString& reason, const QStringList& texts)
{
    QStringList shown;
    for (QString text : texts) {
        text.replace(QLatin1Char('\n'), QChar(0x21B5)).replace(QLatin1Char('\r'), QChar(0x21B5));
        shown << text;
    }
    return reason + QStringLiteral("\r\r") + shown.join(QLatin1Char('\r'));
}

QString settingLineBreakReason(const QString& what)
{
    return QStringLiteral("This ") + what
        + QStringLiteral(" was not taken: it holds a line break, and the settings file keeps it on one line...");
}

} // namespace textlines
