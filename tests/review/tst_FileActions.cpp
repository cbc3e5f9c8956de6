#include "catalogue/CatalogueDatabase.h"
#include "match/RowFacts.h"
#include "review/FileActions.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include "CallStops.h"
#include "EngineMoveDialog.h"
#include "FakeVolumes.h"
#include "FileSystemFixtures.h"
#include "MatchTestSupport.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The RTAG of every row, in RECNUM order.
QString tagsOf(CatalogueDatabase& db)
{
    QString text;
    CatalogueDatabase::Lease rows = db.prepare(QByteArrayLiteral("SELECT RTAG FROM FILES ORDER BY RECNUM"));
    while (rows.step())
        text += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows.handle(), 0)));
    return text;
}

// What a delete reads and counts: no question asked, no medium polled.
struct DeleteServices
{
    MainSettings settings;
    Session session;
    ScriptedPrompter prompter;
    FakeVolumes volumes { { VolumeInfo { "/", "ROOT", "ext4", "/dev/vda", DriveKind::Fixed, 1 << 30, 512 } } };

    explicit DeleteServices(bool recycle = false)
    {
        settings.recycle = recycle;
        settings.noConfirm = true;
        session.DisableFilePolling = true;
    }
    FileActionOutcome remove(CatalogueDatabase& db, ImageFacts& facts)
    {
        return FileActions(settings, session, db, prompter, volumes).deleteFile(facts);
    }
};

// A tree of pictures, their catalogue (one row each, in the order given) and the service on it.
struct DeleteFixture : DeleteServices
{
    QTemporaryDir tree;
    std::unique_ptr<CatalogueDatabase> db;

    explicit DeleteFixture(const QStringList& names)
    {
        settings.noConfirm = false;
        settings.thumbnailExt = ".THN";
        QList<CatalogueRecord> rows;
        int recnum = 0;
        for (const QString& name : names) {
            writeFile(dir() + name, QByteArray(1000 + recnum, 'x'));
            rows << fileRow(++recnum, name, dir());
        }
        db = makeCatalogueWithRows(tree.filePath("cat.mdb"), rows);
    }
    QString dir() const { return tree.path() + "/"; }
    ImageFacts slot(int recnum)
    {
        const qint64 rowId = db->queryValue("SELECT rowid FROM FILES WHERE RECNUM = ?", { recnum }).toLongLong();
        return factsOfRow(*db, rowId).value_or(ImageFacts());
    }
    QString tags() { return tagsOf(*db); }
    FileActionOutcome remove(ImageFacts& facts) { return DeleteServices::remove(*db, facts); }
};

QString sectorRound(qint64 bytes)
{
    return QString::number((bytes / 512 + 1) * 512);
}

} // namespace

