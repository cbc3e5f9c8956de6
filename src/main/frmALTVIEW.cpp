#include "main/frmALTVIEW.h"

#include "session/Session.h"

#include <QGuiApplication>
#include <QScreen>

frmALTVIEW::frmALTVIEW(Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmALTVIEW"));
    setWindowTitle(QStringLiteral("t'olq! - Alternate viewer"));
    Form_Load();
}

void frmALTVIEW::Form_Load()
{
    resize(400, 120);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
}
