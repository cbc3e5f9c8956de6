#include "CatalogueFixture.h"

#include "catalogue/CatalogueFields.h"
#include "catalogue/SqlRecordSet.h"

#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <SQLiteCpp/Database.h>

#include <functional>

using Damage = std::function<void(const QString& path)>;
Q_DECLARE_METATYPE(Damage)

namespace {

void truncateToHalf(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(file.size() / 2));
}

void overwrite(const QString& path, qint64 offset, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(offset));
    QCOMPARE(file.write(bytes), bytes.size());
}

void plainDatabase(const QString& path, const char* sql)
{
    QFile::remove(path);
    SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec(sql);
}

} // namespace

class tst_CatalogueDatabase : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void refusesBadFiles_data()
    {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not SQLite") << Damage([](const QString& p) { writeFile(p, "[FILES]\r\nNAME = cat.jpg\r\n"); })
                                    << "The file is not a catalogue database.";
        QTest::newRow("empty file") << Damage([](const QString& p) { writeFile(p, {}); }) << "The file is empty.";
        QTest::newRow("cut in half") << Damage(truncateToHalf) << "The database is damaged (the file is cut short).";
        QTest::newRow("header overwritten") << Damage([](const QString& p) { overwrite(p, 0, QByteArray(16, 'x')); })
                                            << "The file is not a catalogue database.";
        QTest::newRow("pages overwritten")
            << Damage([](const QString& p) { overwrite(p, 3 * 4096, QByteArray(4096, char(0xA5))); })
            << "The database is damaged";
        QTest::newRow("schema page overwritten")
            << Damage([](const QString& p) { overwrite(p, 100, QByteArray(3000, char(0x33))); })
            << "The database is damaged";
        QTest::newRow("no FILES table") << Damage([](const QString& p) {
            plainDatabase(p, "CREATE TABLE OTHER (A TEXT)");
        }) << "The database has no table FILES.";
        QTest::newRow("FILES without DISKNAME")
            << Damage([](const QString& p) { plainDatabase(p, "CREATE TABLE files (RECNUM REAL, RTAG TEXT)"); })
            << "The table FILES has no field DRIVEVOLUME.";
    }
    void refusesBadFiles()
    {
        QFETCH(Damage, damage);
        QFETCH(QString, reason);
        const QString path = m_dir.filePath(QStringLiteral("bad-%1.mdb").arg(QTest::currentDataTag()));
        {
            QStringList names;
            for (int i = 0; i < 3000; ++i)
                names << QStringLiteral("picture number %1.jpg").arg(i);
            QVERIFY(makeCatalogue(path, names));
        }
        QVERIFY(!QFileInfo::exists(path + "-wal"));
        damage(path);
        const QByteArray before = readFile(path);

        ScriptedPrompter prompter;
        QVERIFY(!CatalogueDatabase::openOrTell(path, prompter));
        QCOMPARE(prompter.messages().size(), 1);
        const Message& shown = prompter.messages().first();
        QVERIFY2(
            shown.text.startsWith("Unable to open the catalogue " + path + "\r\r" + reason), qPrintable(shown.text));
        QCOMPARE(shown.title, QStringLiteral("t'olq! - Error"));
        QCOMPARE(shown.icon, MsgIcon::Critical);

        QCOMPARE(readFile(path), before);
        QVERIFY(!QFileInfo::exists(path + "-wal"));
        QVERIFY(!QFileInfo::exists(path + "-journal"));
    }

    void missingFileIsNotCreated()
    {
        const QString path = m_dir.filePath(QStringLiteral("absent.mdb"));
        QString reason;
        QVERIFY(!CatalogueDatabase::open(path, &reason));
        QCOMPARE(reason, QStringLiteral("The file does not exist."));
        QVERIFY(!QFileInfo::exists(path));
    }

    void opensInWalMode()
    {
        auto db = makeCatalogue(m_dir.filePath(QStringLiteral("wal.mdb")), { "a.jpg" });
        QVERIFY(db);
        QCOMPARE(db->queryValue(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        QCOMPARE(db->queryValue(QStringLiteral("PRAGMA synchronous")).toInt(), 1); // NORMAL
    }

    void templateHoldsTheTable()
    {
        const QString path = m_dir.filePath(QStringLiteral("tolq.mdb"));
        writeFile(path, "an older file of that name");
        QString error;
        QVERIFY2(writeTemplateDatabase(path, &error), qPrintable(error));
        QCOMPARE(CatalogueDatabase::checkFile(path), QString());
        // Nothing but the template is left in the directory.
        QCOMPARE(QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden).filter("tolq.mdb").size(), 1);
        auto db = CatalogueDatabase::open(path);
        QVERIFY(db);
        QCOMPARE(db->queryValue("SELECT count(*) FROM FILES").toInt(), 0);
        QCOMPARE(
            db->queryValue("SELECT count(*) FROM pragma_table_info('FILES')").toInt(), int(CatalogueFields::Count));
        // The index ref on REF, not unique.
        QCOMPARE(db->queryValue("SELECT \"unique\" FROM pragma_index_list('FILES') WHERE name = 'ref'").toInt(), 0);
        QCOMPARE(db->queryValue("SELECT name FROM pragma_index_info('ref')").toString(), QStringLiteral("REF"));
        // REF and BASENAME take the empty text; a 216-character CHECKSUM fits.
        const QString checksum(216, QLatin1Char('9'));
        QCOMPARE(db->execute("INSERT INTO FILES (REF, BASENAME, CHECKSUM) VALUES (?, ?, ?)", { "", "", checksum }), 1);
        QCOMPARE(db->queryValue("SELECT length(CHECKSUM) FROM FILES WHERE REF = ?", { "" }).toInt(), 216);
    }

    void templateIntoMissingDirectoryFails()
    {
        QString error;
        QVERIFY(!writeTemplateDatabase(m_dir.filePath(QStringLiteral("no/such/dir/tolq.mdb")), &error));
        QVERIFY(!error.isEmpty());
    }

    void executeCountsChangedRows_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("params");
        QTest::addColumn<int>("changed");
        QTest::addColumn<int>("left");
        QTest::newRow("purge deleted") << "DELETE FROM FILES WHERE RTAG = ?" << QVariantList { "D" } << 2 << 3;
        QTest::newRow("purge stale") << "DELETE FROM FILES WHERE ACCESSED < ?" << QVariantList { 202609 } << 1 << 4;
        QTest::newRow("clear tags") << "UPDATE FILES SET ACTIVE = ?, RECNUM = 0, RTAG = ?, REF = STAG"
                                    << QVariantList { " ", " " } << 5 << 5;
        QTest::newRow("mark matched") << "UPDATE FILES SET ACTIVE = ? WHERE RECNUM = ?" << QVariantList { "*", 3 } << 1
                                      << 5;
        QTest::newRow("no such row") << "UPDATE FILES SET ACTIVE = ? WHERE RECNUM = ?" << QVariantList { "*", 9 } << 0
                                     << 5;
        QTest::newRow("lower-case code matches")
            << "DELETE FROM FILES WHERE RTAG = ?" << QVariantList { "d" } << 2 << 3;
    }
    void executeCountsChangedRows()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, params);
        QFETCH(int, changed);
        QFETCH(int, left);
        auto db = makeCatalogue(m_dir.filePath(QStringLiteral("exec-%1.mdb").arg(QTest::currentDataTag())),
            { "a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg" });
        QVERIFY(db);
        db->execute("UPDATE FILES SET RTAG = ? WHERE RECNUM IN (?, ?)", { "D", 1, 2 });
        db->execute("UPDATE FILES SET ACCESSED = ? WHERE RECNUM = ?", { 202606, 5 });
        QCOMPARE(db->execute(sql, params), changed);
        QCOMPARE(db->queryValue("SELECT count(*) FROM FILES").toInt(), left);
    }

    void transactionRollsBackUnlessCommitted()
    {
        auto db = makeCatalogue(m_dir.filePath(QStringLiteral("tx.mdb")), { "a.jpg" });
        QVERIFY(db);
        {
            CatalogueTransaction batch(*db);
            QVERIFY(batch.owns());
            db->execute("DELETE FROM FILES");
            {
                CatalogueTransaction inner(*db); // joins the open one
                QVERIFY(!inner.owns());
                inner.commit();
            }
            QVERIFY(db->inTransaction());
        }
        QVERIFY(!db->inTransaction());
        QCOMPARE(db->queryValue("SELECT count(*) FROM FILES").toInt(), 1);
        {
            CatalogueTransaction batch(*db);
            db->execute("DELETE FROM FILES");
            batch.commit();
        }
        QCOMPARE(db->queryValue("SELECT count(*) FROM FILES").toInt(), 0);
    }

    void engineErrorsThrow()
    {
        auto db = makeCatalogue(m_dir.filePath(QStringLiteral("err.mdb")));
        QVERIFY(db);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, db->execute("UPDATE NOSUCH SET A = 1"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, db->execute("DELETE FROM FILES WHERE RECNUM = ?", { 1, 2 }));
        // The connection stays usable.
        QCOMPARE(db->execute("DELETE FROM FILES WHERE RECNUM = ?", { 1 }), 0);
    }
};

QTEST_GUILESS_MAIN(tst_CatalogueDatabase)
#include "tst_CatalogueDatabase.moc"
