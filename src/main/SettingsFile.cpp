#include "main/SettingsFile.h"

#include "platform/Conventions.h"
#include "platform/Prompter.h"
#include "platform/TextLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <limits>

namespace settingschange {

void selectMode(MainSettings& settings, Session& session, ComparisonMode mode)
{
    if (settings.mode == mode)
        return;
    settings.mode = mode;
    session.ChangedSearch = true;
    setSearchBox(settings.softMatch, false, session);
}

void setSearchBox(bool& box, bool value, Session& session)
{
    if (box == value)
        return;
    box = value;
    session.ChangedSearch = true;
}

} // namespace settingschange

namespace {

const QString Blank = QStringLiteral(" ");

QString keyLine(const char* key, const QString& value)
{
    return QString::fromLatin1(key) + QStringLiteral(" = ") + value;
}

// A key line: the upper-cased line begins with the key, a blank and "=".
bool keyTest(const QString& upper, const char* key)
{
    return upper.startsWith(QString::fromLatin1(key) + QStringLiteral(" ="));
}

QString keyValue(const QString& line)
{
    return textlines::trimBlanks(line.mid(line.indexOf(QLatin1Char('=')) + 1));
}

// The whole number of a text, when it fits the variable; a number that does not fit leaves the
// variable as it was.
template <typename Int> void setWholeNumber(Int& variable, const QString& text)
{
    const double value = conv::val(text);
    if (!std::isfinite(value))
        return;
    if (value < double(std::numeric_limits<Int>::min()) - 0.5 || value > double(std::numeric_limits<Int>::max()) + 0.5)
        return;
    const std::int64_t whole = conv::roundHalfEven(value);
    if (whole < std::numeric_limits<Int>::min() || whole > std::numeric_limits<Int>::max())
        return;
    variable = Int(whole);
}

QString beforeFirstBlank(const QString& upper)
{
    const qsizetype blank = upper.indexOf(QLatin1Char(' '));
    return blank < 0 ? upper : upper.left(blank);
}

// The text values the file keeps on key lines.
struct TextValue
{
    const char* key;
    QString& (*of)(MainSettings&, Session&);
};

const TextValue TextValues[] {
    { "LIST NAME", [](MainSettings& s, Session&) -> QString& { return s.listName; } },
    { "RGB TOLERANCE", [](MainSettings& s, Session&) -> QString& { return s.tolerance; } },
    { "THUMBNAIL", [](MainSettings& s, Session&) -> QString& { return s.thumbnailExt; } },
    { "FILTER", [](MainSettings& s, Session&) -> QString& { return s.filter; } },
    { "ALTERNATE VIEWER", [](MainSettings&, Session& v) -> QString& { return v.AltViewer; } },
    { "SEARCH COMPLETED", [](MainSettings&, Session& v) -> QString& { return v.SearchCompleted; } },
    { "REACTIVATE", [](MainSettings&, Session& v) -> QString& { return v.ReactivateDrives; } },
    { "LAST DIRECTORY", [](MainSettings&, Session& v) -> QString& { return v.LastDirUsed; } },
    { "WAV DIRECTORY", [](MainSettings&, Session& v) -> QString& { return v.WavDirectory; } },
};

// Clears every box the file keeps as a flag line.
void clearKeptBoxes(MainSettings& s)
{
    for (bool* box : { &s.saveList, &s.singleTable, &s.ignoreExtension, &s.softMatch, &s.exclusive, &s.snapshot,
             &s.recycle, &s.noConfirm, &s.autoNext, &s.notFilter, &s.noSound, &s.fixJpeg, &s.preMatch })
        *box = false;
    s.fileTypes.fill(false);
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
    return QFile::exists(path());
}

QStringList SettingsFile::compose(const MainSettings& s, const Session& v)
{
    QStringList lines;
    lines << QStringLiteral("[CURRENT LIST]") << keyLine("LIST NAME", s.listName);
    if (s.saveList)
        lines << QStringLiteral("AUTOSAVE DIR LIST");
    if (s.singleTable)
        lines << QStringLiteral("USE SINGLE DATABASE");
    lines << Blank;

    lines << QStringLiteral("[MODE]") << modeSettingsLine(s.mode);
    if (s.ignoreExtension)
        lines << QStringLiteral("IGNORE EXTENSION");
    lines << keyLine("RGB TOLERANCE", s.tolerance) << Blank;

    lines << QStringLiteral("[OPTIONS]");
    if (s.softMatch)
        lines << QStringLiteral("USE SOFTMATCH");
    if (s.exclusive)
        lines << QStringLiteral("EXCLUSIVE DIR MATCHING");
    if (s.snapshot)
        lines << QStringLiteral("USE SNAPSHOT");
    if (s.recycle)
        lines << QStringLiteral("USE RECYCLE BIN");
    if (s.noConfirm)
        lines << QStringLiteral("DO NOT CONFIRM DELETES");
    if (s.autoNext)
        lines << QStringLiteral("AUTO LOAD NEXT");
    if (!s.thumbnailExt.isEmpty())
        lines << keyLine("THUMBNAIL", s.thumbnailExt);
    lines << keyLine("FILTER", s.filter);
    if (s.notFilter)
        lines << QStringLiteral("NOT FILTER");
    lines << Blank;

    lines << QStringLiteral("[FILE TYPES]");
    for (int i = 0; i < FileTypeCount; ++i) {
        if (s.fileTypes[std::size_t(i)])
            lines << QString::fromLatin1(FileTypes[std::size_t(i)].extension);
    }
    lines << Blank;

    lines << QStringLiteral("[MISC]");
    lines << QString::number(v.TotalDeleted) + QStringLiteral(" FILES DELETED");
    lines << conv::shortestDouble(v.TotalSectorBytes + v.RecoveredSectorBytes) + QStringLiteral(" BYTES RECOVERED");
    lines << keyLine("MONTH COMPACTED", QString::number(v.CompactedMonth));
    lines << keyLine("ALTERNATE VIEWER", v.AltViewer);
    lines << keyLine("SEARCH COMPLETED", v.SearchCompleted);
    lines << keyLine("REACTIVATE", v.ReactivateDrives);
    lines << keyLine("STOPPED AT RECORD", QString::number(v.StoppedAtRecord));
    lines << keyLine("LAST DIRECTORY", v.LastDirUsed);
    lines << keyLine("WAV DIRECTORY", v.WavDirectory);
    lines << keyLine("SCANBAR TOP", QString::number(v.PreScanTop));
    lines << keyLine("SCANBAR LEFT", QString::number(v.PreScanLeft));
    if (v.DisableFilePolling)
        lines << QStringLiteral("DISABLE FILE POLLING");
    if (!v.ShowEndStats)
        lines << QStringLiteral("DISABLE END STATS MESSAGE");
    if (s.noSound)
        lines << QStringLiteral("DISABLE SOUND");
    if (s.fixJpeg)
        lines << QStringLiteral("FIX JPEG FILES");
    if (s.preMatch)
        lines << QStringLiteral("RUN PRE-MATCH CYCLE");
    if (!v.ThreeMonthPurge)
        lines << QStringLiteral("DO NOT AUTOPURGE");
    if (v.IdentifyByLocation)
        lines << QStringLiteral("IDENTIFY BY LOCATION");
    if (v.NoWarnings)
        lines << QStringLiteral("NO WARNINGS");
    lines << Blank;
    return lines;
}

void SettingsFile::keepLinesWhole(MainSettings& settings, Session& session)
{
    for (const TextValue& value : TextValues) {
        QString& text = value.of(settings, session);
        const QString key = QString::fromLatin1(value.key);
        if (textlines::holdsLineBreak(text))
            text = m_keptValues.value(key);
        else
            m_keptValues.insert(key, text);
    }
}

ProgramOutcome SettingsFile::write(MainSettings& settings, Session& session)
{
    keepLinesWhole(settings, session);
    if (!textlines::writeAtomically(path(), compose(settings, session))) {
        m_prompter.tell(QStringLiteral("Unable to create INI file"));
        return ProgramOutcome::EndProgram;
    }
    return ProgramOutcome::Continue;
}

ProgramOutcome SettingsFile::read(MainSettings& settings, Session& session, const ListLoader& loadList)
{
    session.applyReaderPresets(m_programDirectory);
    const std::optional<QStringList> lines = textlines::read(path());
    if (!lines) {
        m_prompter.tell(QStringLiteral("Unable to read INI file"));
        return ProgramOutcome::EndProgram;
    }
    // The start values of the boxes hold only for a first start, whose file carries them: a box
    // unticked by the user has no line and must come back unticked.
    clearKeptBoxes(settings);
    for (const QString& line : *lines)
        applyLine(line, settings, session, loadList);
    if (settings.filter.isEmpty())
        settings.filter = QStringLiteral("*");
    // A preset (the sound directory in a program directory whose name holds a line break) may
    // not be fit to write either.
    keepLinesWhole(settings, session);
    session.SoundFiles = listSoundFiles(session.WavDirectory);
    return ProgramOutcome::Continue;
}

void SettingsFile::applyLine(const QString& line, MainSettings& s, Session& v, const ListLoader& loadList)
{
    using namespace settingschange;
    const QString u = conv::upper(line);
    // The "contains" tests look only before the first "=", so no key line's value can set a
    // counter or a switch.
    const qsizetype equals = u.indexOf(QLatin1Char('='));
    const QString head = equals < 0 ? u : u.left(equals);

    if (keyTest(u, "LIST NAME")) {
        const QString value = keyValue(line);
        if (loadList)
            loadList(value.isEmpty() ? QStringLiteral("General") : value);
    }
    if (u == QLatin1String("AUTOSAVE DIR LIST"))
        s.saveList = true;
    if (u == QLatin1String("USE SINGLE DATABASE"))
        setSearchBox(s.singleTable, true, v);
    if (const std::optional<ComparisonMode> mode = modeFromSettingsLine(u))
        selectMode(s, v, *mode);
    if (u == QLatin1String("IGNORE EXTENSION"))
        s.ignoreExtension = true;
    if (keyTest(u, "RGB TOLERANCE"))
        s.tolerance = keyValue(line);
    if (u == QLatin1String("USE SOFTMATCH"))
        setSearchBox(s.softMatch, true, v);
    if (u == QLatin1String("EXCLUSIVE DIR MATCHING"))
        setSearchBox(s.exclusive, true, v);
    if (u == QLatin1String("USE SNAPSHOT"))
        s.snapshot = true;
    if (u == QLatin1String("USE RECYCLE BIN"))
        s.recycle = true;
    if (u == QLatin1String("DO NOT CONFIRM DELETES"))
        s.noConfirm = true;
    if (u == QLatin1String("AUTO LOAD NEXT"))
        s.autoNext = true;
    if (keyTest(u, "THUMBNAIL"))
        s.thumbnailExt = keyValue(line);
    if (keyTest(u, "FILTER"))
        s.filter = keyValue(line);
    if (u == QLatin1String("NOT FILTER"))
        setSearchBox(s.notFilter, true, v);
    for (int i = 0; i < FileTypeCount; ++i) {
        if (u == QLatin1String(FileTypes[std::size_t(i)].extension))
            setSearchBox(s.fileTypes[std::size_t(i)], true, v);
    }
    if (head.contains(QStringLiteral("FILES DELETED")))
        setWholeNumber(v.TotalDeleted, beforeFirstBlank(u));
    if (head.contains(QStringLiteral("BYTES RECOVERED"))) {
        const double bytes = conv::val(beforeFirstBlank(u));
        if (std::isfinite(bytes))
            v.TotalSectorBytes = bytes;
    }
    if (keyTest(u, "MONTH COMPACTED"))
        setWholeNumber(v.CompactedMonth, keyValue(line));
    if (keyTest(u, "ALTERNATE VIEWER"))
        v.AltViewer = keyValue(line);
    if (keyTest(u, "SEARCH COMPLETED"))
        v.SearchCompleted = keyValue(line);
    if (keyTest(u, "REACTIVATE"))
        v.ReactivateDrives = keyValue(line);
    if (keyTest(u, "STOPPED AT RECORD"))
        setWholeNumber(v.StoppedAtRecord, keyValue(line));
    if (keyTest(u, "LAST DIRECTORY"))
        v.LastDirUsed = keyValue(line);
    if (keyTest(u, "WAV DIRECTORY"))
        v.WavDirectory = keyValue(line);
    if (keyTest(u, "SCANBAR TOP"))
        setWholeNumber(v.PreScanTop, keyValue(line));
    if (keyTest(u, "SCANBAR LEFT"))
        setWholeNumber(v.PreScanLeft, keyValue(line));
    if (head.contains(QStringLiteral("DISABLE FILE POLLING")))
        v.DisableFilePolling = true;
    if (head.contains(QStringLiteral("DISABLE END STATS MESSAGE")))
        v.ShowEndStats = false;
    if (head.contains(QStringLiteral("DISABLE SOUND")))
        s.noSound = true;
    if (u == QLatin1String("FIX JPEG FILES"))
        s.fixJpeg = true;
    if (u == QLatin1String("RUN PRE-MATCH CYCLE"))
        s.preMatch = true;
    if (u == QLatin1String("DO NOT AUTOPURGE"))
        v.ThreeMonthPurge = false;
    if (u == QLatin1String("IDENTIFY BY LOCATION"))
        v.IdentifyByLocation = true;
    if (u == QLatin1String("NO WARNINGS"))
        v.NoWarnings = true;
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
