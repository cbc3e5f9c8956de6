#pragma once

#include "review/snapshot/SnapshotPadHost.h"
#include "widgets/FloatingPad.h"

class QLabel;
class QPushButton;
struct HoverFacts;

// The hover strip: a wide, low window with the facts of the thumbnail under the pointer, below
// the snapshot window (over it on a small screen). Its buttons lie below its visible part; they
// carry its keys and access letters, which press the snapshot window's buttons for the hovered
// slot.
class frmNAME : public FloatingPad
{
    Q_OBJECT
public:
    // The strip floats beside the window that owns it, which hosts it.
    frmNAME(SnapshotPadHost& host, QWidget* owner);

    // The hover's share: the facts into the labels, the strip up and placed.
    void showFacts(const HoverFacts& facts, const QColor& nameColour);

    QLabel* lblNAME = nullptr;
    QLabel* lblDIM = nullptr;
    QLabel* lblSIZE = nullptr;
    QLabel* lblDATE = nullptr;
    QLabel* lblDELSTATUS = nullptr;
    QPushButton* cmdVIEW = nullptr;
    QPushButton* cmdTAG = nullptr;
    QPushButton* cmdDELETE = nullptr;
    QPushButton* cmdALL = nullptr;
    QPushButton* cmdMOVE = nullptr;
    QPushButton* cmdSKIP = nullptr;
    QPushButton* cmdPREVIOUS = nullptr;
    QPushButton* cmdNEXT = nullptr;
    QPushButton* cmdCOUNT = nullptr;

private Q_SLOTS:
    void cmdVIEW_Click();
    void cmdTAG_Click();
    void cmdDELETE_Click();
    void cmdALL_Click();
    void cmdMOVE_Click();
    void cmdSKIP_Click();
    void cmdPREVIOUS_Click();
    void cmdNEXT_Click();
    void cmdCOUNT_Click();

protected:
    void activated() override { Form_Activate(); }
    void pressButton(QPushButton* button) override;
    void Form_KeyPress(QChar key) override;
    void Form_KeyUp(int keyCode) override;

private:
    void buildControls();
    void Form_Activate();
    // The row of facts laid out for the texts it holds.
    void fitFactsRow();
    // Nothing acts while the snapshot review is busy.
    void press(SnapshotPadHost::Command command, bool focusView, bool hidePads);

    SnapshotPadHost& m_host;
};
