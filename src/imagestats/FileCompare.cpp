#include "imagestats/FileCompare.h"

#include "imagestats/MediaPrompts.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <memory>
#include <optional>

namespace {

constexpr qint64 Chunk = 1 << 20;

struct FileDigest
{
    qint64 length = 0;
    QByteArray sha256;
    bool operator==(const FileDigest&) const = default;
};

// A file's length and SHA-256, read in chunks; none when it cannot be read whole.
std::optional<FileDigest> digestOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::unique_ptr<char[]> buffer(new char[Chunk]);
    FileDigest digest;
    for (;;) {
        const qint64 got = file.read(buffer.get(), Chunk);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        hash.addData(QByteArrayView(buffer.get(), got));
        digest.length += got;
    }
    digest.sha256 = hash.result();
    return digest;
}

} // namespace

bool ReadFileIntoArray(const QString& path, std::vector<std::int16_t>& words)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 wanted = qint64(words.size()) * 2;
    const QByteArray bytes = file.read(wanted);
    if (file.error() != QFileDevice::NoError)
        return false;
    // Little-endian words, whatever the host.
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const std::size_t w = std::size_t(i / 2);
        const std::uint16_t old = std::uint16_t(words[w]);
        const std::uint16_t byte = std::uint8_t(bytes[i]);
        const std::uint16_t merged
            = (i % 2 == 0) ? std::uint16_t((old & 0xFF00u) | byte) : std::uint16_t((old & 0x00FFu) | (byte << 8));
        words[w] = std::int16_t(merged);
    }
    return true;
}

bool fileContentsEqual(const QString& firstPath, const QString& secondPath)
{
    QFile a(firstPath);
    QFile b(secondPath);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    if (a.size() != b.size())
        return false;
    std::unique_ptr<char[]> bufA(new char[Chunk]);
    std::unique_ptr<char[]> bufB(new char[Chunk]);
    qint64 remaining = a.size();
    while (remaining > 0) {
        const qint64 want = std::min(Chunk, remaining);
        if (a.read(bufA.get(), want) != want || b.read(bufB.get(), want) != want)
            return false;
        if (std::memcmp(bufA.get(), bufB.get(), std::size_t(want)) != 0)
            return false;
        remaining -= want;
    }
    // A file that grew while being read is not the one whose length was compared.
    char extra;
    return a.read(&extra, 1) == 0 && b.read(&extra, 1) == 0;
}

bool FilesIdentical(const QString& firstVolume, const QString& firstPath, const QString& secondVolume,
    const QString& secondPath, const MediaPromptSettings& settings, const Volumes& volumes, Prompter& prompter)
{
    PromptForFile(firstVolume, firstPath, settings, volumes, prompter);
    // Both files at hand: compared byte for byte, stopping at the first difference.
    if (!filePromptDue(secondVolume, secondPath, settings, volumes))
        return fileContentsEqual(firstPath, secondPath);
    // The second file's medium is not loaded, and loading it may take out the first's (two disks
    // used in turn in one drive): the first file is read before the second is asked for. Its
    // length and SHA-256 stand for it, so memory stays bounded whatever its size.
    const std::optional<FileDigest> first = digestOf(firstPath);
    PromptForFile(secondVolume, secondPath, settings, volumes, prompter);
    if (!first || QFileInfo(secondPath).size() != first->length)
        return false;
    return digestOf(secondPath) == first;
}
