#pragma once

#include "main/frmREVIEW.h"

// The pair review. Until it is built it is the shared review stand-in under its own name.
class frmCHECKEM : public frmREVIEW
{
    Q_OBJECT
public:
    frmCHECKEM(Session& session, Prompter& prompter, QWidget* mainWindow, QWidget* parent = nullptr,
        const QString& listDatabase = {})
        : frmREVIEW(QStringLiteral("frmCHECKEM"), session, prompter, mainWindow, parent, listDatabase)
    {
    }
};
