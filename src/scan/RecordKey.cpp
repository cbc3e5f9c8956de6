#include "scan/RecordKey.h"

#include "imagestats/CurrentDate.h"
#include "imagestats/FileCompare.h"
#include "platform/Conventions.h"

#include <QFile>

#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

constexpr int ChecksumWords = 201;
constexpr int LocationTail = 200;
constexpr int LocationVolumeChars = 5;

QString keyFromDateText(const QString& volumeText, const QString& directoryPath, const QString& fileName, qint64 length,
    const QString& dateText, bool identifyByLocation)
{
    const QString tail = fileName + conv::signedText(length) + QLatin1Char(' ') + dateText;
    if (!identifyByLocation)
        return conv::upper(tail);
    return conv::upper(volumeText.left(LocationVolumeChars) + (directoryPath + tail).right(LocationTail));
}

// The local time of a file's modification, its offset read from the C library directly: Qt would
// check the time zone file again for every conversion, and a scan keys every file it meets.
QDateTime fileLocalTime(qint64 secondsSinceEpoch)
{
    const time_t seconds = time_t(secondsSinceEpoch);
    tm local {};
    if (qint64(seconds) != secondsSinceEpoch || !localtime_r(&seconds, &local))
        return fileDateTime(secondsSinceEpoch);
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::OffsetFromUTC, int(local.tm_gmtoff));
}

} // namespace

QString recordKeyText(const QString& volumeText, const QString& directoryPath, const QString& fileName, qint64 length,
    const QDateTime& modified, bool identifyByLocation)
{
    return keyFromDateText(
        volumeText, directoryPath, fileName, length, conv::dateKeyText(modified), identifyByLocation);
}

QString recordKeyText(const QString& volumeText, const QString& directoryPath, const QString& fileName, qint64 length,
    qint64 modifiedSeconds, bool identifyByLocation)
{
    return keyFromDateText(volumeText, directoryPath, fileName, length,
        conv::dateKeyText(fileLocalTime(modifiedSeconds)), identifyByLocation);
}

QDateTime fileDateTime(qint64 secondsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime);
}

QString MakeRecordKey(const QString& volumeText, const QString& directoryPath, const QString& fileName,
    bool identifyByLocation, bool* exists)
{
    struct stat info;
    const QByteArray path = QFile::encodeName(directoryPath + fileName);
    const bool found = ::stat(path.constData(), &info) == 0;
    if (exists)
        *exists = found;
    if (!found)
        return {};
    return recordKeyText(
        volumeText, directoryPath, fileName, qint64(info.st_size), qint64(info.st_mtime), identifyByLocation);
}

std::optional<QString> checksumText(const QString& fileType, qint64 length, const QString& filePath)
{
    std::vector<std::int16_t> words(ChecksumWords, 0);
    if (!ReadFileIntoArray(filePath, words))
        return std::nullopt;
    QString text = fileType + QLatin1Char(' ') + QString::number(length) + QLatin1Char(' ');
    text.reserve(text.size() + ChecksumWords - 1);
    for (int i = 1; i < ChecksumWords; ++i)
        text += QLatin1Char(char('0' + std::abs(int(words[i])) % 10));
    return text;
}

QString MakeChecksum(const QString& fileType, const QString& directoryPath, const QString& fileName)
{
    const QString path = directoryPath + fileName;
    struct stat info;
    const qint64 length = ::stat(QFile::encodeName(path).constData(), &info) == 0 ? qint64(info.st_size) : 0;
    return checksumText(fileType, length, path).value_or(QStringLiteral(" "));
}

QString SessionStamp(const QDate& today)
{
    return CurrentYear(today) + CurrentMonth(today);
}

QString PurgeCutoff(const QDate& today)
{
    const int m = today.month();
    const int y = today.year();
    if (m <= 3)
        return QString::number(y - 1) + conv::format00(m + 9);
    return QString::number(y) + conv::format00(m - 3);
}
