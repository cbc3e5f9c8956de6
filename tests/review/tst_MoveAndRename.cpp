#include "catalogue/RecordKey.h"
#include "match/RowFacts.h"
#include "review/FileActions.h"

#include "../scan/ScanFixture.h"
#include "EngineMoveDialog.h"
#include "FileSystemFixtures.h"
#include "MatchTestSupport.h"

namespace {

// A source directory holding the catalogued file (its content its own name) and others, a
// destination, the catalogue of the file (STAG its WHOLENAME) and the file actions on it.
struct Fixture
{
    QTemporaryDir root;
    QString src = root.filePath("src/");
    QString dst = root.filePath("dst/");
    MainSettings settings;
    Session session;
    ScriptedPrompter prompter;
    FakeVolumes volumes;
    std::unique_ptr<CatalogueDatabase> db;
    ImageFacts slot;

    Fixture(const QString& name, const QStringList& others)
    {
        settings.thumbnailExt = ".THN";
        session.DisableFilePolling = true;
        session.IdentifyByLocation = true;
        QDir().mkpath(src);
        QDir().mkpath(dst);
        populateDirectory(src, QStringList { name } + others);
        db = makeCatalogueWithRows(root.filePath("cat.mdb"), { fileRow(7, name, src, "[SRC]") });
        slot = factsOfRow(*db, 1).value_or(ImageFacts());
    }
    FileActions actions() { return FileActions(settings, session, *db, prompter, volumes); }
    QString local(QString text) const { return text.replace(src, "SRC/").replace(dst, "DST/"); }
    // The messages, then the fields a move or rename writes, of the slot and (when it differs) of
    // the row.
    QStringList outcome()
    {
        QStringList texts;
        for (const Message& m : prompter.messages())
            texts << m.title + "|" + local(m.text);
        const auto names = [this](const ImageFacts& s) {
            return local(QStringList {
                s.DRIVEVOLUME, s.PATH, s.NAME, s.REFNAME, s.BASENAME, s.WHOLENAME, s.WHOLEBASE, s.DISKNAME }
                             .join('|'));
        };
        const std::optional<ImageFacts> row = factsOfRow(*db, 1);
        texts << names(slot);
        if (row != slot)
            texts << (row ? "row " + names(*row) : "no row");
        return texts;
    }
    QString stag() { return db->queryValue("SELECT STAG FROM FILES").toString(); }
};

const QString RowGone = "Error|Unable to update the catalogue record of file - ";

} // namespace

