#pragma once

#include "main/MainController.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// The recovery statistics shown at quit, with the switch that turns them off.
class frmSTATS : public QDialog
{
    Q_OBJECT
public:
    frmSTATS(const QString& message, QWidget* mainWindow);
    // Shows the window modal; how the user left it.
    StatsAnswer showModal();

    QLabel* lblMSG = nullptr;
    QCheckBox* chkNODISPLAY = nullptr;
    QPushButton* cmdOK = nullptr;

private Q_SLOTS:
    void cmdOK_Click();

private:
    void Form_Load();
};
