#pragma once

#include "main/ResumeChoices.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class Volumes;

// The start-or-resume dialog: a new search or the last one resumed, and the mount points whose
// records the new search re-activates without reading them. Only Start writes SessionMode and
// ReactivateDrives; closing the window otherwise leaves both as they were.
class frmRESUME : public QDialog
{
    Q_OBJECT
public:
    frmRESUME(Session& session, const Volumes& volumes, QWidget* parent = nullptr);

    const ResumeChoices& choices() const { return m_choices; }

    QRadioButton* optRESUME = nullptr;
    QRadioButton* optNEW = nullptr;
    QLabel* Label1 = nullptr;
    QList<QCheckBox*> driveBoxes; // one per offered mount point, in the choices' order
    QPushButton* cmdGO = nullptr;

private Q_SLOTS:
    void chkDRIVE_Click(int index, bool ticked);
    void optRESUME_Click(bool selected);
    void optNEW_Click(bool selected);
    void cmdGO_Click();

private:
    void Form_Load();
    void showOptions();

    Session& m_session;
    const Volumes& m_volumes;
    ResumeChoices m_choices;
};
