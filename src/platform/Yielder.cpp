#include "platform/Yielder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>

void EventLoopYielder::yield()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_lastYieldMs >= 0 && now - m_lastYieldMs < 20)
        return;
    m_lastYieldMs = now;
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
