#include "review/FileActions.h"

#include "catalogue/CatalogueDatabase.h"
#include "imagestats/MediaPrompts.h"
#include "imagestats/RecoveredSpace.h"
#include "imagestats/RecycleFiles.h"
#include "imagestats/ThumbnailCompanion.h"
#include "match/ImageFacts.h"
#include "platform/Prompter.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

namespace {

void countOne(qint32& counter)
{
    if (counter < std::numeric_limits<qint32>::max())
        ++counter;
}

// The file name less its extension: the catalogued type when the name ends in it, else
// whatever follows the last dot.
QString nameWithoutExtension(const ImageFacts& slot)
{
    const QString name = slot.diskName();
    const QString extension = slot.EXTENSION.trimmed();
    if (!extension.isEmpty() && name.endsWith(extension, Qt::CaseInsensitive))
        return name.chopped(extension.size());
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

} // namespace

FileActions::FileActions(const MainSettings& settings, Session& session, CatalogueDatabase& database,
    Prompter& prompter, const Volumes& volumes)
    : m_settings(settings)
    , m_session(session)
    , m_database(database)
    , m_prompter(prompter)
    , m_volumes(volumes)
{
}

bool FileActions::presentOnDisk(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString FileActions::companionPath(const ImageFacts& slot, const QString& thumbnailExt)
{
    const QString extension = companionExtension(thumbnailExt);
    if (extension.isEmpty())
        return {};
    return slot.PATH + companionName(slot.PATH, slot.diskName(), nameWithoutExtension(slot), extension);
}

bool FileActions::removeFile(const QString& path)
{
    // A file already gone was not deleted now: no trash call can prove otherwise.
    if (!presentOnDisk(path))
        return false;
    const std::optional<RecoveredSpace> space = recoverableSpace(path, m_volumes, true);
    if (m_settings.recycle)
        RecycleFiles({ path });
    else
        QFile::remove(path);
    if (presentOnDisk(path))
        return false;
    if (space) {
        m_session.RecoveredBytes += double(space->bytes);
        m_session.RecoveredSectorBytes += double(space->sectorBytes);
    }
    return true;
}

bool FileActions::writeRow(const ImageFacts& slot,
    std::initializer_list<std::pair<CatalogueFields::Field, QVariant>> fields, const QString& file)
{
    QString sql = QStringLiteral("UPDATE FILES SET ");
    QVariantList params;
    for (const auto& [field, value] : fields) {
        if (!params.isEmpty())
            sql += QStringLiteral(", ");
        sql += QLatin1String(CatalogueFields::name(field)) + QStringLiteral(" = ?");
        params << value;
    }
    sql += QStringLiteral(" WHERE rowid = ?");
    params << qint64(slot.rowId);
    bool written = false;
    QString reason;
    try {
        written = slot.rowId != 0 && m_database.execute(sql, params) == 1;
    } catch (const std::exception& error) {
        reason = QStringLiteral("\r\r") + QString::fromUtf8(error.what());
    }
    if (!written) {
        m_prompter.ask(Message {
            rowNotUpdatedText(file) + reason, QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Exclamation, 1 });
    }
    return written;
}

FileActionOutcome FileActions::deleteFile(ImageFacts& slot)
{
    FileActionOutcome outcome;
    const QString file = slot.filePath();
    PromptForFile(slot.DRIVEVOLUME, file,
        MediaPromptSettings { m_session.DisableFilePolling, m_session.ReactivateDrives }, m_volumes, m_prompter);
    if (!m_settings.noConfirm
        && m_prompter.ask(Message {
               confirmDeleteText(file), QStringLiteral("Confirm Deletion"), MsgButtons::YesNo, MsgIcon::Question, 2 })
            != MsgAnswer::Yes)
        return outcome;
    if (!removeFile(file)) {
        m_prompter.ask(
            Message { deleteFailedText(file), QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical, 1 });
        outcome.result = FileActionOutcome::Result::Failed;
        return outcome;
    }
    outcome.result = FileActionOutcome::Result::Done;
    countOne(m_session.NumberDeleted);
    countOne(m_session.TotalDeleted);
    slot.RTAG = QStringLiteral("D");
    outcome.rowUpdated = writeRow(slot, { { CatalogueFields::RTAG, QStringLiteral("D") } }, file);

    const QString companion = companionPath(slot, m_settings.thumbnailExt);
    if (!companion.isEmpty() && presentOnDisk(companion) && !removeFile(companion)) {
        m_prompter.ask(
            Message { deleteFailedText(companion), QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical, 1 });
    }
    return outcome;
}
