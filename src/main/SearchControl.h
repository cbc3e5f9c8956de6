#pragma once

#include "platform/ExitStatus.h"
#include "session/MainSettings.h"

#include <QString>

class ListDatabaseUpkeep;
class MainController;
class Prompter;
class SearchHost;

// How a press of Go ended.
enum class GoResult {
    NotStarted, // refused, ignored, stopped before the first stage, or the pre-scan failed
    Reviewing, // the review window is up; the main window stays hidden until it closes
    Gathered, // a gather run: Quit was pressed and the program ends
    ProgramEnded, // the program ends: the tag could not be read, or a gather run could not start
};

// The Go button: carries a search from the settings through the stage windows to the review.
// The whole run happens inside one call; the stages are waited for through the host.
class SearchControl
{
public:
    SearchControl(MainController& controller, Prompter& prompter, ListDatabaseUpkeep& upkeep, SearchHost& host);

    // cmdGO_Click.
    GoResult go();
    bool searchRunning() const { return m_searchRunning; }
    // The program ends (Quit): a search still running, such as the pre-match of a left
    // Matching.dat beside the main window, ends at once with its state file kept.
    void programEnds();

    // The review window's caption: the mode's, then ", SOFT MATCHING", ", IGNORE TYPE", ", IFCD".
    static QString reviewCaption(const MainSettings& settings);
    static QString slowModeWarning();
    static QString resumeAnywayQuestion();
    // Writes the template's bytes to target whole or not at all, so a failed copy never leaves a
    // partial database behind.
    static bool copyTemplate(const QString& templatePath, const QString& target, QString* error);

private:
    enum class Step { NewSearch, PreScan, PreMatch, Review };
    GoResult refuse(const QString& text);
    // The guard lowered, then as notStarted.
    GoResult stop(ExitStatus status);
    // A gather run ends here with the status (unless a search is running).
    GoResult notStarted(ExitStatus status);
    // Steps 12 to 18: the start-or-resume choice and the database preparation.
    Step prepare(GoResult& stopped);
    GoResult runFrom(Step step);

    MainController& m_controller;
    Prompter& m_prompter;
    ListDatabaseUpkeep& m_upkeep;
    SearchHost& m_host;
    bool m_searchRunning = false; // SearchRunning
};
