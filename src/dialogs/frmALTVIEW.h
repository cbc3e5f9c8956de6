#pragma once

#include <QDialog>

class Prompter;
class QLabel;
class QPushButton;
class Volumes;
struct Session;

// The external viewer launcher: opens one file in the viewer program the user chose (AltViewer,
// kept in the settings file), and lets the user pick another program. The main window makes it
// hidden at start; a caller names the file and shows it modal:
//
//   launcher.showFor(path);   // returns when the user presses Exit
class frmALTVIEW : public QDialog
{
    Q_OBJECT
public:
    frmALTVIEW(Session& session, const Volumes& volumes, Prompter& prompter, QWidget* parent = nullptr);

    // lblFILE: the file to open.
    void setFile(const QString& path);
    QString file() const { return m_file; }
    // Shows the launcher modal for the file.
    void showFor(const QString& path);

    QLabel* Image1 = nullptr;
    QLabel* lblFILE = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblVIEWER = nullptr;
    QPushButton* cmdVIEW = nullptr;
    QPushButton* cmdFIND = nullptr;
    QPushButton* cmdEXIT = nullptr;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void cmdVIEW_Click();
    void cmdFIND_Click();
    void cmdEXIT_Click();

private:
    void buildControls();
    void Form_Load();
    void Form_Activate();
    void ShowViewerName();

    Session& m_session;
    const Volumes& m_volumes;
    Prompter& m_prompter;
    QString m_file;
};
