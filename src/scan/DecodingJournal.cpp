#include "scan/DecodingJournal.h"

#include "platform/WholeFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A line with the length of what follows, then one entry a picture: a tag and the path's bytes,
// ended by a NUL (a path may hold any other byte, line breaks included).
constexpr char AloneTag = 'A';
constexpr char ReadingTag = 'R';
constexpr char SuspectTag = 'S';
// Far more than the pictures ahead of the scan and the suspects together ever take.
constexpr qint64 MostBytes = 64 * 1024 * 1024;

void appendEntry(QByteArray& body, char tag, const QString& path)
{
    body.append(tag);
    body.append(QFile::encodeName(path));
    body.append('\0');
}

} // namespace

QString DecodingJournal::pathIn(const QString& programDirectory)
{
    return programDirectory + QStringLiteral("/Decoding.dat");
}

DecodingJournal::Contents DecodingJournal::read(const QString& path)
{
    Contents contents;
    const QByteArray bytes = wholefile::read(path, MostBytes).value_or(QByteArray());
    const qsizetype lineEnd = bytes.indexOf('\n');
    bool ok = false;
    const qint64 length = lineEnd > 0 ? bytes.left(lineEnd).toLongLong(&ok) : -1;
    if (!ok || length < 0 || lineEnd + 1 + length > bytes.size())
        return contents;
    const QByteArray body = bytes.mid(lineEnd + 1, length);
    QList<std::pair<char, QString>> entries;
    bool readingBeside = false;
    for (qsizetype at = 0; at < body.size();) {
        const qsizetype end = body.indexOf('\0', at);
        if (end < 0)
            break;
        entries.append({ body.at(at), QFile::decodeName(body.mid(at + 1, end - at - 1)) });
        readingBeside = readingBeside || body.at(at) == ReadingTag;
        at = end + 1;
    }
    // A record of a picture read alone names no picture read beside others. A file that holds
    // both was torn by a power cut over an unsynced record: nobody is blamed on its word.
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

bool DecodingJournal::record(const QStringList& reading, bool alone, const QSet<QString>& suspects, bool sync)
{
    if (m_fd < 0) {
        m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        struct stat info;
        if (m_fd >= 0 && (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))) {
            ::close(m_fd);
            m_fd = -1;
        }
        if (m_fd < 0)
            return false;
    }
    QByteArray body;
    for (const QString& picture : reading)
        appendEntry(body, alone ? AloneTag : ReadingTag, picture);
    if (!suspects.isEmpty()) {
        const QSet<QString> read(reading.begin(), reading.end());
        for (const QString& picture : suspects) {
            if (!read.contains(picture))
                appendEntry(body, SuspectTag, picture);
        }
    }
    const QByteArray bytes = QByteArray::number(body.size()) + '\n' + body;
    // One write: a killed process has done all of it or none of it. What an older, longer record
    // leaves behind the new one lies beyond its length.
    ssize_t written = -1;
    do
        written = ::pwrite(m_fd, bytes.constData(), size_t(bytes.size()), 0);
    while (written < 0 && errno == EINTR);
    if (written != bytes.size())
        return false;
    return !sync || ::fdatasync(m_fd) == 0 || errno == EINVAL;
}

void DecodingJournal::remove()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    ::unlink(QFile::encodeName(m_path).constData());
}
