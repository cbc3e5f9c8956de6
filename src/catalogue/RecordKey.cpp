#include "catalogue/RecordKey.h"

#include "platform/Conventions.h"

#include <QFile>

#include <sys/stat.h>

#include <ctime>

namespace {

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
