#pragma once

#include <QDialog>

class QLabel;

// The compaction notice: one picture, shown modeless while the list's database is compacted.
class frmCOMPACT : public QDialog
{
    Q_OBJECT
public:
    explicit frmCOMPACT(QWidget* mainWindow, QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;

private:
    void Form_Load();

    QWidget* m_mainWindow;
};
