#include "platform/FileMove.h"

#include "platform/SafeRename.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t ChunkBytes = 1 << 20;

// Closes a descriptor on every way out.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

// Removes a named temporary on every way out unless it was put in place.
class NamedTemporary
{
public:
    ~NamedTemporary()
    {
        if (!path.isEmpty())
            ::unlink(path.constData());
    }
    QByteArray path;
};

FileOpResult destinationFailure(int error)
{
    return FileOpResult::fail(
        error == EEXIST ? FileOpResult::TargetExists : FileOpResult::Failed, FileOpResult::Destination, error);
}

FileOpResult sourceFailure(int error)
{
    return FileOpResult::fail(
        error == ENOENT ? FileOpResult::SourceMissing : FileOpResult::Failed, FileOpResult::Source, error);
}

bool readFully(int fd, char* buffer, size_t wanted, off_t offset, size_t* got)
{
    *got = 0;
    while (*got < wanted) {
        const ssize_t n = ::pread(fd, buffer + *got, wanted - *got, offset + off_t(*got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        *got += size_t(n);
    }
    return true;
}

bool writeFully(int fd, const char* buffer, size_t length)
{
    while (length > 0) {
        const ssize_t n = ::write(fd, buffer, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        buffer += n;
        length -= size_t(n);
    }
    return true;
}

// Copies in to out and then reads both back to compare them: the length first, then the bytes.
FileOpResult copyAndVerify(int in, int out, off_t length)
{
    std::vector<char> a(ChunkBytes);
    std::vector<char> b(ChunkBytes);
    off_t offset = 0;
    for (;;) {
        size_t got = 0;
        if (!readFully(in, a.data(), a.size(), offset, &got))
            return sourceFailure(errno);
        if (got == 0)
            break;
        if (!writeFully(out, a.data(), got))
            return destinationFailure(errno);
        offset += off_t(got);
    }
    struct stat written;
    if (::fstat(out, &written) != 0)
        return destinationFailure(errno);
    // A source that changed length while it was read is not copied faithfully.
    if (written.st_size != length || offset != length)
        return FileOpResult::fail(FileOpResult::Failed, FileOpResult::Destination, EIO);
    for (offset = 0; offset < length;) {
        size_t gotA = 0;
        size_t gotB = 0;
        if (!readFully(in, a.data(), a.size(), offset, &gotA))
            return sourceFailure(errno);
        if (!readFully(out, b.data(), b.size(), offset, &gotB))
            return destinationFailure(errno);
        if (gotA != gotB || gotA == 0 || std::memcmp(a.data(), b.data(), gotA) != 0)
            return FileOpResult::fail(FileOpResult::Failed, FileOpResult::Destination, EIO);
        offset += off_t(gotA);
    }
    return {};
}

} // namespace

bool FileMove::identify(const QByteArray& path, Identity* identity)
{
    struct stat info;
    if (::lstat(path.constData(), &info) != 0)
        return false;
    *identity = Identity { quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_ctim.tv_sec),
        qint64(info.st_ctim.tv_nsec) };
    return true;
}

FileMove::FileMove(QByteArray from, QByteArray to, Options options)
    : m_from(std::move(from))
    , m_to(std::move(to))
    , m_options(options)
{
}

FileMove::FileMove(const QString& from, const QString& to)
    : FileMove(QFile::encodeName(from), QFile::encodeName(to))
{
}

FileOpResult FileMove::place()
{
    if (m_isPlaced)
        return {};
    struct stat source;
    if (::lstat(m_from.constData(), &source) != 0)
        return sourceFailure(errno);
    if (!S_ISREG(source.st_mode))
        return FileOpResult::fail(FileOpResult::Failed, FileOpResult::Source, EINVAL);
    identify(m_from, &m_source);

    FileOpResult result = renameNoReplace(m_from, m_to);
    if (result.error == EXDEV) {
        result = copyAcross();
        m_copied = result.ok();
    }
    if (!result.ok())
        return result;
    m_isPlaced = true;
    identify(m_to, &m_placed);
    syncDirectory(directoryOf(m_to));
    if (!m_copied)
        syncDirectory(directoryOf(m_from));
    return result;
}

FileOpResult FileMove::copyAcross()
{
    const Descriptor in(::open(m_from.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!in.valid())
        return sourceFailure(errno);
    struct stat source;
    if (::fstat(in.get(), &source) != 0)
        return sourceFailure(errno);
    if (!S_ISREG(source.st_mode) || quint64(source.st_ino) != m_source.inode)
        return FileOpResult::fail(FileOpResult::Failed, FileOpResult::Source, EINVAL);
    // Refused at once, before any byte is copied, when the name is taken.
    if (probeEntry(m_to) != EntryProbe::Missing)
        return destinationFailure(EEXIST);

    const QByteArray directory = directoryOf(m_to);
    const mode_t mode = source.st_mode & 0777;
    NamedTemporary named;
    int fd = -1;
    if (m_options.unnamedTemporary)
        fd = ::open(directory.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    const bool unnamed = fd >= 0;
    if (!unnamed) {
        const int error = errno;
        // Only a file system without unnamed temporaries gets a named one; any other refusal
        // (no such directory, no permission, a full disk) is the answer.
        if (m_options.unnamedTemporary && error != EOPNOTSUPP && error != EISDIR && error != EINVAL)
            return destinationFailure(error);
        QByteArray pattern = directory + "/.tolq-move-XXXXXX";
        fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0)
            return destinationFailure(errno);
        named.path = pattern;
    }
    // Opened for reading too: the copy is read back to be checked.
    const Descriptor out(fd);

    FileOpResult result = copyAndVerify(in.get(), out.get(), source.st_size);
    if (!result.ok())
        return result;
    // The mode and times of the source; the record key is made of the modification time.
    ::fchmod(out.get(), mode);
    const struct timespec times[2] = { source.st_atim, source.st_mtim };
    if (::futimens(out.get(), times) != 0)
        return destinationFailure(errno);
    if (::fsync(out.get()) != 0)
        return destinationFailure(errno);

    if (unnamed) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(out.get());
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, m_to.constData(), AT_SYMLINK_FOLLOW) != 0)
            return destinationFailure(errno);
    } else {
        result = renameNoReplace(named.path, m_to);
        if (!result.ok()) {
            result.side = FileOpResult::Destination;
            if (result.status == FileOpResult::SourceMissing)
                result.status = FileOpResult::Failed;
            return result;
        }
        named.path.clear();
    }
    return {};
}

FileOpResult FileMove::finish()
{
    if (!m_isPlaced || !m_copied)
        return {};
    Identity now;
    if (!identify(m_from, &now))
        return errno == ENOENT ? FileOpResult {}
                               : FileOpResult::fail(FileOpResult::Failed, FileOpResult::Source, errno);
    // Something else now stands at the old name: it is not the file that was copied.
    if (!(now == m_source))
        return FileOpResult::fail(FileOpResult::Failed, FileOpResult::Source, EEXIST);
    if (::unlink(m_from.constData()) != 0)
        return FileOpResult::fail(FileOpResult::Failed, FileOpResult::Source, errno);
    syncDirectory(directoryOf(m_from));
    return {};
}

bool FileMove::rollBack()
{
    if (!m_isPlaced)
        return true;
    Identity now;
    if (!identify(m_to, &now) || !(now == m_placed))
        return false;
    if (m_copied) {
        if (::unlink(m_to.constData()) != 0)
            return false;
    } else if (!renameNoReplace(m_to, m_from).ok()) {
        return false;
    }
    syncDirectory(directoryOf(m_to));
    m_isPlaced = false;
    m_copied = false;
    return true;
}
