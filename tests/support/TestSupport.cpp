#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/wait.h>
#include <unistd.h>

TemporaryProgramDirectory::TemporaryProgramDirectory()
{
    m_hadPrevious = qEnvironmentVariableIsSet("TOLQ_HOME");
    m_previous = qgetenv("TOLQ_HOME");
    qputenv("TOLQ_HOME", m_dir.path().toUtf8());
}

TemporaryProgramDirectory::~TemporaryProgramDirectory()
{
    if (m_hadPrevious)
        qputenv("TOLQ_HOME", m_previous);
    else
        qunsetenv("TOLQ_HOME");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

qint64 goneProcessId()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    return child > 0 && ::waitpid(child, nullptr, 0) == child ? child : -1;
}

QString writeFileIn(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    return writeFile(path, bytes) ? path : QString();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray severalChunks()
{
    QByteArray bytes(3 * 1024 * 1024 + 17, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 31 % 251);
    return bytes;
}

qint64 processStatusKb(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}
