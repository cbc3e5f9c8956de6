#include "catalogue/DatabaseCompaction.h"

#include "catalogue/CatalogueDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <SQLiteCpp/Database.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char* const Companions[] = { "", "-journal", "-wal", "-shm" };

bool removeWithCompanions(const QString& path)
{
    bool gone = true;
    for (const char* suffix : Companions) {
        const QString file = path + QLatin1String(suffix);
        if (QFileInfo::exists(file) && !QFile::remove(file))
            gone = false;
    }
    return gone;
}

void syncDirectory(const QString& file)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

qint64 rowCount(CatalogueDatabase& db)
{
    return db.queryValue(QStringLiteral("SELECT count(*) FROM FILES")).toLongLong();
}

} // namespace

bool compactDatabase(const QString& source, const QString& workFile, QString* error,
    const std::function<bool(CompactionStage)>& beforeStage)
{
    QString reason;
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    auto stopped = [&](CompactionStage stage) { return beforeStage && !beforeStage(stage); };

    if (QFileInfo(source).absoluteFilePath() == QFileInfo(workFile).absoluteFilePath())
        return fail(QStringLiteral("The work file must not be the catalogue itself."));
    std::unique_ptr<CatalogueDatabase> db = CatalogueDatabase::open(source, &reason);
    if (!db)
        return fail(reason);
    if (!removeWithCompanions(workFile))
        return fail(QStringLiteral("The old work file %1 cannot be removed.").arg(workFile));

    auto failAndClean = [&](const QString& text) {
        db.reset();
        removeWithCompanions(workFile);
        return fail(text);
    };
    try {
        if (stopped(CompactionStage::Copy))
            return failAndClean(QStringLiteral("Compaction stopped before the copy."));
        const qint64 rows = rowCount(*db);
        db->execute(QStringLiteral("VACUUM INTO ?"), { workFile });

        if (stopped(CompactionStage::Verify))
            return failAndClean(QStringLiteral("Compaction stopped before the check."));
        {
            std::unique_ptr<CatalogueDatabase> copy = CatalogueDatabase::open(workFile, &reason);
            if (!copy)
                return failAndClean(QStringLiteral("The compacted copy is not usable: %1").arg(reason));
            if (rowCount(*copy) != rows)
                return failAndClean(QStringLiteral("The compacted copy lost rows."));
            // Back to a single file, so the rename moves everything the copy holds.
            copy->connection().exec("PRAGMA journal_mode=DELETE");
        }

        if (stopped(CompactionStage::Release))
            return failAndClean(QStringLiteral("Compaction stopped before releasing the catalogue."));
        // The old file's write-ahead log must be empty and gone before the new file takes the
        // name, or the log would later be replayed into the new file.
        db->connection().setBusyTimeout(1000);
        db->connection().exec("PRAGMA wal_checkpoint(TRUNCATE)");
        const QString mode = db->queryValue(QStringLiteral("PRAGMA journal_mode=DELETE")).toString();
        db.reset();
        if (mode.compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0
            || QFileInfo(source + QStringLiteral("-wal")).exists())
            return failAndClean(QStringLiteral("The catalogue is in use."));

        if (stopped(CompactionStage::Rename))
            return failAndClean(QStringLiteral("Compaction stopped before the rename."));
        if (QFileInfo::exists(workFile + QStringLiteral("-journal"))
            || QFileInfo::exists(workFile + QStringLiteral("-wal")))
            return failAndClean(QStringLiteral("The compacted copy is not complete."));
        if (std::rename(QFile::encodeName(workFile).constData(), QFile::encodeName(source).constData()) != 0) {
            const QString why = QString::fromLocal8Bit(std::strerror(errno));
            return failAndClean(QStringLiteral("The compacted copy cannot replace the catalogue (%1).").arg(why));
        }
        syncDirectory(source);
        return true;
    } catch (const std::exception& e) {
        return failAndClean(QStringLiteral("Compaction failed (%1).").arg(QString::fromUtf8(e.what())));
    }
}
