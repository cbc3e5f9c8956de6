// Prints rows per second of the catalogue engine on a 100,000-row catalogue: batched inserts,
// a walk of a NAME-ordered keyset, seeks on ref, renames in review (each looks for the file's
// other rows first), plus the cost of opening and compacting.

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueTransaction.h"
#include "catalogue/DatabaseCompaction.h"
#include "catalogue/SqlRecordSet.h"
#include "catalogue/TableRecordSet.h"
#include "catalogue/TemplateDatabase.h"
#include "match/RowFacts.h"
#include "review/FileActions.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include "FakeVolumes.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int Rows = 100000;
constexpr int Batch = 1000;

QString nameOf(int i)
{
    // Scrambled so that NAME order differs from the order of storage.
    const quint32 h = quint32(i) * 2654435761u;
    return QStringLiteral("Picture %1 %2.jpg").arg(h % 99991).arg(i);
}

QString keyOf(int i)
{
    return nameOf(i).toUpper() + QStringLiteral(" 123456 12/9/2026 4:09:28 PM");
}

void report(const char* what, int rows, qint64 nanoseconds)
{
    const double seconds = double(nanoseconds) / 1e9;
    std::printf("%-44s %8d rows %9.3f s %12.0f rows/s\n", what, rows, seconds, rows / seconds);
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.mdb"));
    QString error;
    if (!writeTemplateDatabase(path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    auto db = CatalogueDatabase::open(path, &error);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    {
        TableRecordSet table(*db);
        CatalogueRecord record;
        record.ACTIVE = QStringLiteral("X");
        record.DATE = QDateTime::currentDateTime();
        for (int start = 0; start < Rows; start += Batch) {
            CatalogueTransaction batch(*db);
            for (int i = start; i < start + Batch; ++i) {
                const QString name = nameOf(i);
                record.RECNUM = i + 1;
                record.WHOLENAME = name.toUpper();
                record.NAME = record.WHOLENAME.chopped(4);
                record.REFNAME = name.chopped(4);
                record.DISKNAME = name;
                record.SIZE = 123456;
                record.STAG = keyOf(i);
                record.REF = record.STAG;
                table.addNew();
                table.setRecord(record);
                table.update();
            }
            batch.commit();
        }
    }
    report("insert (batches of 1000)", Rows, timer.nsecsElapsed());

    timer.restart();
    SqlRecordSet walk(*db);
    walk.setSource(QStringLiteral("ACTIVE = ? OR ACTIVE = ?"), QStringLiteral("NAME"),
        { QStringLiteral("X"), QStringLiteral("*") });
    walk.refresh();
    report("keyset refresh ordered by NAME", walk.recordCount(), timer.nsecsElapsed());
    timer.restart();
    int walked = 0;
    qint64 checksum = 0;
    for (walk.moveFirst(); !walk.isEof(); walk.moveNext()) {
        checksum += walk.record().NAME.size();
        ++walked;
    }
    report("keyset walk, each row read afresh", walked, timer.nsecsElapsed());

    timer.restart();
    {
        TableRecordSet table(*db);
        int found = 0;
        for (int i = 0; i < Rows; ++i) {
            table.seek(QStringLiteral("="), keyOf((i * 7919) % Rows).toLower());
            found += table.noMatch() ? 0 : 1;
        }
        report("seek = on ref (lower-case keys)", found, timer.nsecsElapsed());
    }

    timer.restart();
    {
        TableRecordSet table(*db);
        CatalogueTransaction batch(*db);
        for (int i = 0; i < Rows; ++i) {
            table.seek(QStringLiteral("="), keyOf(i));
            table.edit();
            table.setField("Ref", QString());
            table.setField("Active", QStringLiteral("X"));
            table.setField("RecNum", double(i + 1));
            table.update();
        }
        batch.commit();
        report("seek + edit + update (one batch)", Rows, timer.nsecsElapsed());
    }

    timer.restart();
    int marked = 0;
    for (int i = 1; i <= 20000; ++i)
        marked
            += db->execute(QStringLiteral("UPDATE FILES SET ACTIVE = ? WHERE RECNUM = ?"), { QStringLiteral("*"), i });
    report("execute UPDATE by RECNUM (autocommit)", marked, timer.nsecsElapsed());

    {
        // A file of the catalogue renamed in review, to and fro: every rename looks for the
        // file's other rows (all 100,000 rows have its length).
        const QString directory = dir.filePath(QStringLiteral("files/"));
        const QString name = db->queryValue(QStringLiteral("SELECT DISKNAME FROM FILES WHERE RECNUM = 1")).toString();
        db->execute(QStringLiteral("UPDATE FILES SET PATH = ? WHERE RECNUM = 1"), { directory });
        QDir().mkpath(directory);
        QFile file(directory + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(123456, 'x')) != 123456)
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        file.close();
        const std::int64_t rowId
            = db->queryValue(QStringLiteral("SELECT rowid FROM FILES WHERE RECNUM = 1")).toLongLong();
        std::optional<ImageFacts> slot = factsOfRow(*db, rowId);
        MainSettings settings;
        Session session;
        ScriptedPrompter prompter;
        const FakeVolumes volumes;
        FileActions actions(settings, session, *db, prompter, volumes);
        constexpr int Renames = 200;
        int renamed = 0;
        timer.restart();
        for (int i = 0; slot && i < Renames; ++i) {
            prompter.queueAnswer(MsgAnswer::Yes);
            renamed += actions.renameFile(*slot, i % 2 ? QStringLiteral("Bench A") : QStringLiteral("Bench B")).done();
        }
        report("rename in review (other rows looked up)", renamed, timer.nsecsElapsed());
    }

    timer.restart();
    {
        // The pattern step's candidate query, once per reference.
        db->execute(QStringLiteral("UPDATE FILES SET ACTIVE = ?, PXLNUM = RECNUM % 101"), { QStringLiteral("X") });
        SqlRecordSet candidates(*db);
        qint64 members = 0;
        for (int i = 1; i <= 1000; ++i) {
            const int pxlnum = i % 101;
            candidates.setSource(QStringLiteral("ACTIVE = ? AND RECNUM <> ? AND PXLNUM >= ? AND PXLNUM <= ?"),
                QStringLiteral("RECNUM"), { QStringLiteral("X"), i, pxlnum - 2, pxlnum + 2 });
            candidates.refresh();
            members += candidates.recordCount();
        }
        std::printf("pattern candidate queries: %lld members in all\n", static_cast<long long>(members));
        report("pattern candidate query + refresh", 1000, timer.nsecsElapsed());
    }

    db.reset();
    timer.restart();
    db = CatalogueDatabase::open(path, &error);
    report("open with checks", Rows, timer.nsecsElapsed());
    db.reset();

    timer.restart();
    if (!compactDatabase(path, dir.filePath(QStringLiteral("tolqtmp.mdb")), &error))
        std::fprintf(stderr, "%s\n", qPrintable(error));
    report("compaction", Rows, timer.nsecsElapsed());
    std::printf("(checksum %lld)\n", static_cast<long long>(checksum));
    return 0;
}
