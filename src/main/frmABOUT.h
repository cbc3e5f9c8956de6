#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About window.
class frmABOUT : public QDialog
{
    Q_OBJECT
public:
    explicit frmABOUT(QWidget* parent = nullptr);

    // "Revision 1.02" followed by the maker's notice.
    static QString versionText(int major, int minor);

    QLabel* lblVERSION = nullptr;
    QPushButton* Command1 = nullptr;

private Q_SLOTS:
    void Command1_Click();

private:
    void Form_Load();
};
