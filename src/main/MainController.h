#pragma once

#include "main/CommandLine.h"
#include "main/ListFiles.h"
#include "main/SettingsFile.h"
#include "platform/ExitStatus.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QPoint>
#include <QSize>

class Prompter;

// What the start-up sequence asks of the window and of the other subsystems.
class StartupServices
{
public:
    virtual ~StartupServices() = default;
    virtual void yieldOnce() = 0;
    virtual void checkDiskSpace() = 0;
    virtual void buildOrientationTable() = 0;
    virtual qint64 screenColours() = 0;
    // Presses Go; EndProgram when the search ended the program (a gather run).
    virtual ProgramOutcome pressGo() = 0;
    virtual void openHelp() = 0;
    // The settings value changed under the window (settings read, list loaded).
    virtual void settingsChanged() = 0;
};

// How the user left the recovery statistics window.
enum class StatsAnswer { Closed, Ok, OkDoNotDisplay };

class StatsPresenter
{
public:
    virtual ~StatsPresenter() = default;
    virtual StatsAnswer showStatistics(const QString& text) = 0;
};

// The main window's logic: its settings, session, settings file and lists, start-up and quit.
class MainController
{
public:
    MainController(QString programDirectory, Prompter& prompter);

    MainSettings& settings() { return m_settings; }
    const MainSettings& settings() const { return m_settings; }
    Session& session() { return m_session; }
    const Session& session() const { return m_session; }
    const SettingsFile& settingsFile() const { return m_settingsFile; }
    const ListFiles& listFiles() const { return m_listFiles; }
    QString programDirectory() const { return m_programDirectory; }
    QString stateFile(const QString& name) const;

    bool firstActivation() const { return m_firstActivation; }
    bool firstRun() const { return m_firstRun; }

    // The load's share: a missing settings file is created with the presets.
    ProgramOutcome load();
    // Every activation: the start-up sequence the first time, then the settings rewritten.
    ProgramOutcome activate(StartupServices& services, const CommandLine& commandLine);
    // Quit: the statistics (unless switched off or gathering), the settings, the list; always ends.
    ProgramOutcome quit(StatsPresenter& presenter);

    ProgramOutcome writeINI();
    ProgramOutcome readINI();
    bool saveList(const QString& name);
    bool loadList(const QString& name);
    // The list is saved at Go and Quit when it is "GENERAL" or autosave is on.
    bool listSavedAutomatically() const;

    // True while the press of Go made by the command line's "/GATHER" runs. Nobody may be
    // watching it: a refusal ends the program with its status. A box ticked by hand does not.
    bool gatherRun() const { return m_gatherRun; }
    void setGatherRun(bool gatherRun) { m_gatherRun = gatherRun; }

    // How the process ends; set where the program is told to end for another reason than an
    // ordinary Quit.
    ExitStatus exitStatus() const { return m_exitStatus; }
    void setExitStatus(ExitStatus status) { m_exitStatus = status; }

    // Where the main window goes, in twips: a quarter of the spare space on a large screen.
    static QPoint placement(QSize screenTwips, QSize windowTwips);

private:
    ProgramOutcome firstActivationSequence(StartupServices& services, const CommandLine& commandLine);
    ProgramOutcome offerRecovery(StartupServices& services, const QString& stateName, const QString& question);

    QString m_programDirectory;
    Prompter& m_prompter;
    MainSettings m_settings;
    Session m_session;
    SettingsFile m_settingsFile;
    ListFiles m_listFiles;
    bool m_firstActivation = true;
    bool m_firstRun = false;
    bool m_gatherRun = false;
    ExitStatus m_exitStatus = ExitStatus::Completed;
};
