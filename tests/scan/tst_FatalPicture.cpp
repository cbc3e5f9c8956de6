// A picture that ends the process while it is read, in a child process killed at the opening of
// that file: the runs after it pass that picture over and no other, tell it, and keep the rows
// read before it.

#include "CallStops.h"
#include "FileSystemFixtures.h"
#include "ScanFixture.h"
#include "TestSupport.h"

#include "scan/DecodingJournal.h"

#include <QtTest>

#include <sys/stat.h>

class tst_FatalPicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void passedOverAloneWithinTwoResumes_data();
    void passedOverAloneWithinTwoResumes();
    void blameReadBack_data();
    void blameReadBack();
};

void tst_FatalPicture::passedOverAloneWithinTwoResumes_data()
{
    QTest::addColumn<int>("threads");
    QTest::addColumn<int>("perDirectory");
    QTest::newRow("one thread, 4 directories of 8") << 1 << 8;
    QTest::newRow("four threads, 4 directories of 8") << 4 << 8;
    QTest::newRow("four threads, 4 directories of 150") << 4 << 150;
}

void tst_FatalPicture::passedOverAloneWithinTwoResumes()
{
    QFETCH(int, threads);
    QFETCH(int, perDirectory);
    ScanFixture f;
    f.setType(".JPG", false);
    f.setType(".PNG", true);
    f.settings.gather = true;
    QStringList before; // the pictures the scan takes before the fatal one
    QString fatal;
    for (const QString dir : { "a", "b", "c", "d" }) {
        for (int i = 0; i < perDirectory; ++i) {
            const QString name = QStringLiteral("p%1.png").arg(i, 3, 10, QLatin1Char('0'));
            // Its name sorts before the picture of the same number.
            if (dir == QLatin1String("c") && i == perDirectory / 2) {
                fatal = f.dir(dir) + QStringLiteral("p%1-fatal.png").arg(i, 3, 10, QLatin1Char('0'));
                f.image(dir, QFileInfo(fatal).fileName(), 999);
            }
            if (fatal.isEmpty())
                before << f.dir(dir) + name;
            f.image(dir, name, i);
        }
        f.settings.directories << f.entry(dir);
    }
    before.sort();
    const auto run = [&] {
        return runInChild(
            [&] {
                stopAtCall({ CallKind::Open }, "-fatal.png", StopWhen::Before);
                f.run(threads);
                return f.prompter.texts().join(QLatin1Char('\n'));
            },
            120);
    };
    const auto measured = [&] {
        QStringList paths;
        for (const CatalogueRecord& r : f.rows(QStringLiteral("length(PXLRAY) = 100")))
            paths << r.PATH + r.DISKNAME;
        paths.sort();
        return paths;
    };

    QCOMPARE(run(), stoppedAnswer());
    // The next run reads the picture on its own, after committing what it read before.
    QCOMPARE(run(), stoppedAnswer());
    QCOMPARE(measured(), before);
    const QString told = run();
    QCOMPARE(told,
        QStringLiteral("1 files were passed over: the program ended while it was reading them when it last ran, so "
                       "they are catalogued as files that cannot be read.\r\r")
            + fatal);
    QCOMPARE(measured().size(), 4 * perDirectory);
    const QList<CatalogueRecord> fatalRow = f.rows(QStringLiteral("PATH || DISKNAME = ?"), { fatal });
    QCOMPARE(fatalRow.size(), 1);
    QCOMPARE(fatalRow.first().CHECKSUM, QStringLiteral(" "));
    // Nothing left for a next run to resume or to suspect.
    QCOMPARE(QDir(f.programDirectory()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// What the next run takes from the file the last one left.
void tst_FatalPicture::blameReadBack_data()
{
    QTest::addColumn<QString>("left"); // how the last run left the file
    QTest::addColumn<QStringList>("alone");
    QTest::addColumn<QStringList>("suspects");
    QTest::newRow("read alone") << "alone" << QStringList { "/p/a.png" } << QStringList { "/p/s.png" };
    QTest::newRow("read beside others") << "beside" << QStringList {}
                                        << QStringList { "/p/a.png", "/p/b.png", "/p/s.png" };
    QTest::newRow("a shorter record over a longer one") << "shorter" << QStringList { "/p/a.png" } << QStringList {};
    // A power cut over an unsynced record leaves parts of two.
    QTest::newRow("torn between the two kinds") << "torn" << QStringList {} << QStringList { "/p/a.png", "/p/b.png" };
    QTest::newRow("cut short") << "cut" << QStringList {} << QStringList {};
    QTest::newRow("a FIFO") << "fifo" << QStringList {} << QStringList {};
}

void tst_FatalPicture::blameReadBack()
{
    QFETCH(QString, left);
    QFETCH(QStringList, alone);
    QFETCH(QStringList, suspects);
    QTemporaryDir dir;
    const QString path = DecodingJournal::pathIn(dir.path());
    {
        DecodingJournal journal(path);
        if (left == QLatin1String("alone"))
            QVERIFY(journal.record({ "/p/a.png" }, true, { "/p/s.png" }, true));
        if (left == QLatin1String("beside"))
            QVERIFY(journal.record({ "/p/a.png", "/p/b.png" }, false, { "/p/s.png", "/p/a.png" }, false));
        if (left == QLatin1String("shorter")) {
            QVERIFY(journal.record({ "/p/long/b.png", "/p/long/c.png" }, false, {}, false));
            QVERIFY(journal.record({ "/p/a.png" }, true, {}, false));
        }
    }
    if (left == QLatin1String("torn"))
        QVERIFY(writeFile(path, QByteArray("20\nA/p/a.png\0R/p/b.png\0", 23)));
    if (left == QLatin1String("cut"))
        QVERIFY(writeFile(path, QByteArray("40\nA/p/a.png\0", 13)));
    if (left == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const DecodingJournal::Contents contents = DecodingJournal::read(path);
    QStringList readAlone = contents.alone.values();
    QStringList readSuspects = contents.suspects.values();
    readAlone.sort();
    readSuspects.sort();
    QCOMPARE(readAlone, alone);
    QCOMPARE(readSuspects, suspects);
}

QTEST_GUILESS_MAIN(tst_FatalPicture)
#include "tst_FatalPicture.moc"
