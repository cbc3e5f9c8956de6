#pragma once

#include "platform/ExitStatus.h"

class QWidget;
class frmMAIN;

// Makes the windows a search shows, so that a test can put its own in their place.
class StageWindowFactory
{
public:
    virtual ~StageWindowFactory() = default;
    // The start-or-resume dialog, shown modal; it leaves the choice in the session.
    virtual void showResumeDialog(frmMAIN& main) = 0;
    // The stage windows, created but not shown. Each deletes itself when it closes and on the
    // way sets its flag in the session: SearchUnloaded for the pre-scan, PrematchUnloaded for
    // the pre-match window. A review window shows the main window again when it closes.
    virtual QWidget* createPreScan(frmMAIN& main) = 0;
    virtual QWidget* createPreMatch(frmMAIN& main) = 0;
    virtual QWidget* createReview(frmMAIN& main, bool snapshot) = 0;
    // The program ends while a stage window runs (Quit on the main window): the stage keeps
    // what it has done and its state file for the next start, and the process ends at once.
    virtual void endDuringStage(QWidget& stage, ExitStatus status) = 0;
};
