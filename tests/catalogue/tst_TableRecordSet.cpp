#include "CatalogueFixture.h"

#include "catalogue/SqlRecordSet.h"

#include <QTemporaryDir>
#include <QTest>

class tst_TableRecordSet : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_serial = 0;

    std::unique_ptr<CatalogueDatabase> catalogue(const QStringList& names)
    {
        return makeCatalogue(m_dir.filePath(QStringLiteral("t%1.mdb").arg(++m_serial)), names);
    }

private Q_SLOTS:
    void seekIgnoresCase_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("found");
        QTest::newRow("same text") << "CAT.JPG 512 12/9/2026"
                                   << "CAT.JPG 512 12/9/2026" << true;
        QTest::newRow("ASCII case") << "CAT.JPG 512 12/9/2026 4:09:28 PM"
                                    << "cat.jpg 512 12/9/2026 4:09:28 pm" << true;
        QTest::newRow("non-ASCII case") << "ÉTÉ À PARIS.JPG 512"
                                        << "été à paris.jpg 512" << true;
        QTest::newRow("Greek and Cyrillic") << "ΣΟΦΙΑ ДОМ.PNG 7"
                                            << "σοφια дом.png 7" << true;
        QTest::newRow("different size") << "CAT.JPG 512"
                                        << "cat.jpg 513" << false;
        QTest::newRow("prefix only") << "CAT.JPG 512"
                                     << "CAT.JPG 51" << false;
        QTest::newRow("accent is not case") << "CAFE.JPG 1"
                                            << "CAFÉ.JPG 1" << false;
    }
    void seekIgnoresCase()
    {
        QFETCH(QString, stored);
        QFETCH(QString, key);
        QFETCH(bool, found);
        auto db = catalogue({ "a.jpg", "b.jpg" });
        QVERIFY(db);
        db->execute("UPDATE FILES SET REF = ? WHERE RECNUM = ?", { stored, 2 });
        TableRecordSet table(*db);
        QVERIFY(table.setIndex("REF"));
        table.seek("=", key);
        QCOMPARE(table.noMatch(), !found);
        QCOMPARE(table.hasCurrent(), found);
        if (found)
            QCOMPARE(table.record().RECNUM, 2.0);
    }

    void seekAmongDuplicatesAndClaimed()
    {
        auto db = catalogue({ "a.jpg", "b.jpg", "c.jpg" });
        QVERIFY(db);
        // Two files of equal key; the first claims the oldest row, the second finds none left.
        db->execute("UPDATE FILES SET REF = ?, STAG = ?", { "SAME KEY", "SAME KEY" });
        TableRecordSet table(*db);
        for (double expected : { 1.0, 2.0, 3.0 }) {
            table.seek("=", "same key");
            QVERIFY(!table.noMatch());
            QCOMPARE(table.record().RECNUM, expected);
            table.edit();
            table.setField("Ref", QString());
            QVERIFY(table.update());
        }
        table.seek("=", "SAME KEY");
        QVERIFY(table.noMatch());
        QVERIFY_THROWS_EXCEPTION(std::logic_error, table.edit());
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, table.seek(">=", "SAME KEY"));
        QVERIFY(!table.setIndex("PrimaryKey"));
    }

    void addNewAndEditByMixedCaseNames()
    {
        auto db = catalogue({});
        QVERIFY(db);
        TableRecordSet table(*db);
        table.addNew();
        QCOMPARE(table.record().RTAG, QStringLiteral(" ")); // defaults of a new row
        table.setField("RecNum", 1.0);
        table.setField("WholeName", "CAT.JPG");
        table.setField("XYRatio", 4.0 / 3.0);
        table.setField("PxlNum", 42);
        table.setField("Date", QDateTime(QDate(2026, 1, 31), QTime(0, 0)));
        table.setField("stag", "CAT.JPG 512");
        table.setField("Ref", "");
        QVERIFY(table.update());
        QVERIFY(table.record().rowId > 0);

        table.seek("=", "");
        QVERIFY(!table.noMatch());
        QCOMPARE(table.field("xyratio").toDouble(), 4.0 / 3.0);
        QCOMPARE(table.field("PXLNUM").toInt(), 42);
        QCOMPARE(table.field("date").toDateTime(), QDateTime(QDate(2026, 1, 31), QTime(0, 0)));

        table.edit();
        table.setField("Active", "X");
        table.setField("Ref", "CAT.JPG 512");
        QCOMPARE(table.field("ACTIVE").toString(), QStringLiteral("X")); // the edit buffer
        table.cancelUpdate();
        QCOMPARE(table.field("ACTIVE").toString(), QStringLiteral(" "));
        table.edit();
        table.setField("Active", "X");
        QVERIFY(table.update());
        QCOMPARE(db->queryValue("SELECT ACTIVE FROM FILES").toString(), QStringLiteral("X"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, table.setField("NoSuchField", 1));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, table.setField("ACTIVE", "*"));
    }

    void updateOfAVanishedRowIsReported()
    {
        auto db = catalogue({ "a.jpg" });
        QVERIFY(db);
        TableRecordSet table(*db);
        table.seek("=", "a.jpg 1001");
        QVERIFY(!table.noMatch());
        table.edit();
        table.setField("ACTIVE", "X");
        QCOMPARE(db->execute("DELETE FROM FILES"), 1);
        QVERIFY(!table.update());
        QCOMPARE(db->queryValue("SELECT count(*) FROM FILES").toInt(), 0);
    }

    void writesAreSeenByAKeysetCursor()
    {
        auto db = catalogue({ "a.jpg", "b.jpg" });
        QVERIFY(db);
        SqlRecordSet walk(*db);
        walk.setSource("ACTIVE = ?", "WHOLENAME", { "X" });
        walk.refresh();
        TableRecordSet table(*db);
        table.seek("=", "b.jpg 1002");
        QVERIFY(!table.noMatch());
        table.edit();
        table.setField("PxlRay", QString(100, QLatin1Char('*')));
        QVERIFY(table.update());
        walk.moveNext();
        QCOMPARE(walk.record().PXLRAY, QString(100, QLatin1Char('*')));
    }
};

QTEST_GUILESS_MAIN(tst_TableRecordSet)
#include "tst_TableRecordSet.moc"
