#pragma once

#include <QDialog>
#include <optional>

class DirectoryBrowser;
class Prompter;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTreeView;
class Volumes;

// The viewer program picker: drives, directories and the files of the chosen directory (only
// those the user may execute while chkTYPE is ticked), and a box holding the chosen path, which
// the user may also type. Made afresh for every pick:
//
//   frmFINDVIEW picker(volumes, prompter, launcher);
//   if (const auto path = picker.pick()) ...   // nullopt after Cancel or closing
class frmFINDVIEW : public QDialog
{
    Q_OBJECT
public:
    frmFINDVIEW(const Volumes& volumes, Prompter& prompter, QWidget* parent = nullptr);

    // Shows the picker modal; the box's text as it was at Accept, unchecked.
    std::optional<QString> pick();
    // The directory the directory list shows.
    QString browserPath() const;
    void pointBrowserAt(const QString& path);

    QLineEdit* txtFILENAME = nullptr;
    QListWidget* lstFILENAME = nullptr;
    QTreeView* lstDIR = nullptr;
    QComboBox* lstDRIVE = nullptr;
    QCheckBox* chkTYPE = nullptr;
    QPushButton* cmdACCEPT = nullptr;
    QPushButton* cmdCANCEL = nullptr;

private Q_SLOTS:
    void chkTYPE_Click();
    void lstDRIVE_Change(const QString& mountPoint);
    void lstDIR_Change();
    void lstFILENAME_Click(QListWidgetItem* item);
    void lstFILENAME_DblClick(QListWidgetItem* item);
    void cmdACCEPT_Click();
    void cmdCANCEL_Click();

private:
    void buildControls();
    void Form_Load();
    void refreshFiles();

    const Volumes& m_volumes;
    Prompter& m_prompter;
    DirectoryBrowser* m_browser = nullptr;
    std::optional<QString> m_accepted;
};
