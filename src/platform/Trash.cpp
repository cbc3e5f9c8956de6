#include "platform/Trash.h"

#include "platform/ProgramDirectory.h"
#include "platform/SafeRename.h"
#include "platform/StrayFiles.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// So many names taken in one trash means it is not one to put more into.
constexpr int NameTries = 1000;
// The information is written under a name of ours first, which never ends in ".trashinfo", so
// no reader ever meets a file half written. The writer's process number follows, then a count.
constexpr char PartPrefix[] = ".tolq-trashinfo-";

struct TrashPlace
{
    QByteArray directory; // holds files/ and info/
    QByteArray top; // the information file's Path is relative to it; empty: absolute
};

bool isDirectory(const QByteArray& path)
{
    struct stat info;
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A directory made when missing; it counts when it is a directory (through a link the user set up).
bool directoryMade(const QByteArray& path)
{
    ::mkdir(path.constData(), 0700);
    return isDirectory(path);
}

// A trash of this user's inside a directory others share: made when missing, and used only when it
// is a real directory (not a link) that the user owns.
bool ownDirectory(const QByteArray& path)
{
    ::mkdir(path.constData(), 0700);
    struct stat info;
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

// A directory made with its missing parents, private to the user as other trash programs make
// them; a fresh account has no data directory yet.
bool directoryTreeMade(const QByteArray& path)
{
    for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1))
        ::mkdir(path.left(slash).constData(), 0700);
    return directoryMade(path);
}

std::optional<TrashPlace> homeTrash()
{
    const QByteArray data = QFile::encodeName(dataHome());
    if (!directoryTreeMade(data) || !directoryMade(data + "/Trash"))
        return std::nullopt;
    return TrashPlace { data + "/Trash", QByteArray() };
}

std::optional<TrashPlace> topTrash(const QByteArray& top)
{
    const QByteArray user = QByteArray::number(::getuid());
    const QByteArray root = top.endsWith('/') ? top : top + '/';
    // A shared trash counts only as a real directory (not a link) with the sticky bit, so no one
    // else can take a user's folder in it.
    struct stat shared;
    if (::lstat((root + ".Trash").constData(), &shared) == 0 && S_ISDIR(shared.st_mode) && (shared.st_mode & S_ISVTX)
        && ownDirectory(root + ".Trash/" + user))
        return TrashPlace { root + ".Trash/" + user, top };
    if (ownDirectory(root + ".Trash-" + user))
        return TrashPlace { root + ".Trash-" + user, top };
    return std::nullopt;
}

// The mount that holds a path, or would hold it: a path not there yet lies where its nearest
// existing parent lies.
QString mountOf(QString path)
{
    while (!QFileInfo::exists(path) && path != QFileInfo(path).path())
        path = QFileInfo(path).path();
    const QStorageInfo storage(path);
    return storage.isValid() ? storage.rootPath() : QString();
}

// The trash a file in the folder goes to: a rename only works within one mount.
std::optional<TrashPlace> trashFor(const QString& folder)
{
    const QString mount = mountOf(folder);
    if (mount.isEmpty())
        return std::nullopt;
    if (mount == mountOf(dataHome()))
        return homeTrash();
    return topTrash(QFile::encodeName(mount));
}

// The name in the trash at the given try: the file's own, then "a.2.jpg", "a.3.jpg" and so on.
QByteArray nameAtTry(const QByteArray& name, int attempt)
{
    if (attempt == 1)
        return name;
    const qsizetype dot = name.lastIndexOf('.');
    const QByteArray number = '.' + QByteArray::number(attempt);
    return dot > 0 ? name.left(dot) + number + name.mid(dot) : name + number;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// Writes the information under a name of ours in the info folder, synced and closed; empty when
// it cannot.
QByteArray writtenPart(const QByteArray& infos, const QByteArray& record)
{
    static int count = 0;
    const QByteArray stem = infos + '/' + PartPrefix + QByteArray::number(qint64(::getpid())) + '-';
    for (int attempt = 0; attempt < NameTries; ++attempt) {
        const QByteArray part = stem + QByteArray::number(++count);
        const int fd = ::open(part.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return {};
        }
        const bool written = writeAll(fd, record) && ::fsync(fd) == 0;
        if (::close(fd) != 0 || !written) {
            ::unlink(part.constData());
            return {};
        }
        return part;
    }
    return {};
}

} // namespace

bool moveFileToTrash(const QString& path, QString* trashedAs)
{
    const QFileInfo file(path);
    const QByteArray source = QFile::encodeName(file.absoluteFilePath());
    struct stat info;
    // The trash takes a file, or a link itself; a directory, pipe, socket or device that took the
    // name is left where it is.
    if (::lstat(source.constData(), &info) != 0 || !(S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)))
        return false;
    const QString folder = file.absolutePath();
    const std::optional<TrashPlace> trash = trashFor(folder);
    if (!trash)
        return false;
    const QByteArray files = trash->directory + "/files";
    const QByteArray infos = trash->directory + "/info";
    if (!directoryMade(files) || !directoryMade(infos))
        return false;

    // Where the file came from: relative to the top of its file system in a trash there, else
    // absolute; percent-encoded as in a URL.
    const QString real = QFileInfo(folder).canonicalFilePath();
    QByteArray original = QFile::encodeName((real.isEmpty() ? folder : real) + QLatin1Char('/') + file.fileName());
    const QByteArray top = trash->top.endsWith('/') ? trash->top : trash->top + '/';
    if (!trash->top.isEmpty() && original.startsWith(top))
        original = original.mid(top.size());
    const QByteArray record = "[Trash Info]\nPath=" + original.toPercentEncoding("/") + "\nDeletionDate="
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1() + '\n';

    // What a writer that died left of its information; a program trashing beside this one keeps
    // its own, and this one holds none between two trashings.
    strayfiles::removeOfGoneWriters(infos, PartPrefix, QByteArray(), true);
    const QByteArray name = QFile::encodeName(file.fileName());
    QByteArray part;
    for (int attempt = 1; attempt <= NameTries; ++attempt) {
        const QByteArray trashName = nameAtTry(name, attempt);
        const QByteArray target = files + '/' + trashName;
        const EntryProbe taken = probeEntry(target);
        if (taken == EntryProbe::Unknown)
            break;
        if (taken == EntryProbe::Present)
            continue;
        // The information comes first, whole, and takes its name without ever replacing one (a
        // rename that refuses a taken name, or a link and an unlink where the file system knows
        // no such rename): of two programs trashing the same name, one gets it and the other
        // moves on. Any refusal but a name taken ends here.
        if (part.isEmpty())
            part = writtenPart(infos, record);
        if (part.isEmpty())
            return false;
        const QByteArray infoFile = infos + '/' + trashName + ".trashinfo";
        const FileOpResult named = renameNoReplace(part, infoFile);
        if (named.status == FileOpResult::TargetExists)
            continue;
        if (!named.ok())
            break;
        part.clear();
        const FileOpResult moved = renameNoReplace(source, target);
        if (moved.ok()) {
            if (trashedAs)
                *trashedAs = QFile::decodeName(target);
            return true;
        }
        ::unlink(infoFile.constData());
        if (moved.status != FileOpResult::TargetExists)
            return false;
    }
    if (!part.isEmpty())
        ::unlink(part.constData());
    return false;
}
