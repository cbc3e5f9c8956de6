#include "FileSystemFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

// A socket nobody listens on: bound, then closed, it stays in the file system.
bool bindSocket(const QByteArray& path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

} // namespace

const QStringList& standInKinds()
{
    static const QStringList kinds { QStringLiteral("FIFO"), QStringLiteral("/dev/zero"),
        QStringLiteral("/dev/urandom"), QStringLiteral("directory"), QStringLiteral("socket") };
    return kinds;
}

bool putStandIn(const QString& path, const QString& kind)
{
    QFile::remove(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    if (kind == QLatin1String("FIFO"))
        return mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
    if (kind == QLatin1String("directory"))
        return QDir().mkdir(path);
    if (kind == QLatin1String("socket"))
        return bindSocket(QFile::encodeName(path));
    if (kind == QLatin1String("dangling link"))
        return QFile::link(path + QStringLiteral(".gone"), path);
    if (kind == QLatin1String("link to a file")) {
        QFile target(path + QStringLiteral(".target"));
        return target.open(QIODevice::WriteOnly) && target.write("0\n") == 2 && QFile::link(target.fileName(), path);
    }
    return QFile::link(kind, path);
}

TrashHome::TrashHome(bool writable)
    : m_oldHome(qgetenv("HOME"))
    , m_oldData(qgetenv("XDG_DATA_HOME"))
{
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("data")).toUtf8());
    QDir().mkpath(m_home.filePath(QStringLiteral("data")));
    if (!writable) {
        QFile blocker(m_home.filePath(QStringLiteral("data/Trash")));
        if (blocker.open(QIODevice::WriteOnly))
            blocker.write("not a directory");
    }
}

TrashHome::~TrashHome()
{
    qputenv("HOME", m_oldHome);
    if (m_oldData.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", m_oldData);
}

QString TrashHome::trashed(const QString& name) const
{
    return m_home.filePath(QStringLiteral("data/Trash/files/") + name);
}

QStringList directoryListing(const QString& directory)
{
    QStringList files;
    const QDir dir(directory);
    for (const QString& name :
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString path = dir.filePath(name);
        QString content = QStringLiteral("<dir>");
        if (!QFileInfo(path).isDir()) {
            QFile file(path);
            content
                = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<unreadable>");
        }
        files << name + QLatin1Char('=') + content;
    }
    return files;
}

bool populateDirectory(const QString& directory, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? entry : entry.left(equals);
        const QString content = equals < 0 ? entry : entry.mid(equals + 1);
        if (content == QLatin1String("<dir>")) {
            if (!QDir(directory).mkdir(name))
                return false;
            continue;
        }
        QFile file(QDir(directory).filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content.toUtf8()) != content.toUtf8().size())
            return false;
    }
    return true;
}

namespace {

// The child's answer, or nullopt when it could not be started. The child becomes "nobody" first
// when asked to.
std::optional<QString> runForked(const std::function<QString()>& check, bool unprivileged, int seconds)
{
    int channel[2];
    if (pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return std::nullopt;
    }
    if (child == 0) {
        close(channel[0]);
        QByteArray answer;
        if (unprivileged && (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0))
            answer = "could not become nobody";
        else
            answer = check().toUtf8();
        const ssize_t written = write(channel[1], answer.constData(), size_t(answer.size()));
        _exit(written == answer.size() ? 0 : 1);
    }
    close(channel[1]);
    QByteArray answer;
    bool late = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd ready { channel[0], POLLIN, 0 };
        const int polled = left.count() > 0 ? poll(&ready, 1, int(left.count())) : 0;
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0) {
            late = true;
            kill(child, SIGKILL);
            break;
        }
        char buffer[4096];
        const ssize_t got = read(channel[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        answer.append(buffer, got);
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (late)
        return QStringLiteral("the check did not finish within %1 s").arg(seconds);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("the check did not finish (status %1)").arg(status);
    return QString::fromUtf8(answer);
}

} // namespace

std::optional<QString> runUnprivileged(const std::function<QString()>& check)
{
    if (geteuid() != 0)
        return std::nullopt;
    return runForked(check, true, 600);
}

QString runInChild(const std::function<QString()>& check, int seconds)
{
    return runForked(check, false, seconds).value_or(QStringLiteral("could not start a child process"));
}

ReadOnlyFolder::ReadOnlyFolder(const QString& path)
    : m_path(QFile::encodeName(path))
{
    if (geteuid() == 0) {
        if (mount(m_path.constData(), m_path.constData(), nullptr, MS_BIND, nullptr) != 0) {
            m_reason
                = QStringLiteral("this machine refuses a bind mount: %1").arg(QString::fromLocal8Bit(strerror(errno)));
            return;
        }
        m_mounted = true;
        if (mount(nullptr, m_path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
            m_reason = QStringLiteral("this machine refuses a read-only remount: %1")
                           .arg(QString::fromLocal8Bit(strerror(errno)));
            return;
        }
    } else if (chmod(m_path.constData(), 0555) != 0) {
        m_reason = QStringLiteral("cannot change the folder's mode: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return;
    }
    // Whatever the means, it counts only when a write is really refused.
    const QByteArray probe = m_path + "/.probe";
    const int fd = open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd >= 0) {
        close(fd);
        unlink(probe.constData());
        m_reason = QStringLiteral("the folder can still be written");
        return;
    }
    m_made = true;
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (m_mounted)
        umount2(m_path.constData(), MNT_DETACH);
    else
        chmod(m_path.constData(), 0755);
}

void openToEveryone(const QString& directory)
{
    QString path = QFileInfo(directory).absoluteFilePath();
    while (!path.isEmpty() && path != QLatin1String("/")) {
        struct stat info;
        const QByteArray native = QFile::encodeName(path);
        if (stat(native.constData(), &info) == 0)
            chmod(native.constData(), (info.st_mode & 07777) | S_IRWXU | S_IROTH | S_IXOTH | S_IRGRP | S_IXGRP);
        path = QFileInfo(path).path();
    }
}

SmallTmpfs::SmallTmpfs(int kilobytes)
{
    if (geteuid() != 0) {
        m_reason = QStringLiteral("mounting a tmpfs needs root");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0777";
    if (mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) != 0) {
        m_reason
            = QStringLiteral("this machine refuses to mount a tmpfs: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return;
    }
    m_mounted = true;
}

SmallTmpfs::~SmallTmpfs()
{
    if (m_mounted)
        umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

void SmallTmpfs::fill(int kilobytesLeft)
{
    QFile filler(m_dir.filePath(QStringLiteral(".filler")));
    if (!filler.open(QIODevice::WriteOnly))
        return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) { }
    // The last partial block.
    filler.write(QByteArray(1, 'x'));
    filler.flush();
    filler.close();
    if (kilobytesLeft > 0)
        QFile::resize(filler.fileName(), QFileInfo(filler.fileName()).size() - qint64(kilobytesLeft) * 1024);
}
