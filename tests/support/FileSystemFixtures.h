#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <optional>

// Runs a check in a child process under the user "nobody", where file modes bind as they do for
// any user (root ignores them). The check returns an empty text when it passed, else what failed.
// nullopt when the process cannot change its user (not run as root): the caller skips.
// The temporary files the check needs must be reachable by that user (see openToEveryone).
std::optional<QString> runUnprivileged(const std::function<QString()>& check);
// Runs a check in a child process and gives its answer. A child that has not answered within the
// deadline is killed and the answer says so: a check that would hang fails instead.
QString runInChild(const std::function<QString()>& check, int seconds);
// Opens a directory and the directories above it to every user, so an unprivileged check can
// reach a temporary tree made by root.
void openToEveryone(const QString& directory);

// A directory's entries as "name=content" ("<dir>" for a directory), hidden ones included, in name
// order: what stands there after a file action, and that nothing was overwritten.
QStringList directoryListing(const QString& directory);
// Puts "name=content" entries into a directory; a bare name holds its own name, "<dir>" makes a
// directory. False when one cannot be made.
bool populateDirectory(const QString& directory, const QStringList& entries);

// What may stand in the place of a file: a FIFO nobody writes to, links to devices that never
// end, a directory and a socket nobody listens on.
const QStringList& standInKinds();
// Puts one of those at the path, in place of whatever stood there, or a "dangling link" or a
// "link to a file" (beside it, named after it); false when it cannot.
bool putStandIn(const QString& path, const QString& kind);

// A trash of the test's own: HOME and XDG_DATA_HOME point into a temporary directory for the life
// of the object. An unwritable trash is one whose place is taken by a plain file.
class TrashHome
{
public:
    explicit TrashHome(bool writable = true);
    ~TrashHome();
    TrashHome(const TrashHome&) = delete;
    TrashHome& operator=(const TrashHome&) = delete;
    // Where a file of that name sent to the trash lies.
    QString trashed(const QString& name) const;

private:
    QTemporaryDir m_home;
    QByteArray m_oldHome;
    QByteArray m_oldData;
};

// A directory nobody may write into for the life of the object: as root (whom modes do not stop)
// a read-only bind mount of the directory onto itself, else mode 555. made() is false when the
// machine refuses, with the reason in skipReason().
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString& path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool made() const { return m_made; }
    QString skipReason() const { return m_reason; }

private:
    QByteArray m_path;
    bool m_mounted = false;
    bool m_made = false;
    QString m_reason;
};

// A tmpfs of a few kilobytes mounted on a temporary directory for the life of the object, for
// writes that meet a full disk. Mounting needs root; mounted() is false elsewhere, with the
// reason in skipReason().
class SmallTmpfs
{
public:
    explicit SmallTmpfs(int kilobytes);
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return m_mounted; }
    QString skipReason() const { return m_reason; }
    QString path() const { return m_dir.path(); }
    // Fills the file system with a file of its own, to the last byte or all but the given room.
    void fill(int kilobytesLeft = 0);

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_reason;
};
