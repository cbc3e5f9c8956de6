#pragma once

#include <QDialog>

struct Session;

// The pre-match window, as far as the search control relies on it: placed from the stored
// progress position, the cycle run on first activation, and the hand-over on unload. The cycle
// itself comes with the match rules.
class frmPREMATCH : public QDialog
{
    Q_OBJECT
public:
    frmPREMATCH(Session& session, const QString& programDirectory, QWidget* parent = nullptr);

public Q_SLOTS:
    void Form_Activate();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();

    Session& m_session;
    QString m_programDirectory;
    bool m_firstActivation = true;
    bool m_unloaded = false;
};
