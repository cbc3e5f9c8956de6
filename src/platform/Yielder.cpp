#include "platform/Yielder.h"

#include <QCoreApplication>
#include <QThread>

bool EventLoopYielder::due() const
{
    return !m_sinceYield.isValid() || m_sinceYield.elapsed() >= 20;
}

void EventLoopYielder::yield()
{
    if (!due())
        return;
    m_sinceYield.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void EventLoopYielder::sleep(int milliseconds)
{
    // Keep the window alive while paused: wake often enough to process events.
    QElapsedTimer paused;
    paused.start();
    while (paused.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    m_sinceYield.start();
}
