#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// Holds the program directory's lock for the life of the process, so a second start can refuse.
class SingleInstance
{
public:
    enum class Result {
        Acquired, // this process holds the lock (or already held it)
        HeldElsewhere, // another running instance holds it
        CannotCreate, // the lock file cannot be made: the directory is not writable or full
        Unreadable, // the lock file cannot be read within what a lock holds (a FIFO, a device, a
                    // link nobody can follow, a file that never ends)
    };

    // What a lock holds: the holder's process number, program and host names and two ids of the
    // machine, each on a line of its own. A larger file is none the program wrote.
    static constexpr qint64 MostLockBytes = 4096;

    explicit SingleInstance(const QString& directory);
    Result acquire();

    // What the user is told for a refusal, naming the directory when it is the cause and why the
    // lock file could not be read.
    QString refusalText(Result result) const;

private:
    QString m_directory;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
    QString m_refusal;
};
