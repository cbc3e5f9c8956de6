// Record keys: of facts already read, of a file on disk and of a file's time in any zone.

#include "TestSupport.h"

#include "catalogue/RecordKey.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

class tst_RecordKey : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyText_data();
    void keyText();
    void keyOfFileOnDisk();
    void keyFromFileTime_data();
    void keyFromFileTime();
};

void tst_RecordKey::keyText_data()
{
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QDateTime>("modified");
    QTest::addColumn<bool>("byLocation");
    QTest::addColumn<QString>("key");

    const QDateTime afternoon(QDate(2026, 12, 9), QTime(16, 9, 28));
    QTest::newRow("plain form") << "[PHOTOS]"
                                << "/home/u/pics/"
                                << "Cat.jpg" << qint64(512) << afternoon << false << "CAT.JPG 512 12/9/2026 4:09:28 PM";
    QTest::newRow("midnight gives the date alone")
        << "[PHOTOS]"
        << "/p/"
        << "a.jpg" << qint64(7) << QDateTime(QDate(2026, 1, 2), QTime(0, 0)) << false << "A.JPG 7 1/2/2026";
    QTest::newRow("morning") << "[X]"
                             << "/p/"
                             << "b.png" << qint64(0) << QDateTime(QDate(2026, 3, 4), QTime(0, 0, 1)) << false
                             << "B.PNG 0 3/4/2026 12:00:01 AM";
    QTest::newRow("location form") << "[PHOTOS]"
                                   << "/home/u/pics/"
                                   << "Cat.jpg" << qint64(512) << afternoon << true
                                   << "[PHOT/HOME/U/PICS/CAT.JPG 512 12/9/2026 4:09:28 PM";
    QTest::newRow("unlabelled volume") << "[]"
                                       << "/pics/"
                                       << "Cat.jpg" << qint64(512) << afternoon << true
                                       << "[]/PICS/CAT.JPG 512 12/9/2026 4:09:28 PM";
    const QString longPath = QStringLiteral("/") + QString(250, QLatin1Char('d')) + QStringLiteral("/");
    const QString tail = (longPath + QStringLiteral("Cat.jpg 512 12/9/2026 4:09:28 PM")).right(200).toUpper();
    QTest::newRow("location form keeps the last 200 characters")
        << "[PHOTOS]" << longPath << "Cat.jpg" << qint64(512) << afternoon << true << QStringLiteral("[PHOT") + tail;
}

void tst_RecordKey::keyText()
{
    QFETCH(QString, volume);
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(qint64, length);
    QFETCH(QDateTime, modified);
    QFETCH(bool, byLocation);
    QFETCH(QString, key);
    const QString made = recordKeyText(volume, path, name, length, modified, byLocation);
    QCOMPARE(made, key);
    if (byLocation)
        QVERIFY(made.size() <= 205);
}

void tst_RecordKey::keyOfFileOnDisk()
{
    QTemporaryDir dir;
    const QString path = dir.path() + QLatin1Char('/');
    QVERIFY(writeFile(path + QStringLiteral("Cat.jpg"), QByteArray(512, 'x')));
    QFile file(path + QStringLiteral("Cat.jpg"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(2026, 12, 9), QTime(16, 9, 28)), QFileDevice::FileModificationTime));
    bool exists = false;
    QCOMPARE(MakeRecordKey(QStringLiteral("[T]"), path, QStringLiteral("Cat.jpg"), false, &exists),
        QStringLiteral("CAT.JPG 512 12/9/2026 4:09:28 PM"));
    QVERIFY(exists);
    QCOMPARE(MakeRecordKey(QStringLiteral("[T]"), path, QStringLiteral("gone.jpg"), false, &exists), QString());
    QVERIFY(!exists);
}

// The scan keys a file from its modification time as the file system gives it: the key must be
// the one its local date-time gives, in any zone and across the zone's clock changes.
void tst_RecordKey::keyFromFileTime_data()
{
    QTest::addColumn<QByteArray>("zone"); // a POSIX rule: no zone database needed
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("dateText");
    const QByteArray central("CET-1CEST,M3.5.0,M10.5.0/3");
    QTest::newRow("first second of summer time") << central << qint64(1774746000) << "3/29/2026 3:00:00 AM";
    QTest::newRow("autumn, the hour before the change") << central << qint64(1792888200) << "10/25/2026 2:30:00 AM";
    QTest::newRow("autumn, the same hour again") << central << qint64(1792891800) << "10/25/2026 2:30:00 AM";
    QTest::newRow("local midnight: the date alone") << QByteArray("EST5EDT") << qint64(1796792400) << "12/9/2026";
    QTest::newRow("before 1970") << QByteArray("UTC0") << qint64(-1) << "12/31/1969 11:59:59 PM";
}

void tst_RecordKey::keyFromFileTime()
{
    QFETCH(QByteArray, zone);
    QFETCH(qint64, seconds);
    QFETCH(QString, dateText);
    const QByteArray previous = qgetenv("TZ");
    qputenv("TZ", zone);
    tzset();
    const QString fromSeconds = recordKeyText("[V]", "/p/", "a.jpg", 1, seconds, false);
    const QString fromDateTime = recordKeyText("[V]", "/p/", "a.jpg", 1, fileDateTime(seconds), false);
    previous.isNull() ? qunsetenv("TZ") : qputenv("TZ", previous);
    tzset();
    QCOMPARE(fromSeconds, QStringLiteral("A.JPG 1 ") + dateText);
    QCOMPARE(fromDateTime, fromSeconds);
}

QTEST_GUILESS_MAIN(tst_RecordKey)
#include "tst_RecordKey.moc"
