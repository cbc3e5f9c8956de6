#include "platform/SingleInstance.h"

#include <QDir>

SingleInstance::SingleInstance(const QString& directory)
    : m_lock(std::make_unique<QLockFile>(QDir(directory).filePath(QStringLiteral("tolq.lock"))))
{
    // A lock left by a crashed run is stale at once: the holder's PID is checked, not its age.
    m_lock->setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    if (!m_held)
        m_held = m_lock->tryLock(0);
    return m_held;
}
