#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// A file's record key (STAG): what the catalogue writer files a row under and what a move or
// rename in review computes again.

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

// A file's modification time as the catalogue keeps it: local time, whole seconds.
QDateTime fileDateTime(qint64 secondsSinceEpoch);
