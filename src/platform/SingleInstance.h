#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// Holds the program directory's lock for the life of the process, so a second start can refuse.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& directory);
    // True when this process holds the lock (or already held it).
    bool acquire();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
};
