#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Acts on each modal window as it comes up (a dialog shown with exec() by the code under test),
// one action per window in turn, while the test waits in that code. Each action must end its
// window. seen lists the object names of the windows acted on.
class ModalScript : public QObject
{
public:
    explicit ModalScript(QList<std::function<void(QWidget*)>> actions);
    QStringList seen;

private:
    QTimer m_timer;
    QList<std::function<void(QWidget*)>> m_actions;
    QWidget* m_current = nullptr;
};
