#pragma once

#include "main/StageWindowFactory.h"

// The windows the main window shows for a search in the program itself.
class frmMAINStages : public StageWindowFactory
{
public:
    void showResumeDialog(frmMAIN& main) override;
    QWidget* createPreScan(frmMAIN& main) override;
    QWidget* createPreMatch(frmMAIN& main) override;
    QWidget* createReview(frmMAIN& main, bool snapshot) override;
};
