#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <optional>

// The three values the catalogue writer derives for a file: its record key (STAG), its checksum
// text (CHECKSUM) and the session stamp (ACCESSED).

// The key from facts already read: upper case of name, length with its sign position, " " and
// the date text; with identifyByLocation the first five characters of the volume and the last
// 200 of path, name, length and date.
QString recordKeyText(const QString& volumeText, const QString& directoryPath, const QString& fileName, qint64 length,
    const QDateTime& modified, bool identifyByLocation);
// The same with the modification time as the file system gives it.
QString recordKeyText(const QString& volumeText, const QString& directoryPath, const QString& fileName, qint64 length,
    qint64 modifiedSeconds, bool identifyByLocation);

// The key of a file on disk (directoryPath ends in "/"). Empty, with *exists false, when the
// file cannot be queried.
QString MakeRecordKey(const QString& volumeText, const QString& directoryPath, const QString& fileName,
    bool identifyByLocation, bool* exists = nullptr);

// The checksum text from the file's first 402 bytes: type, " ", length, " ", then the last decimal
// digit of each of the signed 16-bit words 1 to 200 (zero beyond the end). nullopt when the file
// cannot be read: zeros would look like a checksum and never be measured again.
std::optional<QString> checksumText(const QString& fileType, qint64 length, const QString& filePath);
// The same for a file in a directory; the blank " " of a checksum not gathered when unreadable.
QString MakeChecksum(const QString& fileType, const QString& directoryPath, const QString& fileName);

// Year and month as YYYYMM.
QString SessionStamp(const QDate& today = QDate::currentDate());
// The month three months before today's, as YYYYMM: rows accessed before it are purged.
QString PurgeCutoff(const QDate& today = QDate::currentDate());

// A file's modification time as the catalogue keeps it: local time, whole seconds.
QDateTime fileDateTime(qint64 secondsSinceEpoch);
