#include "main/DirectoryAdder.h"

#include "platform/DirectoryAccess.h"
#include "platform/Prompter.h"
#include "platform/TextLines.h"
#include "platform/Volumes.h"
#include "platform/Yielder.h"
#include "session/DirectoryEntry.h"
#include "session/Session.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <dirent.h>
#include <sys/stat.h>
#include <utility>

namespace {

// The labels met during one walk. Reading the mount table for every directory of a large tree is
// slow; below the top only a mount point inside the tree can change the volume.
class WalkLabels
{
public:
    WalkLabels(const QString& top, const Volumes& volumes)
        : m_top(QDir::cleanPath(QFileInfo(top).absoluteFilePath()))
        , m_topLabel(volumes.volumeFor(m_top).label)
    {
        m_canonicalTop = QFileInfo(m_top).canonicalFilePath();
        if (m_canonicalTop.isEmpty())
            m_canonicalTop = m_top;
        for (const VolumeInfo& volume : volumes.mounted()) {
            if (volume.mountPoint != m_canonicalTop && pathLiesUnder(volume.mountPoint, m_canonicalTop))
                m_inner.append(volume);
        }
    }

    QString labelFor(const QString& path) const
    {
        if (m_inner.isEmpty())
            return m_topLabel;
        // No symlink is followed below the top, so the canonical path is the top's plus the rest.
        const QString canonical = m_canonicalTop + QDir::cleanPath(path).mid(m_top.size());
        const VolumeInfo* best = nullptr;
        for (const VolumeInfo& volume : m_inner) {
            if (pathLiesUnder(canonical, volume.mountPoint)
                && (!best || volume.mountPoint.size() >= best->mountPoint.size()))
                best = &volume;
        }
        return best ? best->label : m_topLabel;
    }

private:
    QString m_top;
    QString m_topLabel;
    QString m_canonicalTop;
    QList<VolumeInfo> m_inner;
};

} // namespace

DirectoryAdder::DirectoryAdder(MainSettings& settings, const Volumes& volumes, Prompter* prompter)
    : m_settings(settings)
    , m_volumes(volumes)
    , m_prompter(prompter)
{
}

QString DirectoryAdder::lineBreakRefusal(const QStringList& paths)
{
    return textlines::lineBreakRefusal(lineBreakReason(paths.size()), paths);
}

QString DirectoryAdder::lineBreakReason(qsizetype count)
{
    return count == 1
        ? QStringLiteral("This directory was not added: its name holds a line break, and a directory list keeps "
                         "one directory to a line...")
        : QStringLiteral("These directories were not added: their names hold a line break, and a directory list "
                         "keeps one directory to a line...");
}

void DirectoryAdder::tellRefused(const QStringList& paths) const
{
    if (m_prompter && !paths.isEmpty())
        m_prompter->tell(lineBreakRefusal(paths), QStringLiteral("t'olq! - Add directories"), MsgIcon::Exclamation);
}

bool DirectoryAdder::listable(const QString& path) const
{
    if (!textlines::holdsLineBreak(path))
        return true;
    tellRefused({ path });
    return false;
}

QString DirectoryAdder::entryFor(const QString& path) const
{
    return DirectoryEntry::forPath(path, m_volumes);
}

bool DirectoryAdder::addEntry(MainSettings& settings, const QString& entry)
{
    if (!settings.directories.isEmpty() && (settings.directories.contains(entry) || entry == settings.ifcd))
        return false;
    settings.directories.append(entry);
    return true;
}

bool DirectoryAdder::add(const QString& entry)
{
    if (!addEntry(m_settings, entry))
        return false;
    changed();
    return true;
}

void DirectoryAdder::changed() const
{
    if (m_changed)
        m_changed();
}

bool DirectoryAdder::addDirectory(const QString& path)
{
    return listable(path) && add(entryFor(path));
}

int DirectoryAdder::addTree(const QString& top, Yielder& yielder, const Progress& progress)
{
    if (!listable(top))
        return 0;
    const WalkLabels labels(top, m_volumes);
    const QString topPath = QDir::cleanPath(QFileInfo(top).absoluteFilePath());
    QSet<std::pair<dev_t, ino_t>> visited;
    QStringList pending { topPath };
    QStringList refused;
    int added = 0;
    // An explicit stack: a deep tree cannot overflow the call stack.
    while (!pending.isEmpty()) {
        const QString path = pending.takeLast();
        struct stat status
        {
        };
        const bool isDirectory = ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
        if (isDirectory) {
            if (visited.contains({ status.st_dev, status.st_ino }))
                continue;
            visited.insert({ status.st_dev, status.st_ino });
        }
        // The top is the user's own choice and is added as Add Directory would add it; below it,
        // what cannot be opened is skipped.
        if (path != topPath && (!isDirectory || !canOpen(path)))
            continue;
        if (textlines::holdsLineBreak(path)) {
            refused << path;
            continue;
        }
        if (progress)
            progress(path);
        if (add(DirectoryEntry::of(path, labels.labelFor(path)).text()))
            ++added;
        yielder.yield();
        // The listing is taken before descending; the first child is visited next.
        const QStringList children = subdirectories(path);
        for (auto it = children.crbegin(); it != children.crend(); ++it)
            pending.append(*it);
    }
    tellRefused(refused);
    return added;
}

void DirectoryAdder::setIfcd(const QString& path)
{
    if (!listable(path))
        return;
    addDirectory(path);
    m_settings.ifcd = entryFor(path);
    m_settings.treeModeIfcd = false;
    changed();
}

void DirectoryAdder::setIfcdTree(const QString& top, Yielder& yielder, const Progress& progress)
{
    if (!listable(top))
        return;
    addTree(top, yielder, progress);
    m_settings.ifcd = entryFor(top);
    m_settings.treeModeIfcd = true;
    changed();
}

QStringList DirectoryAdder::subdirectories(const QString& path)
{
    const QDir dir(path);
    QStringList result;
    const QFileInfoList infos
        = dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& info : infos)
        result << info.absoluteFilePath();
    return result;
}

bool DirectoryAdder::canOpen(const QString& path)
{
    return canOpenDirectory(path);
}

QString DirectoryAdder::startDirectory(const QString& lastDirUsed, const Volumes& volumes)
{
    if (!lastDirUsed.isEmpty()) {
        const DriveKind kind = volumes.volumeFor(lastDirUsed).kind;
        if ((kind == DriveKind::Fixed || kind == DriveKind::Remote) && canOpen(lastDirUsed))
            return lastDirUsed;
    }
    const QString home = defaultStartDirectory();
    return canOpen(home) ? home : QStringLiteral("/");
}
