#pragma once

#include <QDialog>

struct Session;

// The external viewer launcher, loaded hidden with the main window. It launches AltViewer on a
// file and lets the user pick another program; the viewer dialogs fill it in.
class frmALTVIEW : public QDialog
{
    Q_OBJECT
public:
    frmALTVIEW(Session& session, QWidget* parent = nullptr);

private:
    void Form_Load();

    Session& m_session;
};
