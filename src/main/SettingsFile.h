#pragma once

#include "session/MainSettings.h"
#include "session/Session.h"
#include "session/SettingsTable.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

class Prompter;

// What a settings file operation leaves the program to do. The settings file is the program's
// memory: when it cannot be read or written the program ends after the message.
enum class ProgramOutcome { Continue, EndProgram };

// TOLQ.INI: the writer (WriteINI) and the reader (ReadINI).
class SettingsFile
{
public:
    using ListLoader = std::function<void(const QString& name)>;

    SettingsFile(QString programDirectory, Prompter& prompter);

    QString path() const;
    bool exists() const;

    // The 45 lines in the writer's order, sections, key, flag and counter lines.
    static QStringList compose(const MainSettings& settings, const Session& session);
    // Rewrites the whole file; "Unable to create INI file" and EndProgram when it cannot. A text
    // value holding a line break gives way to the one last read or written (keepLinesWhole).
    ProgramOutcome write(MainSettings& settings, Session& session);
    // Presets the session, clears every box the file keeps, applies every line it knows and
    // lists the sound files; the LIST NAME line loads its list through loadList. So a box is
    // ticked exactly when its line is there. "Unable to read INI file" and EndProgram when
    // unreadable.
    ProgramOutcome read(MainSettings& settings, Session& session, const ListLoader& loadList);

    // Applies one line of the file (the reader's tests, in order).
    static void applyLine(const QString& line, MainSettings& settings, Session& session, const ListLoader& loadList);
    // At most 1000 files matching wavDirectory + "*.wav", each as wavDirectory + name.
    static QStringList listSoundFiles(const QString& wavDirectory);

private:
    // A text value on a key line that holds a line break would end its line, and what follows
    // would be read as lines of their own (a directory named "x", line feed, "DO NOT CONFIRM
    // DELETES" would switch the question off). Such a value is not taken: the one this file last
    // read or wrote for the key stays, in the program as in the file.
    void keepLinesWhole(MainSettings& settings, Session& session);

    QString m_programDirectory;
    Prompter& m_prompter;
    QHash<QString, QString> m_keptValues; // by key
};
