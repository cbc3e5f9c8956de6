#pragma once

#include "session/MainSettings.h"

#include <QString>
#include <QStringList>
#include <functional>

class Prompter;
class Volumes;
class Yielder;

// The work of the add-directories dialog on the settings value: the adding rule, Add Directory,
// the tree walk of Add Tree, and the two ways of designating the IFCD. A directory whose name
// holds a line break cannot stand on a line of a list file: it is refused, and the user told
// through the prompter (when there is one) once per action.
class DirectoryAdder
{
public:
    // Told of every directory the walk is about to add, before it is added.
    using Progress = std::function<void(const QString& path)>;

    DirectoryAdder(MainSettings& settings, const Volumes& volumes, Prompter* prompter = nullptr);

    // Told after every change of the list or the IFCD, so it can be shown as it grows.
    void onChange(std::function<void()> changed) { m_changed = std::move(changed); }

    QString entryFor(const QString& path) const;

    // The adding rule: an empty list takes any entry; otherwise an entry already listed, or equal
    // to the IFCD, is refused without a message. True when the entry was added.
    static bool addEntry(MainSettings& settings, const QString& entry);
    // AddDirectoryEntry.
    bool addDirectory(const QString& path);
    // What the user is told of the directories an action refused because their names hold a line
    // break.
    static QString lineBreakRefusal(const QStringList& paths);
    // Its first line, for that many directories.
    static QString lineBreakReason(qsizetype count);
    // AddDirectoryTree: the directory and every directory below it, depth first in pre-order,
    // siblings in the order subdirectories() gives. Directory symlinks are not followed, a
    // directory below the top that cannot be opened is skipped with what lies below it, and each
    // directory is visited once even when bind mounts make the tree a loop, and a directory whose
    // name holds a line break is refused with what lies below it. One yield per directory.
    // Returns how many entries were added.
    int addTree(const QString& top, Yielder& yielder, const Progress& progress = {});
    // Set IFCD: the directory is added, then designated, not in tree mode.
    void setIfcd(const QString& path);
    // Set IFCD tree: the whole tree is added, then its top designated, in tree mode.
    void setIfcdTree(const QString& top, Yielder& yielder, const Progress& progress = {});

    // The immediate sub-directories of a directory as full paths, by name without regard to case;
    // hidden (dot) directories and symlinks are left out.
    static QStringList subdirectories(const QString& path);
    // True when the path is a directory this process can list.
    static bool canOpen(const QString& path);
    // Where the dialog opens: the remembered directory when it lies on a fixed or remote volume
    // and can be opened, else the home directory.
    static QString startDirectory(const QString& lastDirUsed, const Volumes& volumes);

private:
    // True when the path can be listed; otherwise the user is told and false comes back.
    bool listable(const QString& path) const;
    // The adding rule, and the change told when the entry was added.
    bool add(const QString& entry);
    void changed() const;
    void tellRefused(const QStringList& paths) const;

    MainSettings& m_settings;
    const Volumes& m_volumes;
    Prompter* m_prompter;
    std::function<void()> m_changed;
};