class tst_FileActions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void deleteUnderFaults_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("recycle");
        QTest::addColumn<bool>("trashWritable");
        QTest::addColumn<QString>("fault"); // "", "vanished", "declined", "row gone", "catalogue refuses"
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("messages");

        const int done = int(FileActionOutcome::Result::Done);
        const int failed = int(FileActionOutcome::Result::Failed);
        const int declined = int(FileActionOutcome::Result::Declined);
        const QString confirm = "Delete file - ";
        const QString unable = "Unable to Delete file - ";
        QTest::newRow("outright") << "b.jpg" << false << true << "" << done << QStringList { confirm };
        QTest::newRow("to the trash") << "b.jpg" << true << true << "" << done << QStringList { confirm };
        QTest::newRow("quotes and a leading dash")
            << "-b \"q\" 'r'.jpg" << false << true << "" << done << QStringList { confirm };
        QTest::newRow("quotes and a leading dash, to the trash")
            << "-b \"q\" 'r'.jpg" << true << true << "" << done << QStringList { confirm };
        QTest::newRow("hidden file") << ".b.jpg" << false << true << "" << done << QStringList { confirm };
        QTest::newRow("hidden file, unwritable trash")
            << ".b.jpg" << true << false << "" << failed << QStringList { confirm, unable };
        QTest::newRow("unwritable trash")
            << "b.jpg" << true << false << "" << failed << QStringList { confirm, unable };
        QTest::newRow("vanished file") << "b.jpg" << false << true << "vanished" << failed
                                       << QStringList { confirm, unable };
        QTest::newRow("vanished file, to the trash: counts as deleted")
            << "b.jpg" << true << true << "vanished" << done << QStringList { confirm };
        QTest::newRow("declined") << "b.jpg" << false << true << "declined" << declined << QStringList { confirm };
        QTest::newRow("row gone: the delete stands")
            << "b.jpg" << false << true << "row gone" << done
            << QStringList { confirm, "Unable to update the catalogue record of file - " };
        QTest::newRow("catalogue refuses the tag: the file stays")
            << "b.jpg" << true << true << "catalogue refuses" << failed
            << QStringList { confirm, "Unable to update the catalogue record of file - ", unable };
    }
    void deleteUnderFaults()
    {
        QFETCH(QString, name);
        QFETCH(bool, recycle);
        QFETCH(bool, trashWritable);
        QFETCH(QString, fault);
        QFETCH(int, result);
        QFETCH(QStringList, messages);

        TrashHome trash(trashWritable);
        DeleteFixture f({ "a.jpg", name, "c.jpg" });
        f.settings.recycle = recycle;
        f.session.NumberDeleted = 3;
        f.session.TotalDeleted = 16;
        ImageFacts facts = f.slot(2);
        const QString file = f.dir() + name;
        const qint64 size = QFileInfo(file).size();
        if (fault == "vanished")
            QVERIFY(QFile::remove(file));
        if (fault == "row gone")
            f.db->execute("DELETE FROM FILES WHERE RECNUM = 2");
        if (fault == "catalogue refuses")
            f.db->execute("CREATE TRIGGER refuse BEFORE UPDATE ON FILES BEGIN SELECT RAISE(ABORT, 'refused'); END");
        f.prompter.queueAnswer(fault == "declined" ? MsgAnswer::No : MsgAnswer::Yes);

        const FileActionOutcome outcome = f.remove(facts);

        QCOMPARE(int(outcome.result), result);
        QCOMPARE(f.prompter.messages().size(), messages.size());
        for (int i = 0; i < messages.size(); ++i)
            QCOMPARE(f.prompter.texts().at(i).left(messages.at(i).size() + file.size()), messages.at(i) + file);
        QCOMPARE(f.prompter.messages().first().title, QStringLiteral("Confirm Deletion"));
        QCOMPARE(f.prompter.messages().first().defaultButton, 2);
        const bool deleted = result == int(FileActionOutcome::Result::Done);
        if (result == int(FileActionOutcome::Result::Failed))
            QCOMPARE(f.prompter.messages().last().title, QStringLiteral("Error"));
        // No file lost: what was not deleted is where it was, what went to the trash is there.
        QCOMPARE(QFileInfo::exists(file), !deleted && fault != "vanished");
        if (deleted && recycle && fault != "vanished")
            QVERIFY(QFileInfo::exists(trash.trashed(name)));
        QVERIFY(QFileInfo::exists(f.dir() + "a.jpg") && QFileInfo::exists(f.dir() + "c.jpg"));
        // No other row touched; the counters count a delete that happened, the space only a file
        // that was there to recover.
        QCOMPARE(f.tags(), fault == "row gone" ? QString("  ") : deleted ? QString(" D ") : QString("   "));
        QCOMPARE(facts.RTAG, deleted ? QString("D") : QString(" "));
        QCOMPARE(f.session.NumberDeleted, deleted ? 4 : 3);
        QCOMPARE(f.session.TotalDeleted, deleted ? 17 : 16);
        const bool recovered = deleted && fault != "vanished";
        QCOMPARE(QString::number(f.session.RecoveredBytes), recovered ? QString::number(size) : QString("0"));
        QCOMPARE(QString::number(f.session.RecoveredSectorBytes), recovered ? sectorRound(size) : QString("0"));
    }

    // The rows of the file are tagged before it goes: killed on either side of its removal, no
    // row is live for a file that is gone; a delete that fails puts the tags back. real/p.jpg is
    // deleted; link/ is a link to real/ (the same directory entry), hard/p.jpg a hard link.
    void deleteTagsFirst_data()
    {
        QTest::addColumn<bool>("recycle");
        QTest::addColumn<QString>("stop"); // "before" or "after" the file's removal, "" none
        QTest::addColumn<bool>("trashWritable");
        QTest::addColumn<QString>("tags"); // real, link, hard
        for (const bool recycle : { true, false }) {
            const char* how = recycle ? "to the trash" : "outright";
            QTest::addRow("%s, killed before the file goes", how) << recycle << "before" << true << "DD ";
            QTest::addRow("%s, killed once it went", how) << recycle << "after" << true << "DD ";
        }
        QTest::newRow("the trash refuses: the tags go back") << true << "" << false << "   ";
    }
    void deleteTagsFirst()
    {
        QFETCH(bool, recycle);
        QFETCH(QString, stop);
        QFETCH(bool, trashWritable);
        QFETCH(QString, tags);
        TrashHome trash(trashWritable);
        QTemporaryDir tree;
        const QString file = tree.filePath("real/p.jpg");
        QVERIFY(writeFile(file, "picture"));
        QVERIFY(QFile::link(tree.filePath("real"), tree.filePath("link")));
        QVERIFY(QDir().mkpath(tree.filePath("hard")));
        QCOMPARE(
            ::link(QFile::encodeName(file).constData(), QFile::encodeName(tree.filePath("hard/p.jpg")).constData()), 0);
        const QString catalogue = tree.filePath("cat.mdb");
        QVERIFY(makeCatalogueWithRows(catalogue,
            { fileRow(1, "p.jpg", tree.filePath("real/")), fileRow(2, "p.jpg", tree.filePath("link/")),
                fileRow(3, "p.jpg", tree.filePath("hard/")) }));

        // The child opens the catalogue itself: a connection does not cross a fork.
        const QString answer = runInChild(
            [&]() -> QString {
                if (!stop.isEmpty())
                    stopAtCall({ recycle ? CallKind::Rename : CallKind::Unlink }, QFile::encodeName(file),
                        stop == "after" ? StopWhen::After : StopWhen::Before);
                DeleteServices services(recycle);
                auto db = CatalogueDatabase::open(catalogue);
                if (!db)
                    return "no catalogue";
                ImageFacts facts
                    = factsOfRow(*db, db->queryValue("SELECT rowid FROM FILES WHERE RECNUM = 1").toLongLong()).value();
                services.remove(*db, facts);
                return services.prompter.texts().join(" | ");
            },
            30);
        QCOMPARE(answer, stop.isEmpty() ? "Unable to Delete file - " + file : stoppedAnswer());
        QCOMPARE(QFileInfo::exists(file), stop != "after");
        QCOMPARE(QFileInfo::exists(tree.filePath("hard/p.jpg")), true);
        auto db = CatalogueDatabase::open(catalogue);
        QVERIFY(db);
        QCOMPARE(tagsOf(*db), tags);
    }

    // What an action writes to the catalogue is on disk where a power cut cannot take it back: a
    // delete's tags before the file goes, a move's or a rename's rewrite of the row before the
    // action returns. What the child did to the catalogue's log and the picture ("file": its
    // removal, move or rename), from the log's last write on.
    void actionSyncsItsRows_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("steps");
        QTest::newRow("delete outright") << "delete" << "write log, sync log, file";
        QTest::newRow("delete to the trash") << "recycle" << "write log, sync log, file";
        QTest::newRow("move") << "move" << "write log, sync log";
        QTest::newRow("rename") << "rename" << "write log, sync log";
    }
    void actionSyncsItsRows()
    {
        QFETCH(QString, action);
        QFETCH(QString, steps);
        TrashHome trash;
        QTemporaryDir tree;
        const QString file = tree.filePath("p.jpg");
        QVERIFY(writeFile(file, "picture"));
        QVERIFY(QDir().mkpath(tree.filePath("to")));
        const QString catalogue = tree.filePath("cat.mdb");
        QVERIFY(makeCatalogueWithRows(catalogue, { fileRow(1, "p.jpg", tree.path() + "/") }));

        const QString answer = runInChild(
            [&]() -> QString {
                DeleteServices services(action == "recycle");
                auto db = CatalogueDatabase::open(catalogue);
                if (!db)
                    return "no catalogue";
                ImageFacts facts = factsOfRow(*db, db->queryValue("SELECT rowid FROM FILES").toLongLong()).value();
                FileActions actions(services.settings, services.session, *db, services.prompter, services.volumes);
                EngineMoveDialog dialog(services.prompter, services.volumes);
                dialog.to = "[ROOT] " + tree.filePath("to/");
                services.prompter.queueAnswer(MsgAnswer::Yes);
                recordCalls({ CallKind::Write, CallKind::Sync, CallKind::Rename, CallKind::Unlink },
                    QFile::encodeName(tree.path()));
                const bool done = action == "move" ? actions.moveFile(facts, dialog).done()
                    : action == "rename"           ? actions.renameFile(facts, "q").done()
                                                   : actions.deleteFile(facts).done();
                if (!done)
                    return "not done: " + services.prompter.texts().join(" | ");
                QStringList seen;
                for (const QString& call : recordedCalls()) {
                    const QString kind = call.section(' ', 0, 0);
                    const QString path = call.section(' ', 1);
                    const QString step = path == file ? "file"
                        : path == catalogue + "-wal" && (kind == "write" || kind == "sync") ? kind + " log"
                                                                                           : QString();
                    if (!step.isEmpty() && (seen.isEmpty() || seen.last() != step))
                        seen << step;
                }
                return seen.mid(seen.lastIndexOf("write log")).join(", ");
            },
            30);
        QCOMPARE(answer, steps);
        QVERIFY(!QFileInfo::exists(file));
    }

    // With Recycle ticked, what took the picture's name goes to the trash only when it is a file
    // or a link (the link itself); anything else stays where it is, the delete failing as an
    // outright one does: tags put back, nothing counted.
    void recycleTakesOnlyFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("taken");
        QTest::newRow("a directory with its contents") << "directory" << false;
        QTest::newRow("a FIFO") << "fifo" << false;
        QTest::newRow("a socket") << "socket" << false;
        QTest::newRow("a link to a file: the link goes") << "link to file" << true;
        QTest::newRow("a link to a directory: the link goes") << "link to directory" << true;
    }
    void recycleTakesOnlyFiles()
    {
        QFETCH(QString, kind);
        QFETCH(bool, taken);
        TrashHome trash;
        DeleteFixture f({ "p.jpg" });
        f.settings.recycle = true;
        f.settings.noConfirm = true;
        const QString file = f.dir() + "p.jpg";
        const QString inside = f.dir() + "elsewhere/inside.jpg";
        QVERIFY(QFile::remove(file));
        QVERIFY(writeFile(inside, "kept"));
        if (kind == "directory") {
            QVERIFY(writeFile(file + "/inside.jpg", "kept"));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        } else if (kind == "socket") {
            const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, QFile::encodeName(file).constData(), sizeof address.sun_path);
            QCOMPARE(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
            ::close(socket);
        } else {
            QVERIFY(QFile::link(kind == "link to file" ? inside : f.dir() + "elsewhere", file));
        }
        ImageFacts facts = f.slot(1);

        const FileActionOutcome outcome = f.remove(facts);

        QCOMPARE(int(outcome.result), int(taken ? FileActionOutcome::Result::Done : FileActionOutcome::Result::Failed));
        QCOMPARE(f.prompter.texts(), taken ? QStringList() : QStringList { "Unable to Delete file - " + file });
        QCOMPARE(f.tags(), taken ? "D" : " ");
        QCOMPARE(f.session.NumberDeleted, taken ? 1 : 0);
        QCOMPARE(FileActions::presentOnDisk(file), !taken);
        QCOMPARE(QFileInfo(trash.trashed("p.jpg")).isSymLink(), taken);
        QVERIFY(taken || !FileActions::presentOnDisk(trash.trashed("p.jpg")));
        QCOMPARE(readFile(inside), QByteArray("kept"));
        if (kind == "directory")
            QCOMPARE(readFile(file + "/inside.jpg"), QByteArray("kept"));
    }

    void readOnlyDirectory_data()
    {
        QTest::addColumn<bool>("recycle");
        QTest::newRow("outright") << false;
        QTest::newRow("to the trash") << true;
    }
    void readOnlyDirectory()
    {
        QFETCH(bool, recycle);
        QTemporaryDir locked;
        const QString file = locked.filePath("a.jpg");
        QVERIFY(writeFile(file, "picture"));
        openToEveryone(locked.path());
        QVERIFY(chmod(QFile::encodeName(locked.path()).constData(), 0555) == 0);
        const std::optional<QString> verdict = runUnprivileged([&]() -> QString {
            QTemporaryDir own;
            qputenv("HOME", own.path().toUtf8());
            qputenv("XDG_DATA_HOME", own.filePath("data").toUtf8());
            QDir().mkpath(own.filePath("data"));
            DeleteServices services(recycle);
            auto db = makeCatalogueWithRows(own.filePath("cat.mdb"), { fileRow(1, "a.jpg", locked.path() + "/") });
            if (!db)
                return "no catalogue";
            const qint64 rowId = db->queryValue("SELECT rowid FROM FILES").toLongLong();
            ImageFacts facts = factsOfRow(*db, rowId).value_or(ImageFacts());
            const FileActionOutcome outcome = services.remove(*db, facts);
            const ScriptedPrompter& prompter = services.prompter;
            const Session& session = services.session;
            QStringList faults;
            if (outcome.result != FileActionOutcome::Result::Failed)
                faults << "the delete did not fail";
            if (prompter.texts() != QStringList { "Unable to Delete file - " + file })
                faults << "messages: " + prompter.texts().join(" | ");
            if (session.NumberDeleted != 0 || session.TotalDeleted != 0 || session.RecoveredBytes != 0)
                faults << "counted";
            if (db->queryValue("SELECT RTAG FROM FILES").toString() != " " || facts.RTAG != " ")
                faults << "tagged";
            return faults.join("; ");
        });
        chmod(QFile::encodeName(locked.path()).constData(), 0755);
        if (!verdict)
            QSKIP("needs root to run a check as an unprivileged user");
        QCOMPARE(*verdict, QString());
        QVERIFY(QFileInfo::exists(file));
    }

    void companion_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QStringList>("others"); // files beside the image
        QTest::addColumn<QStringList>("gone"); // of the others, those deleted with it
        QTest::newRow("thumbnail beside it") << "a.jpg"
                                             << ".THN" << QStringList { "a.THN", "b.THN" } << QStringList { "a.THN" };
        QTest::newRow("thumbnail in another case")
            << "Photo.JPG"
            << ".THN" << QStringList { "photo.thn" } << QStringList { "photo.thn" };
        QTest::newRow("name with dots") << "my.holiday.jpg"
                                        << ".THN" << QStringList { "my.holiday.THN", "my.THN" }
                                        << QStringList { "my.holiday.THN" };
        QTest::newRow("no extension: no companion") << "a.jpg"
                                                    << "" << QStringList { "a" } << QStringList {};
        QTest::newRow("an image type: no companion") << "a.png"
                                                     << ".JPG" << QStringList { "a.JPG" } << QStringList {};
        QTest::newRow("a path in the extension: no companion")
            << "a.jpg"
            << "/../x" << QStringList { "x", "a/inside" } << QStringList {};
        QTest::newRow("no thumbnail there") << "a.jpg"
                                            << ".THN" << QStringList { "b.THN" } << QStringList {};
    }
    void companion()
    {
        QFETCH(QString, image);
        QFETCH(QString, extension);
        QFETCH(QStringList, others);
        QFETCH(QStringList, gone);
        TrashHome trash(true);
        DeleteFixture f({ image });
        f.settings.noConfirm = true;
        f.settings.thumbnailExt = extension;
        qint64 expected = 1000;
        for (const QString& other : others) {
            QVERIFY(writeFile(f.dir() + other, QByteArray(70, 't')));
            if (gone.contains(other))
                expected += 70;
        }
        ImageFacts facts = f.slot(1);
        QVERIFY(f.remove(facts).done());
        QVERIFY(f.prompter.messages().isEmpty());
        for (const QString& other : others)
            QCOMPARE(QFileInfo::exists(f.dir() + other), !gone.contains(other));
        QCOMPARE(qint64(f.session.RecoveredBytes), expected);
        QCOMPARE(f.session.NumberDeleted, 1); // the companion does not count as a file deleted
    }
};

QTEST_MAIN(tst_FileActions)
#include "tst_FileActions.moc"
