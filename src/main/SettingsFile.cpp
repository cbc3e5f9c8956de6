#include "main/SettingsFile.h"

#include "platform/Conventions.h"
#include "platform/Prompter.h"
#include "platform/TextLines.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

namespace {

using namespace settingstable;

const QString Blank = QStringLiteral(" ");

const std::pair<Section, const char*> Sections[] { { Section::CurrentList, "[CURRENT LIST]" },
    { Section::Mode, "[MODE]" }, { Section::Options, "[OPTIONS]" }, { Section::FileTypes, "[FILE TYPES]" },
    { Section::Misc, "[MISC]" } };

// The row's line as the writer writes it; none for a flag that is off or a value left out.
std::optional<QString> lineOf(const Row& row, const MainSettings& s, const Session& v)
{
    switch (row.line) {
    case Line::None:
        return std::nullopt;
    case Line::ListName:
    case Line::Key:
        return row.text + QStringLiteral(" = ") + text(row, s, v);
    case Line::KeyUnlessEmpty: {
        const QString value = text(row, s, v);
        if (value.isEmpty())
            return std::nullopt;
        return row.text + QStringLiteral(" = ") + value;
    }
    case Line::Flag:
    case Line::FlagAnywhere:
        if (ticked(row, s, v) == row.inverted)
            return std::nullopt;
        return row.text;
    case Line::Counter:
        return text(row, s, v) + Blank + row.text;
    }
    return std::nullopt;
}

bool holdsTextValue(const Row& row)
{
    return row.line == Line::ListName || row.line == Line::Key || row.line == Line::KeyUnlessEmpty;
}

QString beforeFirstBlank(const QString& upper)
{
    const qsizetype blank = upper.indexOf(QLatin1Char(' '));
    return blank < 0 ? upper : upper.left(blank);
}

} // namespace

SettingsFile::SettingsFile(QString programDirectory, Prompter& prompter)
    : m_programDirectory(std::move(programDirectory))
    , m_prompter(prompter)
{
}

QString SettingsFile::path() const
{
    return QDir(m_programDirectory).filePath(QStringLiteral("TOLQ.INI"));
}

bool SettingsFile::exists() const
{
    return wholefile::present(path());
}

QStringList SettingsFile::compose(const MainSettings& s, const Session& v)
{
    QStringList lines;
    for (const auto& [section, header] : Sections) {
        lines << QString::fromLatin1(header);
        for (const Row& row : rows()) {
            if (row.section != section)
                continue;
            if (const std::optional<QString> line = lineOf(row, s, v))
                lines << *line;
        }
        lines << Blank;
    }
    return lines;
}

void SettingsFile::keepLinesWhole(MainSettings& settings, Session& session)
{
    for (const Row& row : rows()) {
        if (!holdsTextValue(row))
            continue;
        const QString value = text(row, settings, session);
        if (textlines::holdsLineBreak(value))
            setText(row, m_keptValues.value(row.text), settings, session);
        else
            m_keptValues.insert(row.text, value);
    }
}

ProgramOutcome SettingsFile::write(MainSettings& settings, Session& session)
{
    keepLinesWhole(settings, session);
    QString reason;
    if (!textlines::writeAtomically(path(), compose(settings, session), &reason)) {
        // With its cause, as a settings file that cannot be read is told.
        m_prompter.tell(QStringLiteral("Unable to create INI file") + (reason.isEmpty() ? QString() : "\r\r" + reason));
        return ProgramOutcome::EndProgram;
    }
    return ProgramOutcome::Continue;
}

ProgramOutcome SettingsFile::read(MainSettings& settings, Session& session, const ListLoader& loadList)
{
    QString reason;
    const std::optional<QStringList> lines = textlines::read(path(), textlines::MaxBytes, &reason);
    if (!lines) {
        m_prompter.tell(QStringLiteral("Unable to read INI file\r\r") + reason);
        return ProgramOutcome::EndProgram;
    }
    applyReaderPresets(settings, session, m_programDirectory);
    for (const QString& line : *lines)
        applyLine(line, settings, session, loadList);
    settings.filter = filterOrEveryName(settings.filter);
    // A preset (the sound directory in a program directory whose name holds a line break) may
    // not be fit to write either.
    keepLinesWhole(settings, session);
    session.SoundFiles = listSoundFiles(session.WavDirectory);
    return ProgramOutcome::Continue;
}

void SettingsFile::applyLine(const QString& line, MainSettings& s, Session& v, const ListLoader& loadList)
{
    const QString u = conv::upper(line);
    // The "contains" tests look only before the first "=", so no key line's value can set a
    // counter or a switch.
    const qsizetype equals = u.indexOf(QLatin1Char('='));
    const QString head = equals < 0 ? u : u.left(equals);
    for (const Row& row : rows()) {
        switch (row.line) {
        case Line::None:
            break;
        case Line::ListName:
        case Line::Key:
        case Line::KeyUnlessEmpty: {
            // A key line: the upper-cased line begins with the key, a blank and "=".
            if (!u.startsWith(row.text + QStringLiteral(" =")))
                break;
            const QString value = textlines::trimBlanks(line.mid(line.indexOf(QLatin1Char('=')) + 1));
            if (row.line != Line::ListName)
                setText(row, value, s, v);
            else if (loadList)
                loadList(value.isEmpty() ? designText(QLatin1StringView("LIST NAME")) : value);
            break;
        }
        case Line::Flag:
            if (u == row.text)
                applyFlag(row, s, v);
            break;
        case Line::FlagAnywhere:
            if (head.contains(row.text))
                applyFlag(row, s, v);
            break;
        case Line::Counter:
            if (head.contains(row.text))
                setText(row, beforeFirstBlank(u), s, v);
            break;
        }
    }
}

QStringList SettingsFile::listSoundFiles(const QString& wavDirectory)
{
    // The directory is a plain prefix of the pattern: ".../sounds/" lists that directory,
    // ".../sounds" lists the parent's names beginning with "sounds".
    const qsizetype slash = wavDirectory.lastIndexOf(QLatin1Char('/'));
    const QString directory = slash < 0 ? QStringLiteral(".") : wavDirectory.left(slash + 1);
    const QString prefix = slash < 0 ? wavDirectory : wavDirectory.mid(slash + 1);
    QStringList found;
    if (wavDirectory.isEmpty() || !QFileInfo(directory).isDir())
        return found;
    const QStringList names = QDir(directory).entryList(
        { QStringLiteral("*.wav") }, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        if (!name.startsWith(prefix))
            continue;
        found << wavDirectory + name.mid(prefix.size());
        if (found.size() == Session::MaxSoundFiles)
            break;
    }
    return found;
}
