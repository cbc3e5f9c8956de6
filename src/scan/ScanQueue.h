#pragma once

#include "scan/DirectoryListing.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// The files of the scan pass in the order the loop takes them: list entry by list entry, type by
// type, name by name. Directories are read ahead of the loop, so that files of later entries and
// types can be measured while earlier ones are written and no measuring thread waits at a
// directory or type boundary. An entry whose opening steps may change what its directory holds
// (a media prompt that is still to come, .jpeg files still to be renamed, a directory that could
// not be read) is not read ahead: the queue waits there until the loop has entered it.
class ScanQueue
{
public:
    // What reading an entry's directory found.
    struct Listing
    {
        bool readable = false;
        QStringList names; // regular files, sorted; dropped once the queue has moved past the entry
        QStringList undecodable; // names that cannot be opened again from their text
        std::shared_ptr<const DirectoryHandle> directory;
    };

    struct File
    {
        int entry = 0;
        QString fileType; // ".JPG"
        QString name;
        std::shared_ptr<const DirectoryHandle> directory;
    };

    // Whether the scan takes a name of a type (the filter).
    using Accepts = std::function<bool(const QString& name, const QString& fileType)>;
    // Whether an entry read before the loop has entered it can be used as it was read.
    using UsableAhead = std::function<bool(int entry, const Listing& listing)>;

    // directories: the entries' paths, ending in "/"; fileTypes: the ticked types in scan order.
    ScanQueue(QStringList directories, QStringList fileTypes, int firstEntry, Accepts accepts, UsableAhead usableAhead);

    // The loop has done the opening steps of an entry: it is read now, unless it was read ahead.
    void enter(int entry);
    // The listing of the entry the loop has entered.
    const Listing& entered();
    // The next file after those already handed out; nullopt at the end of the list, when the
    // next file lies in an entry that cannot be read ahead of the loop, or beyond lastEntry.
    std::optional<File> next(int lastEntry = std::numeric_limits<int>::max());

private:
    std::shared_ptr<Listing> read(int entry) const;
    void leaveEntry();

    QStringList m_directories;
    QStringList m_fileTypes;
    Accepts m_accepts;
    UsableAhead m_usableAhead;
    int m_entered = -1;
    int m_waitingAt = -1; // an entry that may not be read before the loop enters it
    // Where the next file is looked for.
    int m_entry = 0;
    qsizetype m_typePos = 0;
    std::optional<QStringList> m_typeNames;
    qsizetype m_nameIndex = 0;
    // The listings from the entry entered up to the one the queue is in.
    std::map<int, std::shared_ptr<Listing>> m_listings;
};
