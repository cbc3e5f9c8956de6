#pragma once

#include "session/MainSettings.h"
#include "session/Session.h"

#include <QString>
#include <variant>
#include <vector>

// The main window's settings and the session values that the settings file keeps, one row each,
// in the order of the file's lines. The settings file writes and reads by it, the main window
// shows, takes and wires its controls by it, and a first start takes its design values.
namespace settingstable {

// The file's sections, each opened by its header line and closed by a line of one blank.
enum class Section { None, CurrentList, Mode, Options, FileTypes, Misc };

// How a row stands in the settings file.
enum class Line {
    None, // kept by the list file, or nowhere
    ListName, // "KEY = value"; reading it loads the list it names
    Key, // "KEY = value"; known by the key, a blank and "=" at the start of the line
    KeyUnlessEmpty, // the same, left out while the value is empty
    Flag, // the text alone, while on; known only by the exact line
    FlagAnywhere, // the same, known by the text anywhere before the line's "="
    Counter, // the number, a blank and the text; known by the text anywhere before the line's "="
};

// A mode option: on while the settings hold its mode.
struct ModeOption
{
    ComparisonMode mode;
};
// One of the 24 type boxes, by its place in FileTypes.
struct FileTypeBox
{
    int index;
};
// The recovered space over all runs: written with this run's share added.
struct RecoveredBytesTotal
{
};

using Field = std::variant<QString MainSettings::*, bool MainSettings::*, ModeOption, FileTypeBox, QString Session::*,
    bool Session::*, qint32 Session::*, qint16 Session::*, RecoveredBytesTotal>;

// Design values that depend on where the program runs.
enum class Place { HomeDirectory, ProgramDirectory };
// The value of a first start without a settings file, for a session value also the reader's
// preset; none for the counters, which only the file sets.
using Design = std::variant<std::monostate, bool, int, QLatin1StringView, Place>;

struct Row
{
    Section section;
    QString text; // the key, the flag's line or the counter's words
    Line line;
    const char* control; // the main window's control by its object name; nullptr for none
    Field field;
    bool inverted; // a flag whose line stands while the value is off
    bool marksChange; // changing it, also from the settings file, marks the search changed
    Design design;
};

const std::vector<Row>& rows();

// A box's or an option's value; a mode option set off leaves the mode as it is.
bool ticked(const Row& row, const MainSettings& settings, const Session& session);
void setTicked(const Row& row, bool ticked, MainSettings& settings, Session& session);
// The reader found the row's flag line: as if the box were ticked, the change marked where the
// row says so; a mode option selects its mode, which clears soft matching.
void applyFlag(const Row& row, MainSettings& settings, Session& session);
// A text or number as the file writes it.
QString text(const Row& row, const MainSettings& settings, const Session& session);
// A text taken as it stands, unless it holds a line break; a number by its leading-number parse,
// rounded half to even, but only when it fits its variable: the value stays otherwise.
void setText(const Row& row, const QString& text, MainSettings& settings, Session& session);

// Every row's design value: the settings and session of a first start.
void applyDesignValues(MainSettings& settings, Session& session, const QString& programDirectory);
// The same for the settings alone: what every MainSettings starts with.
void applyDesignValues(MainSettings& settings);
// The same for the session alone, what every Session starts with, but for the sound directory:
// it lies in the program directory, which only the first start and the reader know.
void applyDesignValues(Session& session);
// What the reader gives every row of the file before it reads the lines, so that a row without
// its line reads as the file means it: a flag as its line's absence says (off, on for an inverted
// one), a key its design value, a key left out while empty nothing. Counters and the controls the
// file does not keep stay as they are.
void applyReaderPresets(MainSettings& settings, Session& session, const QString& programDirectory);
// The design text of a key row: "General" for LIST NAME, "*" for FILTER.
QString designText(QLatin1StringView key);

} // namespace settingstable

// Setting a main-window option from code fires its change handler, as a user's change would.
namespace settingschange {
// Selecting another mode marks the search changed and clears soft matching.
void selectMode(MainSettings& settings, Session& session, ComparisonMode mode);
// A box whose change marks the search changed (file types, exclusive, gather, NOT, single
// database, soft matching).
void setSearchBox(bool& box, bool value, Session& session);
} // namespace settingschange
