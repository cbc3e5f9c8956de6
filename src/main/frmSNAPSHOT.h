#pragma once

#include <QDialog>
#include <QPointer>
#include <optional>

class Prompter;
struct Session;

// The snapshot review, as far as the search control relies on it: the resume point, "No files to
// review...", and the return to the main window on unload. Until the review itself exists it
// stands on the first record to review (or the resume record) and stores it when it closes.
class frmSNAPSHOT : public QDialog
{
    Q_OBJECT
public:
    frmSNAPSHOT(Session& session, Prompter& prompter, QWidget* mainWindow, QWidget* parent = nullptr,
        const QString& listDatabase = {});

public Q_SLOTS:
    void Form_Activate();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();

    Session& m_session;
    Prompter& m_prompter;
    QPointer<QWidget> m_mainWindow; // may be gone before the review
    QString m_listDatabase;
    std::optional<double> m_referenceRecnum; // the current reference record's RECNUM
    bool m_firstActivation = true;
    bool m_unloaded = false;
};
