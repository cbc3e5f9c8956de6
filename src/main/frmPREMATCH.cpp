#include "main/frmPREMATCH.h"

#include "main/Session.h"
#include "platform/Conventions.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

frmPREMATCH::frmPREMATCH(Session& session, const QString& programDirectory, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_programDirectory(programDirectory)
{
    setObjectName(QStringLiteral("frmPREMATCH"));
    setWindowTitle(QStringLiteral("t'olq! - Pre-Match"));
    setAttribute(Qt::WA_DeleteOnClose);
    Form_Load();
}

void frmPREMATCH::Form_Load()
{
    resize(360, 120);
    if (m_session.PreScanTop != Session::NoStoredPosition) {
        move(conv::twipsToPixels(m_session.PreScanLeft), conv::twipsToPixels(m_session.PreScanTop));
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.right() - width(), area.bottom() - height());
    }
}

void frmPREMATCH::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, &frmPREMATCH::Form_Activate);
}

void frmPREMATCH::Form_Activate()
{
    if (!m_firstActivation)
        return;
    m_firstActivation = false;
    if (m_session.WasSearchMinmized)
        showMinimized();
    // No cycle yet: it ends at once.
    close();
}

void frmPREMATCH::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QDialog::closeEvent(event);
}

void frmPREMATCH::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    QFile::remove(QDir(m_programDirectory).filePath(QStringLiteral("Matching.dat")));
    if (isMinimized()) {
        m_session.WasSearchMinmized = true;
    } else {
        m_session.PreScanTop = conv::pixelsToTwips(y());
        m_session.PreScanLeft = conv::pixelsToTwips(x());
    }
    m_session.PrematchUnloaded = true;
}
