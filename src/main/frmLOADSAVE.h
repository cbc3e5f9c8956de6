#pragma once

#include "main/ListDialogActions.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The list load, save and delete dialog. The opener sets the caption of cmdACTION to "Load" or
// "Save"; the caption alone decides what the action button does.
class frmLOADSAVE : public QDialog
{
    Q_OBJECT
public:
    frmLOADSAVE(const QString& dataDirectory, Prompter& prompter, ListDialogActions::ListCall loadList,
        ListDialogActions::ListCall saveList, QWidget* parent = nullptr);

    // Lists the saved lists afresh, as every activation does.
    void refreshFiles();

    QListWidget* listFILES = nullptr;
    QLineEdit* txtFILENAME = nullptr;
    QPushButton* cmdACTION = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* Label1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private Q_SLOTS:
    void cmdACTION_Click();
    void Command1_Click();
    void listFILES_Click(QListWidgetItem* item);
    void listFILES_DblClick(QListWidgetItem* item);

private:
    ListDialogActions m_actions;
    ListDialogActions::ListCall m_loadList;
    ListDialogActions::ListCall m_saveList;
};
