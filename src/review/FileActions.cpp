#include "review/FileActions.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueTransaction.h"
#include "catalogue/RecordKey.h"
#include "dialogs/MoveDialog.h"
#include "imagestats/MediaPrompts.h"
#include "imagestats/RecoveredSpace.h"
#include "imagestats/RecycleFiles.h"
#include "imagestats/ThumbnailCompanion.h"
#include "match/ImageFacts.h"
#include "match/RowFacts.h"
#include "platform/Conventions.h"
#include "platform/Prompter.h"
#include "platform/SafeRename.h"
#include "platform/TextLines.h"
#include "session/DirectoryEntry.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QFile>
#include <QFileInfo>

#include <limits>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

constexpr int ExtensionLength = 4; // ".JPG": every catalogued type has three letters

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

QString textAt(sqlite3_stmt* row, int column)
{
    return QString::fromUtf8(
        reinterpret_cast<const char*>(sqlite3_column_text(row, column)), sqlite3_column_bytes(row, column));
}

} // namespace

// The file acted on, as it stood before the action, and the other rows that reached it then:
// their row ids and their files.
struct SameFileRows
{
    struct Identity
    {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const Identity&) const = default;
    };
    struct Row
    {
        std::int64_t rowId = 0;
        QString path;
        // Reached through the same directory entry, by a link to its directory or another mount
        // of it: the path reaches nothing once the file is deleted. Else a hard link.
        bool sameEntry = false;
    };
    Identity file;
    QList<Row> rows;

    // The file a path reaches now (through links), if any.
    static std::optional<Identity> of(const QString& path)
    {
        struct stat status = {};
        if (::stat(QFile::encodeName(path).constData(), &status) != 0)
            return std::nullopt;
        return Identity { quint64(status.st_dev), quint64(status.st_ino) };
    }
};

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
    // A file already gone counts as deleted through the trash, with nothing to recover; an
    // outright delete of it fails.
    if (!presentOnDisk(path))
        return m_settings.recycle;
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

SameFileRows FileActions::sameFileRows(const ImageFacts& slot)
{
    SameFileRows same;
    const std::optional<SameFileRows::Identity> file = SameFileRows::of(slot.filePath());
    if (!file)
        return same;
    same.file = *file;
    const std::optional<SameFileRows::Identity> folder = SameFileRows::of(slot.PATH);
    // A row of the same file by another path carries its name on disk and its length: one pass
    // of the engine over the catalogue, and a look at the disk for those rows alone.
    const QString name = slot.diskName();
    try {
        CatalogueDatabase::Lease rows = m_database.prepare(QByteArrayLiteral(
            "SELECT rowid, PATH, DISKNAME, WHOLENAME FROM FILES WHERE (DISKNAME = ? COLLATE BINARY "
            "OR WHOLENAME = ? COLLATE BINARY) AND SIZE = ? AND rowid <> ? AND RTAG <> ? COLLATE BINARY"));
        rows.bindAll({ name, name, slot.SIZE.trimmed().toDouble(), qint64(slot.rowId), QStringLiteral("D") });
        while (rows.step()) {
            ImageFacts other;
            other.PATH = textAt(rows.handle(), 1);
            other.DISKNAME = textAt(rows.handle(), 2);
            other.WHOLENAME = textAt(rows.handle(), 3);
            if (other.diskName() == name && SameFileRows::of(other.filePath()) == file)
                same.rows.append({ sqlite3_column_int64(rows.handle(), 0), other.filePath(),
                    folder && SameFileRows::of(other.PATH) == folder });
        }
    } catch (const std::exception&) {
        // The row write that follows reports the catalogue's failure.
    }
    return same;
}

void FileActions::writeRow(const ImageFacts& slot,
    std::initializer_list<std::pair<CatalogueFields::Field, QVariant>> fields, const QString& file,
    const SameFileRows& others)
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
    // The file's other rows whose paths now reach nothing, or another file.
    QList<std::int64_t> leftBehind;
    for (const SameFileRows::Row& row : others.rows) {
        if (SameFileRows::of(row.path) != others.file)
            leftBehind << row.rowId;
    }
    bool written = false;
    QString reason;
    try {
        // Synced, as the tags before a delete are: the action on disk cannot be undone, and a
        // power cut after it must not bring back a live row for the old place.
        const CatalogueDatabase::SyncedCommits synced(m_database);
        CatalogueTransaction write(m_database);
        const bool found = slot.rowId != 0 && m_database.execute(sql, params) == 1;
        for (const std::int64_t rowId : leftBehind) {
            m_database.executeChanging(CatalogueFields::bit(CatalogueFields::RTAG),
                QStringLiteral("UPDATE FILES SET RTAG = ? WHERE rowid = ?"), { QStringLiteral("D"), qint64(rowId) });
        }
        write.commit();
        written = found;
    } catch (const std::exception& error) {
        reason = QStringLiteral("\r\r") + QString::fromUtf8(error.what());
    }
    if (!written)
        tellError(rowNotUpdatedText(file) + reason, MsgIcon::Exclamation);
}

