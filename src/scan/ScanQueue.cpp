#include "scan/ScanQueue.h"

ScanQueue::ScanQueue(
    QStringList directories, QStringList fileTypes, int firstEntry, Accepts accepts, UsableAhead usableAhead)
    : m_directories(std::move(directories))
    , m_fileTypes(std::move(fileTypes))
    , m_accepts(std::move(accepts))
    , m_usableAhead(std::move(usableAhead))
    , m_entry(qMax(0, firstEntry))
{
}

std::shared_ptr<ScanQueue::Listing> ScanQueue::read(int entry) const
{
    auto listing = std::make_shared<Listing>();
    const QString& path = m_directories.at(entry);
    std::optional<QStringList> names = listRegularFiles(path, &listing->undecodable);
    listing->readable = names.has_value();
    if (names) {
        listing->names = std::move(*names);
        listing->directory = std::make_shared<const DirectoryHandle>(path);
    }
    return listing;
}

void ScanQueue::enter(int entry)
{
    m_entered = entry;
    if (m_waitingAt == entry)
        m_waitingAt = -1;
    m_listings.erase(m_listings.begin(), m_listings.lower_bound(entry));
    // Files of the entries before are all handed out, or no longer wanted.
    if (m_entry < entry) {
        m_entry = entry;
        m_typePos = 0;
        m_typeNames.reset();
    }
}

const ScanQueue::Listing& ScanQueue::entered()
{
    std::shared_ptr<Listing>& listing = m_listings[m_entered];
    if (!listing)
        listing = read(m_entered);
    return *listing;
}

// The names of the entry just passed are no longer needed, nor its open directory: the files
// handed out keep their own.
void ScanQueue::leaveEntry()
{
    const auto found = m_listings.find(m_entry);
    if (found != m_listings.end()) {
        found->second->names.clear();
        found->second->directory.reset();
    }
    ++m_entry;
    m_typePos = 0;
    m_typeNames.reset();
}

std::optional<ScanQueue::File> ScanQueue::next(int lastEntry)
{
    while (m_entry < m_directories.size()) {
        if (m_entry > lastEntry || m_entry == m_waitingAt)
            return std::nullopt;
        std::shared_ptr<Listing>& listing = m_listings[m_entry];
        if (!listing) {
            listing = read(m_entry);
            if (m_entry > m_entered && !m_usableAhead(m_entry, *listing)) {
                m_listings.erase(m_entry);
                m_waitingAt = m_entry;
                return std::nullopt;
            }
        }
        if (!listing->readable || m_typePos >= m_fileTypes.size()) {
            leaveEntry();
            continue;
        }
        const QString& fileType = m_fileTypes.at(m_typePos);
        if (!m_typeNames) {
            m_typeNames = filesOfType(listing->names, fileType);
            m_nameIndex = 0;
        }
        while (m_nameIndex < m_typeNames->size()) {
            const QString& name = m_typeNames->at(m_nameIndex++);
            if (m_accepts(name, fileType))
                return File { m_entry, fileType, name, listing->directory };
        }
        ++m_typePos;
        m_typeNames.reset();
    }
    return std::nullopt;
}
