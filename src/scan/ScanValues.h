#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

#include <optional>

// The values the catalogue writer derives for a file beside its record key (catalogue/RecordKey.h):
// its checksum text (CHECKSUM) and the session stamp (ACCESSED).

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
