#pragma once

#include "platform/ExitStatus.h"

#include <QString>

// What the search control asks of the main window and the stage windows. The window layer
// implements it with the real windows; tests drive the search control with a fake.
class SearchHost
{
public:
    virtual ~SearchHost() = default;
    // The controls follow the settings value after the search control changed it.
    virtual void settingsChanged() = 0;
    // The start-or-resume dialog, modal; it leaves the choice in SessionMode.
    virtual void showResumeDialog() = 0;
    // Timer3 disabled: the eye animation stops.
    virtual void stopAnimation() = 0;
    virtual void hideMainWindow() = 0;
    // The main window again, after a stage that failed.
    virtual void showMainWindow() = 0;
    // The stage windows, shown modeless. The pre-scan window sets SearchUnloaded when it
    // unloads, the pre-match window PrematchUnloaded.
    virtual void showPreScan() = 0;
    virtual void showPreMatch() = 0;
    // Lets window events run until the flag is set; false when the program ends meanwhile.
    virtual bool waitUntil(const bool& flag) = 0;
    // The review window, modeless, then captioned.
    virtual void showReview(bool snapshot, const QString& caption) = 0;
    // False where the windowing platform shows nothing to anybody (offscreen, minimal).
    virtual bool showsWindows() const = 0;
    // Presses the main window's Quit; the program ends there.
    virtual void pressQuit() = 0;
    // Ends the program at once, without the unload work.
    virtual void endProgramNow() = 0;
    // Ends the process at once while a stage window runs: the stage keeps what it has done and
    // its state file for the next start.
    virtual void endDuringStage(ExitStatus status) = 0;
};