class tst_MoveAndRename : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The row and the slot follow a move the dialog made (its faults on disk are the dialog's
    // own); a move that did not happen leaves the files, the row and the slot as they were.
    void moveFollowsTheFile_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("outcome"); // the messages, then the slot's names
        const QString img = "[DST]|DST/|IMG|Img|IMG|IMG.JPG|IMG.JPG|Img.jpg";
        QTest::newRow("moved") << "" << QStringList { img };
        QTest::newRow("name taken there: numbered")
            << "taken" << QStringList { "[DST]|DST/|IMG0|Img0|IMG|IMG0.JPG|IMG.JPG|Img0.jpg" };
        QTest::newRow("cancelled") << "cancel" << QStringList { "[SRC]|SRC/|IMG|Img|IMG|IMG.JPG|IMG.JPG|Img.jpg" };
        QTest::newRow("moved file out of reach: the recorded length and date")
            << "stat fails" << QStringList { "Error|" + FileActions::keyNotReadText("DST/Img.jpg"), img };
        QTest::newRow("row gone: the move stands")
            << "row gone" << QStringList { RowGone + "DST/Img.jpg", img, "no row" };
    }
    void moveFollowsTheFile()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, outcome);
        Fixture f("Img.jpg", { "other.jpg" });
        populateDirectory(f.dst, { fault == "taken" ? "Img.jpg=theirs" : "x=y" });
        const QStringList before = directoryListing(f.src) + directoryListing(f.dst);
        EngineMoveDialog dialog(f.prompter, f.volumes);
        dialog.to = fault == "cancel" ? QString() : "[DST] " + f.dst;
        if (fault == "stat fails")
            dialog.afterMove = [&] { QFile::rename(f.dst + "Img.jpg", f.root.filePath("away")); };
        if (fault == "row gone")
            f.db->execute("DELETE FROM FILES");

        const bool moved = f.actions().moveFile(f.slot, dialog).done();

        QCOMPARE(dialog.shown, QStringList { "Img.jpg from [SRC] " + f.src });
        QCOMPARE(f.outcome(), outcome);
        QCOMPARE(moved, f.slot.PATH == f.dst);
        if (!moved)
            QCOMPARE(directoryListing(f.src) + directoryListing(f.dst), before);
        else if (fault == "stat fails")
            QCOMPARE(f.stag(),
                recordKeyText("[DST]", f.dst, "Img.jpg", 1000, QDateTime(QDate(2026, 12, 9), QTime(16, 9, 28)), true));
        else if (fault != "row gone")
            QCOMPARE(f.stag(), MakeRecordKey("[DST]", f.dst, f.slot.DISKNAME, true));
    }

    // A rename in place: the names the row and the slot take and the companion following; every
    // refusal leaves both files, the row and the slot as they were.
    void renameFollowsTheFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("others");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("fault"); // "", "no", "row gone"
        QTest::addColumn<QStringList>("outcome"); // the messages after the question, then the names
        QTest::addColumn<QStringList>("after"); // the directory afterwards, when renamed
        const QStringList none;
        const QString cat = "[SRC]|SRC/|CAT|cat|CAT|CAT.JPG|CAT.JPG|cat.jpg";
        const QString dog = "[SRC]|SRC/|DOG|dog|DOG|DOG.JPG|DOG.JPG|dog.jpg";
        QTest::newRow("renamed with its thumbnail")
            << "cat.jpg" << QStringList { "cat.THN" } << "  dog "
            << "" << QStringList { dog } << QStringList { "dog.THN=cat.THN", "dog.jpg=cat.jpg" };
        QTest::newRow("typed extension kept in the name")
            << "cat.jpg" << none << "dog.jpg"
            << "" << QStringList { "[SRC]|SRC/|DOG.JPG|dog.jpg|DOG.JPG|DOG.JPG.JPG|DOG.JPG.JPG|dog.jpg.jpg" }
            << QStringList { "dog.jpg.jpg=cat.jpg" };
        QTest::newRow("digits and tildes leave the base; cases on disk kept")
            << "Cat.JPG" << QStringList { "cat.thn" } << "my 2 (copy)~1"
            << ""
            << QStringList { "[SRC]|SRC/|MY 2 (COPY)~1|my 2 (copy)~1|MY  (COPY)|MY 2 (COPY)~1.JPG|MY  (COPY).JPG|my 2 "
                             "(copy)~1.JPG" }
            << QStringList { "my 2 (copy)~1.JPG=Cat.JPG", "my 2 (copy)~1.thn=cat.thn" };
        QTest::newRow("thumbnail name taken: the image goes alone")
            << "cat.jpg" << QStringList { "cat.THN", "dog.THN=theirs" } << "dog"
            << "" << QStringList { "Error|Unable to Rename file - SRC/cat.THN", dog }
            << QStringList { "cat.THN=cat.THN", "dog.THN=theirs", "dog.jpg=cat.jpg" };
        QTest::newRow("row gone: the rename stands")
            << "cat.jpg" << none << "dog"
            << "row gone" << QStringList { RowGone + "SRC/dog.jpg", dog, "no row" }
            << QStringList { "dog.jpg=cat.jpg" };
        const QStringList refused { "Error|Unable to Rename file - SRC/cat.jpg", cat };
        for (const char* bad : { "dog", "a/b", ".", ".." })
            QTest::newRow(qPrintable(QString("refused: ") + bad))
                << "cat.jpg" << QStringList { "dog.jpg=theirs" } << bad << "" << refused << none;
        // Told why, and nothing asked.
        QTest::newRow("refused: two lines")
            << "cat.jpg" << none << "a\nb"
            << ""
            << QStringList { "Tolq|This name was not taken: it holds a line break, and a file's name stays on one "
                             "line...\r\ra\u21b5b",
                   cat }
            << none;
        QTest::newRow("declined") << "cat.jpg" << QStringList { "cat.THN" } << "dog"
                                  << "no" << QStringList { cat } << none;
        QTest::newRow("same name in another case: nothing asked") << "cat.jpg" << none << "CAT"
                                                                  << "" << QStringList { cat } << none;
    }
    void renameFollowsTheFile()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, others);
        QFETCH(QString, typed);
        QFETCH(QString, fault);
        QFETCH(QStringList, outcome);
        QFETCH(QStringList, after);
        Fixture f(name, others);
        const QStringList before = directoryListing(f.src);
        if (fault == "row gone")
            f.db->execute("DELETE FROM FILES");
        f.prompter.queueAnswer(fault == "no" ? MsgAnswer::No : MsgAnswer::Yes);
        const QString stag = f.stag();

        const bool renamed = f.actions().renameFile(f.slot, typed).done();

        if (!typed.trimmed().isEmpty() && typed.trimmed().toUpper() != "CAT" && !typed.contains('\n'))
            outcome.prepend("Confirm Rename|Rename file to - " + typed.trimmed());
        QCOMPARE(f.outcome(), outcome);
        QCOMPARE(renamed, !after.isEmpty());
        QCOMPARE(directoryListing(f.src), renamed ? after : before);
        if (fault != "row gone")
            QCOMPARE(f.stag(), renamed ? MakeRecordKey("[SRC]", f.src, f.slot.DISKNAME, true) : stag);
    }

    // The next pre-scan meets a moved or renamed file by the key the file action wrote: the same
    // row under the same RECNUM, its statistics kept, and no new row.
    void nextPreScanFindsTheRecord_data()
    {
        QTest::addColumn<bool>("move");
        QTest::addColumn<bool>("byLocation");
        QTest::newRow("moved") << true << false;
        QTest::newRow("moved, key by location") << true << true;
        QTest::newRow("renamed") << false << false;
        QTest::newRow("renamed, key by location") << false << true;
    }
    void nextPreScanFindsTheRecord()
    {
        QFETCH(bool, move);
        QFETCH(bool, byLocation);
        ScanFixture scan;
        scan.session.IdentifyByLocation = byLocation;
        scan.settings.mode = ComparisonMode::Checksum;
        for (int i = 1; i <= 3; ++i)
            scan.image("a", QString("img%1.jpg").arg(i), i);
        QDir().mkpath(scan.dir("b"));
        scan.settings.directories = { scan.entry("a"), scan.entry("b") };
        scan.run();
        auto db = CatalogueDatabase::open(scan.databasePath());
        const qint64 rowId = db->queryValue("SELECT rowid FROM FILES WHERE DISKNAME = 'img3.jpg'").toLongLong();
        ImageFacts slot = factsOfRow(*db, rowId).value_or(ImageFacts());
        FileActions actions(scan.settings, scan.session, *db, scan.prompter, scan.volumes);
        EngineMoveDialog dialog(scan.prompter, scan.volumes);
        dialog.to = scan.entry("b");
        scan.prompter.queueAnswer(MsgAnswer::Yes);
        QVERIFY(move ? actions.moveFile(slot, dialog).done() : actions.renameFile(slot, "img3z").done());

        scan.run();
        QCOMPARE(scan.rows().size(), 3);
        const std::optional<CatalogueRecord> row = recordOfRow(*db, rowId);
        QVERIFY(row);
        QCOMPARE(row->PATH + row->DISKNAME, move ? scan.dir("b") + "img3.jpg" : scan.dir("a") + "img3z.jpg");
        QCOMPARE(row->RECNUM, 3.0);
        QCOMPARE(row->ACTIVE, QString("X"));
        QCOMPARE(row->CHECKSUM, slot.CHECKSUM);
    }
};

QTEST_GUILESS_MAIN(tst_MoveAndRename)
#include "tst_MoveAndRename.moc"
