#pragma once

#include "main/frmREVIEW.h"
#include "session/Session.h"

// The snapshot review. Until it is built it is the review stand-in under its own name;
// its load starts the session's count of deleted files afresh.
class frmSNAPSHOT : public frmREVIEW
{
    Q_OBJECT
public:
    frmSNAPSHOT(Session& session, Prompter& prompter, QWidget* mainWindow, QWidget* parent = nullptr,
        const QString& listDatabase = {})
        : frmREVIEW(QStringLiteral("frmSNAPSHOT"), session, prompter, mainWindow, parent, listDatabase)
    {
        Form_Load();
    }

private:
    void Form_Load() { m_session.NumberDeleted = 0; }
};
