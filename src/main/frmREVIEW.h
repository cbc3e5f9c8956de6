#pragma once

#include <QDialog>
#include <QPointer>
#include <optional>

class Prompter;
struct Session;

// What the search control relies on of the snapshot review: the resume point, "No files to
// review...", and the return to the main window on unload. Until the snapshot review itself
// exists it stands on the first record to review (or the resume record) and stores it when it
// closes.
class frmREVIEW : public QDialog
{
    Q_OBJECT
public:
    frmREVIEW(const QString& name, Session& session, Prompter& prompter, QWidget* mainWindow, QWidget* parent,
        const QString& listDatabase);

public Q_SLOTS:
    void Form_Activate();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

protected:
    Session& m_session;

private:
    void Form_Unload();

    Prompter& m_prompter;
    QPointer<QWidget> m_mainWindow; // may be gone before the review
    QString m_listDatabase;
    std::optional<double> m_referenceRecnum; // the current reference record's RECNUM
    bool m_firstActivation = true;
    bool m_unloaded = false;
};
