#include "imagestats/MediaPrompts.h"

#include "platform/Prompter.h"
#include "platform/Volumes.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace {

const QString directoryTitle = QStringLiteral("t'olq! - Cannot find DIRECTORY...");
const QString directoryText = QStringLiteral(
    "If you are using removable media (MO, Zip disk, etc.), please load the disk that contains this directory.  "
    "Otherwise, click CANCEL (deleted directories from previous sessions will cause this prompting as well).");
const QString fileTitle = QStringLiteral("t'olq! - Cannot find FILE...");
const QString fileText = QStringLiteral(
    "If you are using removable media (MO, Zip disk, etc.), please load the disk that contains this file.  "
    "Otherwise, click CANCEL...");

bool sameLabel(const VolumeInfo& volume, const QString& volumeText)
{
    return volume.kind != DriveKind::NoRoot && volumeTag(volume).compare(volumeText, Qt::CaseInsensitive) == 0;
}

QString withoutTrailingSlash(QString mountPoint)
{
    if (mountPoint.size() > 1 && mountPoint.endsWith(QLatin1Char('/')))
        mountPoint.chop(1);
    return mountPoint;
}

// The drive of a missing path that lies below a mount point the system knows of but has not
// mounted now (one of its table, a remembered one, a place of removable media): its medium is
// not loaded, so the file system of the path's nearest existing ancestor is not its drive.
std::optional<VolumeInfo> absentDrive(
    const QString& path, const VolumeInfo& ancestorDrive, const MediaPromptSettings& settings, const Volumes& volumes)
{
    const qsizetype mountedLength = withoutTrailingSlash(ancestorDrive.mountPoint).size();
    const auto below = [&](const QString& mountPoint) {
        return withoutTrailingSlash(mountPoint).size() > mountedLength && pathLiesUnder(path, mountPoint);
    };
    VolumeInfo absent;
    absent.kind = DriveKind::NoRoot;
    for (const VolumeInfo& listed : volumes.listed()) {
        if (below(listed.mountPoint)) {
            // A network share that is not mounted is not asked for, as a mounted one is not.
            if (listed.kind == DriveKind::Remote)
                return listed;
            return absent;
        }
    }
    const QStringList remembered = settings.ReactivateDrives.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    if (std::any_of(remembered.begin(), remembered.end(), below))
        return absent;
    if (inRemovableMediaArea(path) && !inRemovableMediaArea(ancestorDrive.mountPoint))
        return absent;
    return std::nullopt;
}

// The drive of a path. A path that is missing is judged by the file system of its nearest
// existing ancestor, but only when that one carries the entry's label (a deleted directory on
// a mounted disk) and no known mount point lies between them; otherwise the medium is absent
// and the drive has no root.
VolumeInfo driveOf(
    const QString& path, const QString& volumeText, const MediaPromptSettings& settings, const Volumes& volumes)
{
    VolumeInfo volume = volumes.volumeFor(path);
    if (volume.kind != DriveKind::NoRoot)
        return volume;
    QString ancestor = QDir::cleanPath(path);
    while (ancestor.size() > 1) {
        const int slash = ancestor.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            break;
        ancestor = slash == 0 ? QStringLiteral("/") : ancestor.left(slash);
        const VolumeInfo above = volumes.volumeFor(ancestor);
        if (above.kind != DriveKind::NoRoot) {
            if (sameLabel(above, volumeText))
                return absentDrive(path, above, settings, volumes).value_or(above);
            break;
        }
    }
    VolumeInfo none;
    none.kind = DriveKind::NoRoot;
    return none;
}

bool isHiddenName(const QString& name)
{
    return name.startsWith(QLatin1Char('.'));
}

bool directoryExists(const QString& path)
{
    return QFileInfo(path).isDir();
}

bool normalFileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && !isHiddenName(info.fileName());
}

bool holdsAnyFile(const QString& directory)
{
    return !QDir(directory).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty();
}

bool neverAsked(const VolumeInfo& volume)
{
    return volume.kind == DriveKind::Fixed || volume.kind == DriveKind::Remote;
}

MsgAnswer ask(
    Prompter& prompter, const QString& title, const QString& volumeText, const QString& path, const QString& tail)
{
    return prompter.ask(Message { volumeText + QLatin1Char(' ') + path + QStringLiteral("\r\r") + tail, title,
        MsgButtons::OkCancel, MsgIcon::None, 1 });
}

} // namespace

bool liesInReactivatedDrive(const QString& path, const QString& reactivateDrives)
{
    const QStringList mountPoints = reactivateDrives.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    for (const QString& mountPoint : mountPoints) {
        if (pathLiesUnder(path, mountPoint))
            return true;
    }
    return false;
}

bool directoryPromptDue(const QString& volumeText, const QString& directoryPath, const MediaPromptSettings& settings,
    const Volumes& volumes)
{
    if (settings.DisableFilePolling)
        return false;
    if (directoryExists(directoryPath) && sameLabel(driveOf(directoryPath, volumeText, settings, volumes), volumeText))
        return false;
    if (neverAsked(driveOf(directoryPath, volumeText, settings, volumes)))
        return false;
    if (directoryExists(directoryPath) && holdsAnyFile(directoryPath)
        && sameLabel(driveOf(directoryPath, volumeText, settings, volumes), volumeText))
        return false;
    return !liesInReactivatedDrive(directoryPath, settings.ReactivateDrives);
}

void PromptForDirectory(const QString& volumeText, const QString& directoryPath, const MediaPromptSettings& settings,
    const Volumes& volumes, Prompter& prompter)
{
    while (directoryPromptDue(volumeText, directoryPath, settings, volumes)) {
        if (ask(prompter, directoryTitle, volumeText, directoryPath, directoryText) != MsgAnswer::Ok)
            return;
    }
}

bool filePromptDue(
    const QString& volumeText, const QString& filePath, const MediaPromptSettings& settings, const Volumes& volumes)
{
    if (settings.DisableFilePolling)
        return false;
    if (normalFileExists(filePath) && sameLabel(driveOf(filePath, volumeText, settings, volumes), volumeText))
        return false;
    return !neverAsked(driveOf(filePath, volumeText, settings, volumes));
}

void PromptForFile(const QString& volumeText, const QString& filePath, const MediaPromptSettings& settings,
    const Volumes& volumes, Prompter& prompter)
{
    while (filePromptDue(volumeText, filePath, settings, volumes)) {
        if (ask(prompter, fileTitle, volumeText, filePath, fileText) != MsgAnswer::Ok)
            return;
    }
}
