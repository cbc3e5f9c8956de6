#pragma once

#include <QString>
#include <QTemporaryDir>

// Points the program directory at a fresh temporary directory for the life of the object.
class TemporaryProgramDirectory {
public:
    TemporaryProgramDirectory();
    ~TemporaryProgramDirectory();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious = false;
};

// Writes bytes to a file, creating parent directories; returns false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// Writes bytes to a file of that name in the directory; returns its path, empty on failure.
QString writeFileIn(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);
// The number of a process that is gone (a child that ended and was reaped); -1 when none could be made.
qint64 goneProcessId();
// The contents of a file that spans several chunks of the file comparison, no two bytes in a row alike.
QByteArray severalChunks();
// A figure of this process from /proc/self/status (VmSize, VmPeak, VmRSS, VmHWM), in kB; -1 when
// it cannot be read.
qint64 processStatusKb(const QByteArray& field);
