#include "dialogs/MoveFileEngine.h"

#include "imagestats/ThumbnailCompanion.h"
#include "platform/Conventions.h"
#include "platform/FileMove.h"
#include "platform/Prompter.h"
#include "platform/SafeRename.h"
#include "session/DirectoryEntry.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <memory>
#include <sys/stat.h>

namespace {

constexpr int ExtensionLength = 4; // ".JPG": every catalogued type has three letters

const QString CopyError = QStringLiteral("File Copy Error");
const QString MakingTemp = QStringLiteral("Error making temp file...");
const QString Copying = QStringLiteral("Error copying file...");

QString withSlash(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// The same directory under two entry texts (another label, a path through a symbolic link).
bool sameDirectory(const QString& a, const QString& b)
{
    struct stat first;
    struct stat second;
    return ::stat(native(a).constData(), &first) == 0 && ::stat(native(b).constData(), &second) == 0
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace

MoveFileEngine::MoveFileEngine(Prompter& prompter, const Volumes& volumes, int maxClashNumber)
    : m_prompter(prompter)
    , m_volumes(volumes)
    , m_maxClashNumber(maxClashNumber)
{
}

bool MoveFileEngine::rememberDestination(const QString& entry)
{
    if (m_destinations.contains(entry))
        return false;
    m_destinations.append(entry);
    return true;
}

std::optional<DestinationNames> MoveFileEngine::freeNames(
    const QString& directoryPath, const QString& fileName, const QString& companionExt, int maxNumber)
{
    const QString base = fileName.left(qMax(0, fileName.size() - ExtensionLength));
    const QString extension = fileName.right(ExtensionLength);
    const QByteArray directory = native(directoryPath);
    // A companion is found without regard to letter case, so its name is free only when no
    // name in the directory equals it that way.
    QSet<QString> folded;
    for (const QString& entry :
        QDir(directoryPath).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        folded.insert(entry.toCaseFolded());
    bool unknown = false;
    auto taken = [&](const QString& name) {
        const EntryProbe probe = probeEntry(directory + native(name));
        unknown = unknown || probe == EntryProbe::Unknown;
        return probe != EntryProbe::Missing;
    };
    auto free = [&](const DestinationNames& names) {
        if (taken(names.image))
            return false;
        return names.companion.isEmpty()
            || (!taken(names.companion) && !folded.contains(names.companion.toCaseFolded()));
    };
    DestinationNames names { fileName, companionExt.isEmpty() ? QString() : base + companionExt };
    if (free(names))
        return names;
    for (int k = 0; k <= maxNumber && !unknown; ++k) {
        const QString numbered = base + QString::number(k);
        names = DestinationNames { numbered + extension, companionExt.isEmpty() ? QString() : numbered + companionExt };
        if (free(names))
            return names;
    }
    // Nothing is free, or the directory cannot be searched.
    return std::nullopt;
}

QPoint MoveFileEngine::placement(const QRect& ownerFrame, const QSize& dialogFrame)
{
    const int inset = conv::twipsToPixels(100);
    return QPoint(ownerFrame.left() + inset, ownerFrame.top() + ownerFrame.height() - dialogFrame.height() - inset);
}

void MoveFileEngine::stop(const QString& text)
{
    m_prompter.ask(Message { text, CopyError, MsgButtons::Ok, MsgIcon::Critical, 1 });
}

MoveOutcome MoveFileEngine::moveFile(
    const QString& fileName, const QString& from, const QString& to, const MoveSettings& settings)
{
    const DirectoryEntry source = DirectoryEntry::split(from);
    const DirectoryEntry destination = DirectoryEntry::split(to);
    const QString sv = source.volume.trimmed();
    const QString sp = withSlash(source.path);
    const QString dv = destination.volume.trimmed();
    const QString dp = withSlash(destination.path);

    if (to == from || sameDirectory(sp, dp)) {
        m_prompter.ask(Message { QStringLiteral("DESTINATION directory cannot equal SOURCE directory... "),
            QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Exclamation, 1 });
        return { MoveOutcome::SameDirectory, {} };
    }
    if (!settings.noConfirm) {
        const QString question = QStringLiteral("Move file - ") + fileName + QStringLiteral("\r\rFrom - ") + sv
            + QLatin1Char(' ') + sp + QStringLiteral("\r\rTo - ") + dv + QLatin1Char(' ') + dp;
        const MsgAnswer answer = m_prompter.ask(
            Message { question, QStringLiteral("Confirm file move"), MsgButtons::YesNo, MsgIcon::Question, 1 });
        if (answer != MsgAnswer::Yes)
            return { MoveOutcome::Declined, {} };
    }

    PromptForDirectory(sv, sp, settings.media, m_volumes, m_prompter);
    if (probeEntry(native(sp + fileName)) != EntryProbe::Present) {
        stop(MakingTemp);
        return { MoveOutcome::Failed, {} };
    }
    // The companion as it stands on disk; at the destination it keeps its extension's case.
    const QString base = fileName.left(qMax(0, fileName.size() - ExtensionLength));
    const QString sourceCompanion = companionName(sp, fileName, base, companionExtension(settings.thumbnailExt));
    const bool hasCompanion
        = !sourceCompanion.isEmpty() && probeEntry(native(sp + sourceCompanion)) == EntryProbe::Present;
    const QString companionExt = sourceCompanion.mid(base.size());

    PromptForDirectory(dv, dp, settings.media, m_volumes, m_prompter);
    const std::optional<DestinationNames> names = freeNames(dp, fileName, companionExt, m_maxClashNumber);
    if (!names) {
        stop(Copying);
        return { MoveOutcome::Failed, {} };
    }
    PromptForDirectory(dv, dp, settings.media, m_volumes, m_prompter);

    FileMove image(sp + fileName, dp + names->image);
    FileOpResult placed = image.place();
    if (!placed.ok()) {
        stop(placed.side == FileOpResult::Source ? MakingTemp : Copying);
        return { MoveOutcome::Failed, {} };
    }
    std::unique_ptr<FileMove> companion;
    if (hasCompanion) {
        companion = std::make_unique<FileMove>(sp + sourceCompanion, dp + names->companion);
        placed = companion->place();
        if (!placed.ok()) {
            // Undone, so the file does not stand in two places; a renamed file that cannot go
            // back has moved, and the caller must follow it.
            const bool undone = image.rollBack();
            stop(placed.side == FileOpResult::Source ? MakingTemp : Copying);
            if (undone || image.copied())
                return { MoveOutcome::Failed, {} };
            return { MoveOutcome::Moved, names->image };
        }
    }

    PromptForDirectory(sv, sp, settings.media, m_volumes, m_prompter);
    if (!image.finish().ok())
        stop(QStringLiteral("Error deleting original file (Copy to destination OK)..."));
    if (companion && !companion->finish().ok())
        stop(QStringLiteral("Error deleting original thumbnail (Copy to destination OK)..."));
    return { MoveOutcome::Moved, names->image };
}
