#include "main/frmREVIEW.h"

#include "main/ReviewRecords.h"
#include "platform/Conventions.h"
#include "platform/Prompter.h"
#include "session/Session.h"

#include <QCloseEvent>
#include <QTimer>

frmREVIEW::frmREVIEW(const QString& name, Session& session, Prompter& prompter, QWidget* mainWindow, QWidget* parent,
    const QString& listDatabase)
    : QDialog(parent)
    , m_session(session)
    , m_prompter(prompter)
    , m_mainWindow(mainWindow)
    , m_listDatabase(listDatabase)
{
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(640, 480);
}

void frmREVIEW::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, &frmREVIEW::Form_Activate);
}

void frmREVIEW::Form_Activate()
{
    if (!m_firstActivation)
        return;
    m_firstActivation = false;
    const ReviewRecords records = ReviewRecords::load(m_listDatabase);
    if (records.isEmpty()) {
        m_prompter.tell(QStringLiteral("No files to review..."));
        close();
        return;
    }
    m_referenceRecnum = records.recnums()[records.startIndex(m_session.StoppedAtRecord)];
    m_session.StoppedAtRecord = 0;
}

void frmREVIEW::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QDialog::closeEvent(event);
}

void frmREVIEW::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_referenceRecnum)
        m_session.StoppedAtRecord = qint32(conv::roundHalfEven(*m_referenceRecnum));
    if (m_mainWindow)
        m_mainWindow->show();
    m_session.ChangedSearch = false;
}
