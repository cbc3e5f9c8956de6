#include "CatalogueFixture.h"

#include "catalogue/CatalogueFields.h"
#include "catalogue/SqlRecordSet.h"

#include <QTemporaryDir>
#include <QTest>

#include <ctime>

// DATE keeps the file's local wall time through a store and a read, also around the changes
// to and from summer time, where a cached zone offset could go wrong.
class tst_CatalogueDates : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        // A POSIX rule, so no time zone database is needed: Central European time.
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
        tzset();
    }

    void roundTrip_data()
    {
        QTest::addColumn<QDateTime>("written");
        QTest::addColumn<QByteArray>("stored");
        const auto local = [](int y, int mo, int d, int h, int mi, int s) {
            return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
        };
        QTest::newRow("winter") << local(2026, 1, 31, 23, 59, 59) << QByteArray("2026-01-31 23:59:59");
        QTest::newRow("summer") << local(2026, 7, 1, 12, 0, 0) << QByteArray("2026-07-01 12:00:00");
        QTest::newRow("midnight") << local(2026, 12, 9, 0, 0, 0) << QByteArray("2026-12-09 00:00:00");
        QTest::newRow("hour before spring change") << local(2026, 3, 29, 1, 30, 0) << QByteArray("2026-03-29 01:30:00");
        QTest::newRow("hour after spring change") << local(2026, 3, 29, 3, 30, 0) << QByteArray("2026-03-29 03:30:00");
        QTest::newRow("hour before autumn change")
            << local(2026, 10, 25, 1, 59, 59) << QByteArray("2026-10-25 01:59:59");
        QTest::newRow("hour after autumn change") << local(2026, 10, 25, 3, 0, 1) << QByteArray("2026-10-25 03:00:01");
        QTest::newRow("given in UTC") << QDateTime(QDate(2026, 7, 1), QTime(10, 0), Qt::UTC)
                                      << QByteArray("2026-07-01 12:00:00");
        QTest::newRow("no date") << QDateTime() << QByteArray();
    }
    void roundTrip()
    {
        QFETCH(QDateTime, written);
        QFETCH(QByteArray, stored);
        QCOMPARE(CatalogueFields::dateText(written), stored);

        auto db = makeCatalogue(m_dir.filePath(QStringLiteral("%1.mdb").arg(QTest::currentDataTag())), { "a.jpg" });
        QVERIFY(db);
        SqlRecordSet set(*db);
        set.refresh();
        set.edit();
        set.setField("DATE", written);
        QVERIFY(set.update());
        QCOMPARE(db->queryValue("SELECT DATE FROM FILES").toByteArray(), stored);
        set.moveFirst();
        const QDateTime read = set.record().DATE;
        QCOMPARE(read.isValid(), written.isValid());
        if (!written.isValid())
            return;
        QCOMPARE(read, written);
        QCOMPARE(read.toLocalTime().date(), written.toLocalTime().date());
        QCOMPARE(read.toLocalTime().time(), written.toLocalTime().time());
        // Written again unchanged, it stores the same text.
        QCOMPARE(CatalogueFields::dateText(read), stored);
    }
};

QTEST_GUILESS_MAIN(tst_CatalogueDates)
#include "tst_CatalogueDates.moc"
