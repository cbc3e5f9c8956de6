#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The names of a directory's regular files that are not dot-files, sorted; nullopt when the
// directory cannot be read. Names whose bytes are not valid in the locale's encoding (UTF-8) would
// not open again under their decoded text: they go to undecodable instead, as decoded.
std::optional<QStringList> listRegularFiles(const QString& directoryPath, QStringList* undecodable = nullptr);
// Those of one type, the extension compared without regard to case.
QStringList filesOfType(const QStringList& names, const QString& fileType);

// Length and modification time of a file, without following a link; nullopt when it is gone.
struct FileFacts
{
    qint64 length = 0;
    qint64 modifiedSeconds = 0;
};
std::optional<FileFacts> fileFacts(const QString& filePath);

// An open directory, so that its files are queried by name without walking the whole path
// again; paths that cannot be opened fall back to whole paths.
class DirectoryHandle
{
public:
    DirectoryHandle() = default;
    explicit DirectoryHandle(const QString& directoryPath);
    ~DirectoryHandle();
    DirectoryHandle(const DirectoryHandle&) = delete;
    DirectoryHandle& operator=(const DirectoryHandle&) = delete;

    std::optional<FileFacts> factsOf(const QString& fileName) const;

private:
    QString m_path;
    int m_fd = -1;
};
