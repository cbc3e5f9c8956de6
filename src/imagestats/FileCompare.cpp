#include "imagestats/FileCompare.h"

#include "imagestats/MediaPrompts.h"

#include <QFile>
#include <cstring>
#include <memory>

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
    constexpr qint64 chunk = 1 << 20;
    std::unique_ptr<char[]> bufA(new char[chunk]);
    std::unique_ptr<char[]> bufB(new char[chunk]);
    qint64 remaining = a.size();
    while (remaining > 0) {
        const qint64 want = std::min(chunk, remaining);
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
    PromptForFile(secondVolume, secondPath, settings, volumes, prompter);
    return fileContentsEqual(firstPath, secondPath);
}
