#pragma once

#include "review/snapshot/SnapshotPadHost.h"
#include "widgets/FloatingPad.h"

class QLineEdit;
class QPushButton;

// The action pad: comes up beside a clicked thumbnail of the snapshot window and offers every
// action on that slot and the review's steps. It holds no action of its own: its buttons and
// keys press the snapshot window's buttons, which act on the current slot. Its own parts are its
// place and the rename box, whose text the snapshot window's Rename reads; the box is applied
// when it loses the focus.
class frmDOWHAT : public FloatingPad
{
    Q_OBJECT
public:
    // The pad floats beside the window that owns it, which hosts it.
    frmDOWHAT(SnapshotPadHost& host, QWidget* owner);

    // The click's share: the name into the rename box, the pad up beside the current thumbnail.
    void showFor(const QString& newName);
    // The slot the rename box was last opened for: the rename acts on it, wherever the pointer
    // has been since.
    int renameSlot() const { return m_renameSlot; }

    QPushButton* cmdVIEW = nullptr;
    QPushButton* cmdTAG = nullptr;
    QPushButton* cmdDELETE = nullptr;
    QPushButton* cmdALL = nullptr;
    QPushButton* cmdRENAME = nullptr;
    QPushButton* cmdMOVE = nullptr;
    QPushButton* cmdPREVIOUS = nullptr;
    QPushButton* cmdNEXT = nullptr;
    QPushButton* cmdSKIP = nullptr;
    QPushButton* cmdEXIT = nullptr;
    QPushButton* cmdP = nullptr;
    QPushButton* cmdN = nullptr;
    QPushButton* cmdCANCEL = nullptr;
    QLineEdit* txtNEWNAME = nullptr;
    QPushButton* cmdOK = nullptr;

public Q_SLOTS:
    // Ends the review; the snapshot window's Exit presses it. During a search that yields it
    // stops the search first, and the review ends when the search has returned.
    void cmdEXIT_Click();

private Q_SLOTS:
    void cmdVIEW_Click();
    void cmdTAG_Click();
    void cmdDELETE_Click();
    void cmdALL_Click();
    void cmdRENAME_Click();
    void cmdMOVE_Click();
    void cmdPREVIOUS_Click();
    void cmdNEXT_Click();
    void cmdSKIP_Click();
    void cmdP_Click() { cmdPREVIOUS_Click(); }
    void cmdN_Click() { cmdNEXT_Click(); }
    void cmdCANCEL_Click();
    void txtNEWNAME_LostFocus();

protected:
    void activated() override { Form_Activate(); }
    void pressButton(QPushButton* button) override;
    void Form_KeyPress(QChar key) override;
    void Form_KeyUp(int keyCode) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    // Resets and places the pad; false, with the pad hidden, when no thumbnail is current.
    bool Form_Activate();
    // A button's press: first an open rename box is applied, as its focus moves to the button;
    // nothing while the snapshot review is busy.
    bool buttonPressed();
    void pressAndStay(SnapshotPadHost::Command command);
    void hidePadsAndPress(SnapshotPadHost::Command command);
    void setPadHeight(int twips);

    SnapshotPadHost& m_host;
    int m_margin = 200;
    bool m_renameBoxOpen = false;
    int m_renameSlot = -1;
};
