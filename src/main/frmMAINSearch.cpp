// The main window's share of a search: Go, the list database upkeep, and the windows the search
// control asks for.
#include "main/frmMAIN.h"

#include "main/frmCOMPACT.h"
#include "main/frmMAINStages.h"
#include "widgets/MessageBoxPrompter.h"

#include <QCoreApplication>
#include <QTimer>

void frmMAIN::cmdGO_Click()
{
    m_search->go();
}

void frmMAIN::cmdPURGE_Click()
{
    m_upkeep->purge();
}

void frmMAIN::cmdCOMPACT_Click()
{
    m_upkeep->compactOnRequest();
}

void frmMAIN::showResumeDialog()
{
    m_stages->showResumeDialog(*this);
    Form_Activate();
}

void frmMAIN::stopAnimation()
{
    Timer3->stop();
}

void frmMAIN::hideMainWindow()
{
    hide();
}

void frmMAIN::showMainWindow()
{
    show();
}

void frmMAIN::showPreScan()
{
    m_stageWindow = m_stages->createPreScan(*this);
    if (m_stageWindow)
        m_stageWindow->show();
}

void frmMAIN::showPreMatch()
{
    m_stageWindow = m_stages->createPreMatch(*this);
    if (m_stageWindow)
        m_stageWindow->show();
}

bool frmMAIN::waitUntil(const bool& flag)
{
    // The stage window sets the flag while it unloads, inside event processing; a window that
    // is gone (or never came) without setting it ends the wait too.
    while (!flag && !m_ended && m_stageWindow)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    // A window that stays after its unload is not needed any more.
    if (m_stageWindow && !m_stageWindow->testAttribute(Qt::WA_DeleteOnClose))
        m_stageWindow->deleteLater();
    m_stageWindow = nullptr;
    return !m_ended;
}

void frmMAIN::showReview(bool snapshot, const QString& caption)
{
    m_review = m_stages->createReview(*this, snapshot);
    if (!m_review) {
        show();
        return;
    }
    m_review->show();
    m_review->setWindowTitle(caption);
}

bool frmMAIN::showsWindows() const
{
    return !MessageBoxPrompter::platformIsHeadless();
}

void frmMAIN::pressQuit()
{
    cmdQUIT_Click();
}

void frmMAIN::endProgramNow()
{
    endProgram();
}

void frmMAIN::endDuringStage(ExitStatus status)
{
    if (m_stageWindow)
        m_stages->endDuringStage(*m_stageWindow, status);
}

void frmMAIN::showNotice()
{
    m_compactNotice = new frmCOMPACT(this);
    m_compactNotice->setAttribute(Qt::WA_DeleteOnClose);
    m_compactNotice->show();
}

void frmMAIN::hideNotice()
{
    if (m_compactNotice)
        m_compactNotice->close();
}