std::optional<FileActions::RowTags> FileActions::setTags(const RowTags& tags, QString* reason)
{
    RowTags before;
    try {
        // Synced: a power cut after the file goes must not bring back a live row for it.
        const CatalogueDatabase::SyncedCommits synced(m_database);
        CatalogueTransaction write(m_database);
        for (const auto& [rowId, tag] : tags) {
            const QVariant was
                = m_database.queryValue(QStringLiteral("SELECT RTAG FROM FILES WHERE rowid = ?"), { qint64(rowId) });
            if (was.isNull())
                continue;
            m_database.executeChanging(CatalogueFields::bit(CatalogueFields::RTAG),
                QStringLiteral("UPDATE FILES SET RTAG = ? WHERE rowid = ?"), { tag, qint64(rowId) });
            before.append({ rowId, was.toString() });
        }
        write.commit();
    } catch (const std::exception& error) {
        *reason = QStringLiteral("\r\r") + QString::fromUtf8(error.what());
        return std::nullopt;
    }
    return before;
}

void FileActions::tellError(const QString& text, MsgIcon icon)
{
    m_prompter.ask(Message { text, QStringLiteral("Error"), MsgButtons::Ok, icon, 1 });
}

QString FileActions::keyAfterChange(const ImageFacts& slot)
{
    bool exists = false;
    const QString key
        = MakeRecordKey(slot.DRIVEVOLUME, slot.PATH, slot.diskName(), m_session.IdentifyByLocation, &exists);
    if (exists)
        return key;
    // The file moved or renamed is out of reach (a medium taken out meanwhile): the key keeps the
    // length and date the catalogue has, so the next pre-scan still meets the record if they hold.
    tellError(keyNotReadText(slot.filePath()), MsgIcon::Exclamation);
    std::optional<CatalogueRecord> row;
    try {
        row = recordOfRow(m_database, slot.rowId);
    } catch (const std::exception&) {
        // The row write that follows reports the catalogue's failure.
    }
    const qint64 length = row ? qint64(row->SIZE) : slot.SIZE.trimmed().toLongLong();
    return recordKeyText(slot.DRIVEVOLUME, slot.PATH, slot.diskName(), length, row ? row->DATE : QDateTime(),
        m_session.IdentifyByLocation);
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
    // The rows go before the file: a crash in between leaves a tagged row for a file still on
    // disk, which the next pre-scan finds again, never a live row for a file that is gone.
    const SameFileRows others = sameFileRows(slot);
    RowTags tags;
    if (slot.rowId != 0)
        tags.append({ slot.rowId, QStringLiteral("D") });
    for (const SameFileRows::Row& row : others.rows) {
        if (row.sameEntry)
            tags.append({ row.rowId, QStringLiteral("D") });
    }
    QString reason;
    const std::optional<RowTags> before = setTags(tags, &reason);
    if (!before) {
        tellError(rowNotUpdatedText(file) + reason, MsgIcon::Exclamation);
        tellError(deleteFailedText(file), MsgIcon::Critical);
        outcome.result = FileActionOutcome::Result::Failed;
        return outcome;
    }
    if (!removeFile(file)) {
        if (!setTags(*before, &reason))
            tellError(rowNotUpdatedText(file) + reason, MsgIcon::Exclamation);
        tellError(deleteFailedText(file), MsgIcon::Critical);
        outcome.result = FileActionOutcome::Result::Failed;
        return outcome;
    }
    outcome.result = FileActionOutcome::Result::Done;
    countOne(m_session.NumberDeleted);
    countOne(m_session.TotalDeleted);
    slot.RTAG = QStringLiteral("D");
    // The disk settles the rest by the rule of every file action: another row whose path reaches
    // nothing now is tagged too; one that still reaches the file (a hard link) was never tagged.
    writeRow(slot, { { CatalogueFields::RTAG, QStringLiteral("D") } }, file, others);

    const QString companion = companionPath(slot, m_settings.thumbnailExt);
    if (!companion.isEmpty() && presentOnDisk(companion) && !removeFile(companion))
        tellError(deleteFailedText(companion), MsgIcon::Critical);
    return outcome;
}

