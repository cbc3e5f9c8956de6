#include "FileSystemFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

} // namespace

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

std::optional<QString> runUnprivileged(const std::function<QString()>& check)
{
    if (geteuid() != 0)
        return std::nullopt;
    int channel[2];
    if (pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        close(channel[0]);
        QByteArray answer;
        if (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0)
            answer = "could not become nobody";
        else
            answer = check().toUtf8();
        const ssize_t written = write(channel[1], answer.constData(), size_t(answer.size()));
        _exit(written == answer.size() ? 0 : 1);
    }
    close(channel[1]);
    QByteArray answer;
    char buffer[4096];
    ssize_t got;
    while ((got = read(channel[0], buffer, sizeof buffer)) > 0)
        answer.append(buffer, got);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("the unprivileged check did not finish (status %1)").arg(status);
    return QString::fromUtf8(answer);
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

void SmallTmpfs::fill()
{
    QFile filler(m_dir.filePath(QStringLiteral(".filler")));
    if (!filler.open(QIODevice::WriteOnly))
        return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) { }
    // The last partial block.
    filler.write(QByteArray(1, 'x'));
    filler.flush();
}
