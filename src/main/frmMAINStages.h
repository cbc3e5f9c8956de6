#pragma once

#include "main/StageWindowFactory.h"

#include <memory>

class SettingsWriter;
class SoundPlayer;

// The windows the main window shows for a search in the program itself.
class frmMAINStages : public StageWindowFactory
{
public:
    frmMAINStages();
    ~frmMAINStages() override;

    void showResumeDialog(frmMAIN& main) override;
    QWidget* createPreScan(frmMAIN& main) override;
    QWidget* createPreMatch(frmMAIN& main) override;
    QWidget* createReview(frmMAIN& main, bool snapshot) override;
    void endDuringStage(QWidget& stage, ExitStatus status) override;
    // Ends the process at once, without unloading any window.
    virtual void endProcess(ExitStatus status);

private:
    std::unique_ptr<SoundPlayer> m_sound;
    std::unique_ptr<SettingsWriter> m_settingsWriter;
};
