#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The names of a directory's files of one type: regular files only (no directories, links,
// devices or other odd entries), no dot-files, the extension compared without regard to case
// (photo.jpg is a .JPG). Sorted, so that a run numbers its files the same way every time.
// nullopt when the directory cannot be read.
std::optional<QStringList> listFilesOfType(const QString& directoryPath, const QString& fileType);

// Length and modification time of a file, without following a link; nullopt when it is gone.
struct FileFacts
{
    qint64 length = 0;
    qint64 modifiedSeconds = 0;
};
std::optional<FileFacts> fileFacts(const QString& filePath);
