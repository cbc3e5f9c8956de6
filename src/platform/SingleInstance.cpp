#include "platform/SingleInstance.h"

#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// QLockFile never judges a lock file stale when it cannot read its owner (one left empty by a
// run that died while writing it), which would refuse every later start. Such a file is removed
// when no process holds it: a running holder keeps an flock on its lock file.
bool removeAbandonedLock(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool removed = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(QFile::encodeName(path).constData()) == 0;
    ::close(fd);
    return removed;
}

} // namespace

SingleInstance::SingleInstance(const QString& directory)
    : m_directory(directory)
    , m_path(QDir(directory).filePath(QStringLiteral("tolq.lock")))
    , m_lock(std::make_unique<QLockFile>(m_path))
{
    // A lock left by a crashed run is stale at once: the holder's PID is checked, not its age.
    m_lock->setStaleLockTime(0);
}

SingleInstance::Result SingleInstance::acquire()
{
    if (m_held)
        return Result::Acquired;
    // The lock reads its holder from the file whole: a FIFO would hold that read for ever, and a
    // device or a file that never ends (a link to /proc) would feed it without end. So the
    // content is read first, within the little the lock writes.
    if (wholefile::present(m_path) && !wholefile::read(m_path, MostLockBytes, &m_refusal))
        return Result::Unreadable;
    m_held = m_lock->tryLock(0);
    if (!m_held && m_lock->error() == QLockFile::LockFailedError && !m_lock->getLockInfo(nullptr, nullptr, nullptr)
        && removeAbandonedLock(m_path))
        m_held = m_lock->tryLock(0);
    if (m_held)
        return Result::Acquired;
    // Only a lock file that exists and is held tells of another instance; any other failure is
    // the directory's.
    return m_lock->error() == QLockFile::LockFailedError ? Result::HeldElsewhere : Result::CannotCreate;
}

QString SingleInstance::refusalText(Result result) const
{
    if (result == Result::HeldElsewhere)
        return QStringLiteral("Another instance of t'olq! is already running...");
    if (result == Result::Unreadable)
        return QStringLiteral("Unable to lock %1\r\r%2").arg(m_path, m_refusal);
    return QStringLiteral("The program directory %1 is not writable (or its disk is full).\r\rt'olq! keeps its "
                          "settings and catalogues there.")
        .arg(QDir::toNativeSeparators(m_directory));
}
