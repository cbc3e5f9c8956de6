#include "CatalogueFixture.h"

#include "catalogue/CatalogueReadScope.h"
#include "catalogue/CatalogueTransaction.h"
#include "catalogue/SqlRecordSet.h"

#include <QTemporaryDir>
#include <QTest>
#include <optional>

class tst_SqlRecordSet : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_serial = 0;

    std::unique_ptr<CatalogueDatabase> catalogue(const QStringList& names)
    {
        return makeCatalogue(m_dir.filePath(QStringLiteral("c%1.mdb").arg(++m_serial)), names);
    }

    static QStringList walk(SqlRecordSet& set, const char* field = "WHOLENAME")
    {
        QStringList seen;
        for (set.moveFirst(); !set.isEof(); set.moveNext())
            seen << set.field(field).toString();
        return seen;
    }

private Q_SLOTS:
    void endsOfTheSet_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("empty") << 0;
        QTest::newRow("one row") << 1;
        QTest::newRow("three rows") << 3;
    }
    void endsOfTheSet()
    {
        QFETCH(int, rows);
        QStringList names;
        for (int i = 0; i < rows; ++i)
            names << QStringLiteral("f%1.jpg").arg(i + 1);
        auto db = catalogue(names);
        QVERIFY(db);
        SqlRecordSet set(*db);
        set.setSource(QStringLiteral("ACTIVE = ?"), QStringLiteral("RECNUM"), { QStringLiteral("X") });
        set.refresh();
        QCOMPARE(set.recordCount(), rows);
        if (rows == 0) {
            QVERIFY(set.isEof());
            QVERIFY(set.isBof());
            set.moveNext();
            set.movePrevious();
            set.moveLast();
            QVERIFY(set.isEof() && set.isBof());
            QVERIFY_THROWS_EXCEPTION(std::logic_error, set.record());
            return;
        }
        // Standing on the first row after the refresh.
        QVERIFY(!set.isEof() && !set.isBof());
        QCOMPARE(set.record().RECNUM, 1.0);

        set.moveLast();
        QCOMPARE(set.record().RECNUM, double(rows));
        set.moveNext();
        QVERIFY(set.isEof());
        QVERIFY(!set.isBof());
        QVERIFY(!set.hasCurrent());
        set.moveNext(); // at EOF: stays there
        QVERIFY(set.isEof());
        set.movePrevious(); // back to the last row
        QCOMPARE(set.record().RECNUM, double(rows));

        set.moveFirst();
        set.movePrevious();
        QVERIFY(set.isBof());
        QVERIFY(!set.isEof());
        set.movePrevious(); // at BOF: stays there
        QVERIFY(set.isBof());
        set.moveNext(); // back to the first row
        QCOMPARE(set.record().RECNUM, 1.0);
    }

    void landingReadsTheRowAfresh_data()
    {
        QTest::addColumn<bool>("secondConnection");
        QTest::newRow("another record set, same connection") << false;
        QTest::newRow("another connection to the same file") << true;
    }
    void landingReadsTheRowAfresh()
    {
        QFETCH(bool, secondConnection);
        auto db = catalogue({ "a.jpg", "b.jpg", "c.jpg" });
        QVERIFY(db);
        std::unique_ptr<CatalogueDatabase> other;
        if (secondConnection) {
            other = CatalogueDatabase::open(db->path());
            QVERIFY(other);
        }
        CatalogueDatabase& writerDb = secondConnection ? *other : *db;

        SqlRecordSet walkSet(*db);
        walkSet.setSource(QStringLiteral("ACTIVE = ? OR ACTIVE = ?"), QStringLiteral("WHOLENAME"),
            { QStringLiteral("X"), QStringLiteral("*") });
        walkSet.refresh();
        QCOMPARE(walkSet.record().WHOLENAME, QStringLiteral("A.JPG"));

        // Tag b and change c's ACTIVE so that it no longer meets the selection.
        SqlRecordSet ref(writerDb);
        ref.setSource(QStringLiteral("WHOLENAME = ?"), QString(), { QStringLiteral("B.JPG") });
        ref.refresh();
        ref.edit();
        ref.setField(u"rtag", QStringLiteral("D"));
        QVERIFY(ref.update());
        QCOMPARE(writerDb.execute(QStringLiteral("UPDATE FILES SET ACTIVE = ? WHERE WHOLENAME = ?"),
                     { QStringLiteral(" "), QStringLiteral("C.JPG") }),
            1);

        walkSet.moveNext();
        QCOMPARE(walkSet.record().WHOLENAME, QStringLiteral("B.JPG"));
        QCOMPARE(walkSet.record().RTAG, QStringLiteral("D"));
        // Membership was fixed at the refresh: c stays, with its new value.
        walkSet.moveNext();
        QCOMPARE(walkSet.record().WHOLENAME, QStringLiteral("C.JPG"));
        QCOMPARE(walkSet.record().ACTIVE, QStringLiteral(" "));
        walkSet.moveNext();
        QVERIFY(walkSet.isEof());

        walkSet.refresh();
        QCOMPARE(walkSet.recordCount(), 2);
    }

    // Fields held in memory are served only while they are what a read would give: a change
    // through any record set or connection shows at the next landing, and the rows it did not
    // touch are still served from memory when the change is known row by row.
    void heldFieldsFollowTheRows_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("rtag");
        QTest::addColumn<bool>("othersStillHeld");
        QTest::newRow("update through another record set")
            << QStringLiteral("set") << QStringLiteral("NEW.JPG") << QStringLiteral(" ") << true;
        QTest::newRow("statement on the same connection")
            << QStringLiteral("execute") << QStringLiteral("NEW.JPG") << QStringLiteral(" ") << true;
        QTest::newRow("tag written by another connection")
            << QStringLiteral("other") << QStringLiteral("B.JPG") << QStringLiteral("D") << false;
        QTest::newRow("the same, seen in a read begun after it")
            << QStringLiteral("other, then read") << QStringLiteral("B.JPG") << QStringLiteral("D") << false;
        QTest::newRow("a field not held, written through a statement that says so")
            << QStringLiteral("mark") << QStringLiteral("B.JPG") << QStringLiteral(" ") << true;
        QTest::newRow("row deleted") << QStringLiteral("delete") << QStringLiteral(" ") << QStringLiteral("D") << true;
        QTest::newRow("every row deleted at once")
            << QStringLiteral("delete all") << QStringLiteral(" ") << QStringLiteral("D") << false;
        QTest::newRow("more changes than the journal keeps")
            << QStringLiteral("many") << QStringLiteral("NEW.JPG") << QStringLiteral(" ") << false;
        QTest::newRow("more changes of a field not held than the journal keeps")
            << QStringLiteral("many marks") << QStringLiteral("B.JPG") << QStringLiteral(" ") << true;
        QTest::newRow("change rolled back")
            << QStringLiteral("rollback") << QStringLiteral("B.JPG") << QStringLiteral(" ") << true;
        QTest::newRow("read inside a write that is rolled back")
            << QStringLiteral("refresh in write") << QStringLiteral("B.JPG") << QStringLiteral(" ") << false;
    }
    void heldFieldsFollowTheRows()
    {
        QFETCH(QString, change);
        QFETCH(QString, b);
        QFETCH(QString, rtag);
        QFETCH(bool, othersStillHeld);
        using namespace CatalogueFields;
        const FieldMask held = bit(RTAG) | bit(WHOLENAME);
        auto db = catalogue({ "a.jpg", "b.jpg", "c.jpg" });
        QVERIFY(db);
        const QString renameB = QStringLiteral("UPDATE FILES SET WHOLENAME = ? WHERE WHOLENAME = ?");
        SqlRecordSet set(*db);
        set.setSource(QString(), QStringLiteral("RECNUM"));
        set.setHeldFields(held);
        if (change == QLatin1String("refresh in write")) {
            db->begin();
            db->execute(renameB, { QStringLiteral("NEW.JPG"), QStringLiteral("B.JPG") });
        }
        // Inside a walk a landing reads only what is asked for.
        SqlRecordSet::Walk walk(set);
        set.refresh();
        bool whole = true;
        QCOMPARE(set.recordWith(held, &whole).WHOLENAME, QStringLiteral("A.JPG"));
        QCOMPARE(whole, change == QLatin1String("refresh in write"));

        std::unique_ptr<CatalogueDatabase> other;
        if (change == QLatin1String("set")) {
            SqlRecordSet writer(*db);
            writer.setSource(QStringLiteral("RECNUM = ?"), QString(), { 2 });
            writer.refresh();
            writer.edit();
            writer.setField(u"WHOLENAME", QStringLiteral("NEW.JPG"));
            QVERIFY(writer.update());
        } else if (change == QLatin1String("execute")) {
            QCOMPARE(db->execute(renameB, { QStringLiteral("NEW.JPG"), QStringLiteral("B.JPG") }), 1);
        } else if (change.startsWith(QLatin1String("other"))) {
            other = CatalogueDatabase::open(db->path());
            QVERIFY(other);
            other->execute(QStringLiteral("UPDATE FILES SET RTAG = ? WHERE RECNUM = ?"), { QStringLiteral("D"), 2 });
        } else if (change == QLatin1String("mark")) {
            QCOMPARE(db->executeChanging(bit(ACTIVE), QStringLiteral("UPDATE FILES SET ACTIVE = ? WHERE RECNUM > ?"),
                         { QStringLiteral("*"), 1 }),
                2);
        } else if (change == QLatin1String("delete")) {
            QCOMPARE(db->execute(QStringLiteral("DELETE FROM FILES WHERE RECNUM = ?"), { 2 }), 1);
        } else if (change == QLatin1String("delete all")) {
            QCOMPARE(db->execute(QStringLiteral("DELETE FROM FILES")), 3);
        } else if (change == QLatin1String("many")) {
            CatalogueTransaction batch(*db);
            db->execute(renameB, { QStringLiteral("NEW.JPG"), QStringLiteral("B.JPG") });
            for (int i = 0; i < 5000; ++i)
                db->execute(QStringLiteral("UPDATE FILES SET SIZE = ? WHERE RECNUM = ?"), { i, 1 });
            batch.commit();
        } else if (change == QLatin1String("many marks")) {
            CatalogueTransaction batch(*db);
            for (int i = 0; i < 5000; ++i)
                db->executeChanging(bit(ACTIVE), QStringLiteral("UPDATE FILES SET ACTIVE = ? WHERE RECNUM = ?"),
                    { i % 2 ? QStringLiteral("*") : QStringLiteral("X"), 1 + i % 3 });
            batch.commit();
        } else if (change == QLatin1String("rollback")) {
            db->begin();
            db->execute(renameB, { QStringLiteral("NEW.JPG"), QStringLiteral("B.JPG") });
            db->rollback();
        } else {
            db->rollback();
        }

        std::optional<CatalogueReadScope> reads;
        if (change == QLatin1String("other, then read")) {
            reads.emplace(*db);
            QCOMPARE(db->queryValue(QStringLiteral("SELECT count(*) FROM FILES")).toInt(), 3);
        }
        set.moveNext();
        const CatalogueRecord& second = set.recordWith(held);
        QCOMPARE(second.WHOLENAME, b);
        QCOMPARE(second.RTAG, rtag);
        set.moveNext();
        const CatalogueRecord& third = set.recordWith(held, &whole);
        QCOMPARE(whole, !othersStillHeld);
        QCOMPARE(
            third.WHOLENAME, change == QLatin1String("delete all") ? QStringLiteral(" ") : QStringLiteral("C.JPG"));
        // What is served from memory is what the row holds.
        QCOMPARE(third.RTAG, set.record().RTAG);
        QCOMPARE(third.WHOLENAME, set.record().WHOLENAME);
    }

    void findFirst_data()
    {
        QTest::addColumn<QString>("criteria");
        QTest::addColumn<QVariantList>("params");
        QTest::addColumn<bool>("found");
        QTest::addColumn<double>("recnum");
        QTest::newRow("by number") << "RECNUM = ?" << QVariantList { 3 } << true << 3.0;
        QTest::newRow("no such number") << "RECNUM = ?" << QVariantList { 99 } << false << 0.0;
        QTest::newRow("first in set order, not stored order") << "SIZE > ?" << QVariantList { 1001 } << true << 4.0;
        QTest::newRow("row outside the set") << "ACTIVE = ?" << QVariantList { QStringLiteral(" ") } << false << 0.0;
        QTest::newRow("text without regard to case")
            << "WHOLENAME = ?" << QVariantList { QStringLiteral("b.JpG") } << true << 2.0;
    }
    void findFirst()
    {
        QFETCH(QString, criteria);
        QFETCH(QVariantList, params);
        QFETCH(bool, found);
        QFETCH(double, recnum);
        auto db = catalogue({ "a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg" });
        QVERIFY(db);
        db->execute(QStringLiteral("UPDATE FILES SET ACTIVE = ? WHERE RECNUM = ?"), { QStringLiteral(" "), 5 });
        SqlRecordSet set(*db);
        set.setSource(QStringLiteral("ACTIVE = ?"), QStringLiteral("RECNUM DESC"), { QStringLiteral("X") });
        set.refresh();
        set.moveLast();
        const double before = set.record().RECNUM;
        QCOMPARE(set.findFirst(criteria, params), found);
        QCOMPARE(set.noMatch(), !found);
        // Without a match the cursor stays where it stood.
        QCOMPARE(set.record().RECNUM, found ? recnum : before);
    }

    void orderIgnoresCase()
    {
        auto db = catalogue({ "b.jpg", "C.jpg", "a.jpg", "_x.jpg", "Ü.jpg", "e.jpg", "f.jpg", "é.jpg" });
        QVERIFY(db);
        // REFNAME keeps the case found on disk. Letters beyond ASCII follow the ASCII ones; a
        // case-sensitive order would put "C" before "_x" and "Ü" before "é".
        SqlRecordSet set(*db);
        set.setSource(QString(), QStringLiteral("REFNAME"));
        set.refresh();
        const QStringList order = walk(set, "REFNAME");
        QCOMPARE(order, QStringList({ "_x", "a", "b", "C", "e", "f", "é", "Ü" }));
    }

    void deletedRowAfterRefresh()
    {
        auto db = catalogue({ "a.jpg", "b.jpg", "c.jpg" });
        QVERIFY(db);
        SqlRecordSet set(*db);
        set.setSource(QString(), QStringLiteral("RECNUM"));
        set.refresh();
        QCOMPARE(db->execute(QStringLiteral("DELETE FROM FILES WHERE RECNUM = ?"), { 2 }), 1);
        set.moveNext();
        QVERIFY(set.hasCurrent());
        QVERIFY(set.rowDeleted());
        QCOMPARE(set.record().RTAG, QStringLiteral("D"));
        QCOMPARE(set.record().RECNUM, 0.0);
        set.edit();
        set.setField(u"ACTIVE", QStringLiteral("*"));
        QVERIFY(!set.update());
        set.moveNext();
        QVERIFY(!set.rowDeleted());
        QCOMPARE(set.record().WHOLENAME, QStringLiteral("C.JPG"));
        QCOMPARE(db->queryValue(QStringLiteral("SELECT count(*) FROM FILES")).toInt(), 2);
    }

    void editWritesOnlyTheChangedFields()
    {
        auto db = catalogue({ "a.jpg" });
        QVERIFY(db);
        SqlRecordSet mine(*db);
        mine.refresh();
        mine.edit();
        mine.setField(u"Active", QStringLiteral("*"));
        // Meanwhile another record set changes another field of the same row.
        QCOMPARE(db->execute(QStringLiteral("UPDATE FILES SET RTAG = ?"), { QStringLiteral("D") }), 1);
        QCOMPARE(mine.field(u"ACTIVE").toString(), QStringLiteral("*"));
        QVERIFY(mine.update());
        mine.moveFirst();
        QCOMPARE(mine.record().ACTIVE, QStringLiteral("*"));
        QCOMPARE(mine.record().RTAG, QStringLiteral("D"));
    }

    void valuesAreBoundNotSpliced()
    {
        auto db = catalogue({ "o'brien.jpg", "x.jpg" });
        QVERIFY(db);
        const QString tricky = QStringLiteral("O'BRIEN.JPG\" OR 1=1 --");
        SqlRecordSet set(*db);
        set.setSource(QStringLiteral("WHOLENAME = ?"), QString(), { tricky });
        set.refresh();
        QCOMPARE(set.recordCount(), 0);
        set.setSource(QStringLiteral("WHOLENAME = ?"), QString(), { QStringLiteral("O'BRIEN.JPG") });
        set.refresh();
        QCOMPARE(set.recordCount(), 1);
        set.edit();
        set.setField(u"WholeName", tricky);
        QVERIFY(set.update());
        QCOMPARE(
            db->queryValue(QStringLiteral("SELECT WHOLENAME FROM FILES WHERE RECNUM = ?"), { 1 }).toString(), tricky);
    }

    void typedRecordRoundTrip()
    {
        auto db = catalogue({});
        QVERIFY(db);
        CatalogueRecord in = sampleRecord(7, QStringLiteral("Ünïcode name.png"));
        in.XYRATIO = 1.5;
        in.PXLRAY = QString(100, QLatin1Char('*'));
        in.PXLNUM = 100;
        in.X = 40000;
        in.Y = 300;
        in.BASENAME = QString();
        in.CHECKSUM = QStringLiteral(".PNG 12 ") + QString(200, QLatin1Char('7'));
        TableRecordSet table(*db);
        table.addNew();
        table.setRecord(in);
        QVERIFY(table.update());
        SqlRecordSet set(*db);
        set.refresh();
        const CatalogueRecord& out = set.record();
        QCOMPARE(out.rowId, table.record().rowId);
        QCOMPARE(out.REFNAME, in.REFNAME);
        QCOMPARE(out.DISKNAME, in.DISKNAME);
        QCOMPARE(out.DATE, in.DATE);
        QCOMPARE(out.XYRATIO, 1.5);
        QCOMPARE(out.PXLRAY, in.PXLRAY);
        QCOMPARE(out.X, 40000);
        QCOMPARE(out.BASENAME, QString());
        QCOMPARE(out.CHECKSUM, in.CHECKSUM);
        QCOMPARE(set.field(u"pxlnum").toInt(), 100);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, set.field(u"NOSUCH"));
    }
};

QTEST_GUILESS_MAIN(tst_SqlRecordSet)
#include "tst_SqlRecordSet.moc"
