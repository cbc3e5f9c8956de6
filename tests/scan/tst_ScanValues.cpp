// Checksums, session stamps, filter words, entry parts, preview sizes and the resume file: the
// values the catalogue writer derives beside the record key.

#include "TestSupport.h"

#include "platform/StateFile.h"
#include "scan/NameFilter.h"
#include "scan/ScanValues.h"
#include "scan/ScanningFile.h"
#include "scan/StatisticsJob.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_ScanValues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checksum_data();
    void checksum();
    void stampAndCutoff_data();
    void stampAndCutoff();
    void filterWords_data();
    void filterWords();
    void filterTests_data();
    void filterTests();
    void previewBox_data();
    void previewBox();
    void resumeFile_data();
    void resumeFile();
};

void tst_ScanValues::checksum_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("expected");

    // Words 0 and 1: 0x0001 and 0xFFF9 (-7); word 0 is not used.
    QTest::newRow("negative word gives its magnitude's digit")
        << QByteArray::fromHex("0100f9ff") << true << QStringLiteral(".JPG 4 7") + QString(199, QLatin1Char('0'));
    QTest::newRow("odd length: the last byte is a low byte")
        << QByteArray::fromHex("00000d") << true << QStringLiteral(".JPG 3 3") + QString(199, QLatin1Char('0'));
    QTest::newRow("short file: zeros beyond its end")
        << QByteArray::fromHex("0000e803") << true << QStringLiteral(".JPG 4 0") + QString(199, QLatin1Char('0'));
    QByteArray full(600, '\0');
    for (int i = 0; i < 300; ++i) {
        full[2 * i] = char(i % 256);
        full[2 * i + 1] = 0;
    }
    QString digits;
    for (int i = 1; i <= 200; ++i)
        digits += QString::number(i % 256 % 10);
    QTest::newRow("only the first 402 bytes count") << full << true << QStringLiteral(".JPG 600 ") + digits;
    // Zeros would pass for a checksum and never be measured again.
    QTest::newRow("unreadable file: not gathered") << QByteArray(1234, 'x') << false << QStringLiteral(" ");
}

void tst_ScanValues::checksum()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, readable);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/f.jpg");
    QString text;
    if (readable) {
        QVERIFY(writeFile(path, content));
        text = MakeChecksum(QStringLiteral(".JPG"), dir.path() + QLatin1Char('/'), QStringLiteral("f.jpg"));
    } else {
        QCOMPARE(checksumText(QStringLiteral(".JPG"), content.size(), path), std::nullopt); // nothing to open
        text = MakeChecksum(QStringLiteral(".JPG"), dir.path() + QLatin1Char('/'), QStringLiteral("f.jpg"));
    }
    QCOMPARE(text, expected);
    if (readable)
        QCOMPARE(text.at(4), QLatin1Char(' '));
}

void tst_ScanValues::stampAndCutoff_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("stamp");
    QTest::addColumn<QString>("cutoff");
    QTest::newRow("January") << QDate(2027, 1, 15) << "202701"
                             << "202610";
    QTest::newRow("March") << QDate(2027, 3, 31) << "202703"
                           << "202612";
    QTest::newRow("April") << QDate(2027, 4, 1) << "202704"
                           << "202701";
    QTest::newRow("December") << QDate(2026, 12, 9) << "202612"
                              << "202609";
}

void tst_ScanValues::stampAndCutoff()
{
    QFETCH(QDate, today);
    QFETCH(QString, stamp);
    QFETCH(QString, cutoff);
    QCOMPARE(SessionStamp(today), stamp);
    QCOMPARE(PurgeCutoff(today), cutoff);
}

void tst_ScanValues::filterWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("one word, blanks kept") << " cat* " << QStringList { " CAT* ", " CAT* ", " CAT* " };
    QTest::newRow("empty") << "" << QStringList { "", "", "" };
    QTest::newRow("two words") << "a*,b*" << QStringList { "A*", "B*", "B*" };
    QTest::newRow("fourth word dropped") << "a,b,c,d" << QStringList { "A", "B", "C" };
    QTest::newRow("cut at the dot and trimmed") << " cat .jpg, dog.x" << QStringList { "CAT", "DOG", "DOG" };
}

void tst_ScanValues::filterWords()
{
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    const FilterWords w = splitFilterWords(text);
    QCOMPARE((QStringList { w.FilterWord1, w.FilterWord2, w.FilterWord3 }), words);
}

void tst_ScanValues::filterTests_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("notFilter");
    QTest::addColumn<bool>("scanned");
    QTest::addColumn<bool>("reactivated");
    QTest::newRow("star takes all") << "*"
                                    << "photo.jpg" << false << true << true;
    QTest::newRow("lower-case filter matches") << "cat*"
                                               << "Cat01.jpg" << false << true << true;
    QTest::newRow("no match") << "cat*"
                              << "dog.jpg" << false << false << false;
    QTest::newRow("reversed: no match is taken") << "cat*"
                                                 << "dog.jpg" << true << true << true;
    QTest::newRow("reversed: a match is left") << "cat*"
                                               << "cat.jpg" << true << false << false;
    QTest::newRow("digit wildcard") << "img##"
                                    << "IMG07.JPG" << false << true << true;
    QTest::newRow("second word") << "x*,d*"
                                 << "dog.jpg" << false << true << true;
    QTest::newRow("four characters: only re-activation takes it") << "*"
                                                                  << ".JPG" << false << false << true;
}

void tst_ScanValues::filterTests()
{
    QFETCH(QString, filter);
    QFETCH(QString, name);
    QFETCH(bool, notFilter);
    QFETCH(bool, scanned);
    QFETCH(bool, reactivated);
    const FilterWords w = splitFilterWords(filter);
    QCOMPARE(scanAccepts(w, name, QStringLiteral(".JPG"), notFilter), scanned);
    QCOMPARE(reactivationAccepts(w, name, QStringLiteral(".JPG"), notFilter), reactivated);
}

void tst_ScanValues::previewBox_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("box");
    QTest::newRow("square") << QSize(500, 500) << QSize(40, 40);
    QTest::newRow("wide") << QSize(800, 400) << QSize(40, 20);
    QTest::newRow("tall") << QSize(300, 600) << QSize(20, 40);
}

void tst_ScanValues::previewBox()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, box);
    QCOMPARE(previewSize(picture.width(), picture.height()), box);
}

void tst_ScanValues::resumeFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("index");
    QTest::newRow("written form") << QByteArray(" 2\r\n") << 2;
    QTest::newRow("blanks around") << QByteArray("  5  \r\n") << 5;
    QTest::newRow("not a number") << QByteArray("abc\r\n") << 0;
    QTest::newRow("a half rounds to even") << QByteArray("2.5\r\n") << 2;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("more than a state file holds") << QByteArray(" 2\r\n").append(MaxStateBytes, ' ') << 0;
}

void tst_ScanValues::resumeFile()
{
    QFETCH(QByteArray, content);
    QFETCH(int, index);
    QTemporaryDir dir;
    const QString path = scanningFilePath(dir.path());
    QCOMPARE(readResumeIndex(path), 0);
    QVERIFY(writeFile(path, content));
    QCOMPARE(readResumeIndex(path), index);
    QVERIFY(writeResumeIndex(path, index + 1));
    QCOMPARE(readFile(path), QByteArray(" ") + QByteArray::number(index + 1) + "\r\n");
}

QTEST_GUILESS_MAIN(tst_ScanValues)
#include "tst_ScanValues.moc"
