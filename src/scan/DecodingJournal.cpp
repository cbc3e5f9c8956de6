#include "scan/DecodingJournal.h"

#include "platform/StateFile.h"
#include "platform/WholeFile.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A line with the length of what follows, then one entry a picture: a tag and the path's bytes,
// ended by a NUL (a path may hold any other byte, line breaks included).
constexpr char AloneTag = 'A';
constexpr char ReadingTag = 'R';
constexpr char SuspectTag = 'S';

QString unwritable(const QString& path, int error)
{
    return stateFileUnwritableText(
        path, QStringLiteral("The file cannot be written (%1).").arg(QString::fromLocal8Bit(std::strerror(error))));
}

bool plainNumber(QByteArrayView digits)
{
    if (digits.isEmpty() || digits.size() > DecodingJournal::MostLengthDigits)
        return false;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

QString DecodingJournal::pathIn(const QString& programDirectory)
{
    return programDirectory + QStringLiteral("/Decoding.dat");
}

QString DecodingJournal::refusal(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::lstat(name.constData(), &status) != 0)
        return {};
    if (!S_ISREG(status.st_mode))
        return stateFileRefusalText(path, wholefile::notAFileText());
    QString reason;
    if (!wholefile::read(path, MostBytes, &reason))
        return stateFileRefusalText(path, reason);
    // Opened as record() opens it, and not a byte changed: a record that cannot be written would
    // leave the next run blind to a picture that ends the process.
    const int fd = ::open(name.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return unwritable(path, errno);
    ::close(fd);
    return {};
}

// Only a record that is whole names anything: a length line of digits alone, all the bytes it
// counts, and those bytes wholly entries as record() writes them, no more of them than it writes.
// Anything else (cut short, garbage, a file the program did not write) names nothing, neither a
// picture to pass over nor a suspect. Bytes beyond the length are an older, longer record's.
DecodingJournal::Contents DecodingJournal::read(const QString& path)
{
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    const std::optional<QByteArray> bytes = wholefile::read(path, MostBytes);
    if (!bytes)
        return {};
    const qsizetype lineEnd = bytes->indexOf('\n');
    if (lineEnd < 0 || !plainNumber(QByteArrayView(*bytes).first(lineEnd)))
        return {};
    bool ok = false;
    const qint64 length = bytes->left(lineEnd).toLongLong(&ok);
    // Against the bytes left, so that no length overflows a sum.
    if (!ok || length > bytes->size() - lineEnd - 1)
        return {};
    const char* const body = bytes->constData() + lineEnd + 1;
    QList<std::pair<char, QString>> entries;
    bool readingBeside = false;
    for (qsizetype at = 0; at < length;) {
        const char tag = body[at];
        const auto* nul = static_cast<const char*>(std::memchr(body + at, '\0', std::size_t(length - at)));
        const qsizetype pathBytes = nul ? nul - body - at - 1 : 0;
        if (entries.size() == MostEntries || (tag != AloneTag && tag != ReadingTag && tag != SuspectTag)
            || pathBytes < 1 || pathBytes > MostPathBytes)
            return {};
        entries.append({ tag, QFile::decodeName(QByteArray(body + at + 1, pathBytes)) });
        readingBeside = readingBeside || tag == ReadingTag;
        at += 1 + pathBytes + 1;
    }
    // A record of a picture read alone names no picture read beside others. A file that holds
    // both was torn by a power cut over an unsynced record: nobody is blamed on its word.
    Contents contents;
    for (const auto& [tag, picture] : entries)
        (tag == AloneTag && !readingBeside ? contents.alone : contents.suspects).insert(picture);
    return contents;
}

DecodingJournal::DecodingJournal(QString path)
    : m_path(std::move(path))
{
}

DecodingJournal::~DecodingJournal()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool DecodingJournal::fail(int error)
{
    m_failure = unwritable(m_path, error);
    return false;
}

QString DecodingJournal::failure() const
{
    return m_failure;
}

bool DecodingJournal::openFile(int flags)
{
    // Never through a link, and never waiting on a FIFO put in the file's place.
    const int fd = ::open(QFile::encodeName(m_path).constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(errno);
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        m_failure = stateFileUnwritableText(m_path, wholefile::notAFileText());
        return false;
    }
    m_fd = fd;
    m_device = info.st_dev;
    m_inode = info.st_ino;
    return true;
}

bool DecodingJournal::record(const QStringList& reading, bool alone, const QSet<QString>& suspects, bool sync)
{
    if (m_fd < 0 && !openFile(O_RDWR | O_CREAT))
        return false;
    QByteArray body;
    qsizetype entries = 0;
    const auto append = [&body, &entries](char tag, const QString& picture) {
        const QByteArray name = QFile::encodeName(picture);
        if (name.isEmpty() || name.size() > MostPathBytes)
            return;
        body.append(tag);
        body.append(name);
        body.append('\0');
        ++entries;
    };
    for (const QString& picture : reading)
        append(alone ? AloneTag : ReadingTag, picture);
    if (!suspects.isEmpty()) {
        const QSet<QString> read(reading.begin(), reading.end());
        QStringList carried;
        for (const QString& picture : suspects) {
            if (!read.contains(picture))
                carried << picture;
        }
        // Suspects beyond the bound are forgotten: read beside others again, one that ends the
        // process once more is a suspect once more.
        if (entries + carried.size() > MostEntries) {
            carried.sort();
            carried.resize(qMax<qsizetype>(0, MostEntries - entries));
        }
        for (const QString& picture : carried)
            append(SuspectTag, picture);
    }
    const QByteArray bytes = QByteArray::number(body.size()) + '\n' + body;
    // One write: a killed process has done all of it or none of it. What an older, longer record
    // leaves behind the new one lies beyond its length.
    ssize_t written = -1;
    do
        written = ::pwrite(m_fd, bytes.constData(), size_t(bytes.size()), 0);
    while (written < 0 && errno == EINTR);
    if (written != bytes.size())
        return fail(written < 0 ? errno : ENOSPC);
    if (sync && ::fdatasync(m_fd) != 0 && errno != EINVAL)
        return fail(errno);
    return true;
}

void DecodingJournal::remove()
{
    if (m_fd < 0 && !openFile(O_RDONLY))
        return;
    ::close(m_fd);
    m_fd = -1;
    // What has taken the file's place since it was opened is not the program's to remove.
    const QByteArray name = QFile::encodeName(m_path);
    struct stat now;
    if (::lstat(name.constData(), &now) == 0 && S_ISREG(now.st_mode) && now.st_dev == m_device && now.st_ino == m_inode)
        ::unlink(name.constData());
}
