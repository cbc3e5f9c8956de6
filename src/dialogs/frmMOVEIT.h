#pragma once

#include "dialogs/MoveFileEngine.h"

#include <QDialog>
#include <QPointer>

class DirectoryBrowser;
class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTreeView;
struct MainSettings;
struct Session;

// The move dialog both reviews share. It is made once for the run and hidden, never destroyed,
// between uses, so the destinations it remembers last for the run. A caller hands it the file and
// its directory, and reads back where the file went:
//
//   const MoveResult result = dialog.moveFile(DISKNAME, DRIVEVOLUME + " " + PATH, reviewWindow);
//   if (result.moved) ... DRIVEVOLUME and PATH from result.to, the names from result.newName
//
// Every showing starts from "not moved"; closing the dialog is Cancel.
class frmMOVEIT : public QDialog
{
    Q_OBJECT
public:
    frmMOVEIT(const MainSettings& settings, const Session& session, const Volumes& volumes, Prompter& prompter,
        QWidget* parent = nullptr);

    // Shows the dialog modal in the owner's lower left corner for the file fileName (its name
    // on disk, with its extension) in the directory of the entry from.
    MoveResult moveFile(const QString& fileName, const QString& from, QWidget* owner);

    const MoveFileEngine& engine() const { return m_engine; }
    // The directory the directory list shows.
    QString browserPath() const;
    void pointBrowserAt(const QString& path);

    QLabel* lblFILENAME = nullptr;
    QLabel* lblFROM = nullptr;
    QLabel* lblTO = nullptr;
    QLabel* lblNEWNAME = nullptr;
    QLabel* lblDIR = nullptr;
    QComboBox* lstDRIVE = nullptr;
    QTreeView* lstDIR = nullptr;
    QListWidget* lstPATHS = nullptr;
    QPushButton* cmdADDDIR = nullptr;
    QPushButton* cmdCANCEL = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void lstDRIVE_Change(const QString& mountPoint);
    void lstDIR_Change();
    void lstPATHS_Click(QListWidgetItem* item);
    void lstPATHS_DblClick(QListWidgetItem* item);
    void cmdADDDIR_Click();
    void cmdCANCEL_Click();

private:
    void buildControls();
    void Form_Load();
    void Form_Activate();
    void MoveFile();
    MoveSettings moveSettings() const;

    const MainSettings& m_settings;
    const Session& m_session;
    const Volumes& m_volumes;
    Prompter& m_prompter;
    MoveFileEngine m_engine;
    DirectoryBrowser* m_browser = nullptr;
    QPointer<QWidget> m_owner;
};
