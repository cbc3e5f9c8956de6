#include "ModalScript.h"

#include <QApplication>
#include <QWidget>

ModalScript::ModalScript(QList<std::function<void(QWidget*)>> actions)
    : m_actions(std::move(actions))
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == m_current || m_actions.isEmpty())
            return;
        m_current = modal;
        seen << modal->objectName();
        m_actions.takeFirst()(modal);
        m_current = nullptr;
    });
    m_timer.start();
}
