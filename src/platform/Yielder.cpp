#include "platform/Yielder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

bool EventLoopYielder::due() const
{
    return m_lastYieldMs < 0 || QDateTime::currentMSecsSinceEpoch() - m_lastYieldMs >= 20;
}

void EventLoopYielder::yield()
{
    if (!due())
        return;
    m_lastYieldMs = QDateTime::currentMSecsSinceEpoch();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void EventLoopYielder::sleep(int milliseconds)
{
    // Keep the window alive while paused: wake often enough to process events.
    const qint64 end = QDateTime::currentMSecsSinceEpoch() + milliseconds;
    while (QDateTime::currentMSecsSinceEpoch() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    m_lastYieldMs = QDateTime::currentMSecsSinceEpoch();
}