FileActionOutcome FileActions::moveFile(ImageFacts& slot, MoveDialog& dialog)
{
    FileActionOutcome outcome;
    PromptForFile(slot.DRIVEVOLUME, slot.filePath(),
        MediaPromptSettings { m_session.DisableFilePolling, m_session.ReactivateDrives }, m_volumes, m_prompter);
    const QString from = slot.fileLocation();
    const SameFileRows others = sameFileRows(slot);
    const MoveResult moved = dialog.moveFile(slot.diskName(), from);
    if (!moved.moved || moved.to == from)
        return outcome;
    outcome.result = FileActionOutcome::Result::Done;

    // The slot follows the file whatever becomes of the row.
    const DirectoryEntry to = DirectoryEntry::split(moved.to);
    const QString stem = textlines::trimBlanks(moved.newName.left(qMax(0, moved.newName.size() - ExtensionLength)));
    slot.DRIVEVOLUME = textlines::trimBlanks(to.volume);
    slot.PATH = to.path;
    slot.NAME = conv::upper(stem);
    slot.REFNAME = stem;
    slot.WHOLENAME = conv::upper(moved.newName);
    slot.DISKNAME = moved.newName;
    const QString key = keyAfterChange(slot);
    writeRow(slot,
        { { CatalogueFields::DRIVEVOLUME, slot.DRIVEVOLUME }, { CatalogueFields::PATH, slot.PATH },
            { CatalogueFields::NAME, slot.NAME }, { CatalogueFields::REFNAME, slot.REFNAME },
            { CatalogueFields::WHOLENAME, slot.WHOLENAME }, { CatalogueFields::STAG, key },
            { CatalogueFields::DISKNAME, slot.DISKNAME } },
        slot.filePath(), others);
    return outcome;
}

QString FileActions::reducedBase(const QString& name)
{
    QString base;
    for (const QChar c : name) {
        if ((c < QLatin1Char('0') || c > QLatin1Char('9')) && c != QLatin1Char('~'))
            base += c;
    }
    return base;
}

FileActionOutcome FileActions::renameFile(ImageFacts& slot, const QString& typedName)
{
    FileActionOutcome outcome;
    const QString name = textlines::trimBlanks(typedName);
    if (name.isEmpty() || conv::upper(name) == conv::upper(slot.NAME)) {
        outcome.result = FileActionOutcome::Result::Unchanged;
        return outcome;
    }
    // Refused before the question: no name of several lines is asked about.
    if (textlines::holdsLineBreak(name)) {
        m_prompter.tell(textlines::lineBreakRefusal(QStringLiteral("This name was not taken: it holds a line break, "
                                                                   "and a file's name stays on one line..."),
                            { name }),
            QStringLiteral("Tolq"), MsgIcon::Exclamation);
        outcome.result = FileActionOutcome::Result::Failed;
        return outcome;
    }
    if (m_prompter.ask(Message {
            confirmRenameText(name), QStringLiteral("Confirm Rename"), MsgButtons::YesNo, MsgIcon::Question, 2 })
        != MsgAnswer::Yes)
        return outcome;

    const QString oldFile = slot.filePath();
    const QString oldName = slot.diskName();
    // The extension keeps the case it has on disk; the companion is found before its image goes.
    const QString newName = name + oldName.mid(nameWithoutExtension(slot).size());
    const QString companion = companionPath(slot, m_settings.thumbnailExt);
    const SameFileRows others = sameFileRows(slot);
    // "." and ".." are refused as names even where the extension would make them acceptable.
    const bool renamed
        = isAcceptableFileName(name) && renameInDirectory(slot.PATH, oldName, newName).ok() && !presentOnDisk(oldFile);
    if (!renamed) {
        tellError(renameFailedText(oldFile), MsgIcon::Critical);
        outcome.result = FileActionOutcome::Result::Failed;
        return outcome;
    }
    outcome.result = FileActionOutcome::Result::Done;

    const QString base = reducedBase(name);
    slot.NAME = conv::upper(name);
    slot.REFNAME = name;
    slot.BASENAME = conv::upper(base);
    slot.WHOLENAME = conv::upper(name + slot.EXTENSION);
    slot.WHOLEBASE = conv::upper(base + slot.EXTENSION);
    slot.DISKNAME = newName;
    const QString key = keyAfterChange(slot);
    writeRow(slot,
        { { CatalogueFields::NAME, slot.NAME }, { CatalogueFields::REFNAME, slot.REFNAME },
            { CatalogueFields::BASENAME, slot.BASENAME }, { CatalogueFields::WHOLENAME, slot.WHOLENAME },
            { CatalogueFields::WHOLEBASE, slot.WHOLEBASE }, { CatalogueFields::STAG, key },
            { CatalogueFields::DISKNAME, slot.DISKNAME } },
        slot.filePath(), others);

    if (!companion.isEmpty() && presentOnDisk(companion)) {
        const QString companionFile = companion.mid(slot.PATH.size());
        const QString companionExt = companionFile.right(companionExtension(m_settings.thumbnailExt).size());
        if (!renameInDirectory(slot.PATH, companionFile, name + companionExt).ok() || presentOnDisk(companion))
            tellError(renameFailedText(companion), MsgIcon::Critical);
    }
    return outcome;
}
