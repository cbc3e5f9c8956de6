#pragma once

#include "main/DirectoryAdder.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QDialog>

class Prompter;
class DirectoryBrowser;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeView;
class Volumes;

// The add-directories dialog: browses the mounted file systems and their directories and adds the
// browsed directory, its whole tree, or designates it as the IFCD. It writes straight into the
// settings value and says so after every change; the remembered directory LastDirUsed is read at
// opening and written at closing.
class frmFINDIT : public QDialog
{
    Q_OBJECT
public:
    frmFINDIT(MainSettings& settings, Session& session, const Volumes& volumes, Prompter& prompter,
        QWidget* parent = nullptr);

    // The directory being browsed, as the browser gives it.
    QString browserPath() const;
    void pointBrowserAt(const QString& path);
    bool isWalking() const { return m_walking; }

    QComboBox* lstDRIVE = nullptr;
    QTreeView* lstDIR = nullptr;
    QLabel* lblDIR = nullptr;
    QPushButton* cmdADDDIR = nullptr;
    QPushButton* cmdADDTREE = nullptr;
    QPushButton* cmdIFCD = nullptr;
    QPushButton* cmdIFCDTREE = nullptr;
    QPushButton* cmdCANCEL = nullptr;

Q_SIGNALS:
    // The list or the IFCD changed: the main window shows each entry as it is added.
    void listChanged();

public Q_SLOTS:
    void done(int result) override;

private Q_SLOTS:
    void cmdADDDIR_Click();
    void cmdADDTREE_Click();
    void cmdIFCD_Click();
    void cmdIFCDTREE_Click();
    void cmdCANCEL_Click();
    void lstDRIVE_Change(const QString& mountPoint);
    void lstDIR_Change();

private:
    void buildControls();
    void Form_Load();
    void Form_Unload();
    void setWalking(bool walking);
    DirectoryAdder adder();
    // Add Tree, and with designate Set IFCD tree: the walk with the dialog's controls off.
    void walkTree(bool designate);

    MainSettings& m_settings;
    Session& m_session;
    const Volumes& m_volumes;
    Prompter& m_prompter;
    DirectoryBrowser* m_browser = nullptr;
    bool m_walking = false;
    bool m_unloaded = false;
};
