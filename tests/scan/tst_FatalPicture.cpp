// A picture that ends the process while it is read, in a child process killed at the opening of
// that file: the runs after it pass that picture over and no other, tell it, and keep the rows
// read before it.

#include "CallStops.h"
#include "FileSystemFixtures.h"
#include "ScanFixture.h"
#include "TestSupport.h"

#include "scan/DecodingJournal.h"

#include <QtTest>

#include <climits>
#include <sys/resource.h>
#include <sys/stat.h>

class tst_FatalPicture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void passedOverAloneWithinTwoResumes_data();
    void passedOverAloneWithinTwoResumes();
    void blameReadBack_data();
    void blameReadBack();
    void removesOnlyItsOwnRecord_data();
    void removesOnlyItsOwnRecord();
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

namespace {

// Paths of exactly the bytes of the longest path that can be opened.
QStringList longestPaths(const QString& prefix, qsizetype count)
{
    QStringList paths;
    for (qsizetype i = 0; i < count; ++i) {
        const QString head = QStringLiteral("/p/%1%2-").arg(prefix).arg(i, 5, 10, QLatin1Char('0'));
        paths << head + QString(PATH_MAX - 1 - head.size(), QLatin1Char('x'));
    }
    return paths;
}

QStringList numberedPaths(qsizetype count)
{
    QStringList paths;
    for (qsizetype i = 0; i < count; ++i)
        paths << QStringLiteral("/p/s%1.png").arg(i, 5, 10, QLatin1Char('0'));
    return paths;
}

QStringList sorted(QStringList paths)
{
    paths.sort();
    return paths;
}

constexpr qsizetype Reading = DecodingJournal::MostEntries / 2;

} // namespace

// What the next run takes from the file the last one left. Nothing that is not a whole record as
// the program writes it names anything; the reading ends at once whatever the file holds.
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
    QTest::newRow("a link to a whole record") << "link" << QStringList {} << QStringList {};
    QTest::newRow("40 MB of NUL bytes after a length line") << "nuls" << QStringList {} << QStringList {};
    QTest::newRow("a length near 2^63") << "huge length" << QStringList {} << QStringList {};
    QTest::newRow("an empty entry") << "empty entry" << QStringList {} << QStringList {};
    QTest::newRow("an unknown tag") << "unknown tag" << QStringList {} << QStringList {};
    QTest::newRow("more entries than a record holds") << "too many" << QStringList {} << QStringList {};
    QTest::newRow("as many entries as a record holds, each of the longest path")
        << "bound" << QStringList {} << sorted(longestPaths("r", Reading) + longestPaths("s", Reading));
    // The pictures read are all kept; of the suspects, those first in name order.
    QTest::newRow("more suspects than a record holds")
        << "many suspects" << QStringList {}
        << sorted(QStringList { "/p/a.png", "/p/b.png" } + numberedPaths(DecodingJournal::MostEntries - 2));
}

void tst_FatalPicture::blameReadBack()
{
    QFETCH(QString, left);
    QFETCH(QStringList, alone);
    QFETCH(QStringList, suspects);
    QTemporaryDir dir;
    const QString path = DecodingJournal::pathIn(dir.path());
    {
        DecodingJournal journal(left == QLatin1String("link") ? path + ".elsewhere" : path);
        if (left == QLatin1String("alone"))
            QVERIFY(journal.record({ "/p/a.png" }, true, { "/p/s.png" }, true));
        if (left == QLatin1String("beside"))
            QVERIFY(journal.record({ "/p/a.png", "/p/b.png" }, false, { "/p/s.png", "/p/a.png" }, false));
        if (left == QLatin1String("shorter")) {
            QVERIFY(journal.record({ "/p/long/b.png", "/p/long/c.png" }, false, {}, false));
            QVERIFY(journal.record({ "/p/a.png" }, true, {}, false));
        }
        if (left == QLatin1String("link")) {
            QVERIFY(journal.record({ "/p/a.png" }, true, {}, false));
            QVERIFY(QFile::link(path + ".elsewhere", path));
        }
        if (left == QLatin1String("bound")) {
            const QStringList read = longestPaths("s", Reading);
            QVERIFY(journal.record(longestPaths("r", Reading), false, QSet<QString>(read.begin(), read.end()), false));
        }
        if (left == QLatin1String("many suspects")) {
            const QStringList carried = numberedPaths(DecodingJournal::MostEntries + 5);
            QVERIFY(journal.record(
                { "/p/a.png", "/p/b.png" }, false, QSet<QString>(carried.begin(), carried.end()), false));
        }
    }
    if (left == QLatin1String("torn"))
        QVERIFY(writeFile(path, QByteArray("20\nA/p/a.png\0R/p/b.png\0", 23)));
    if (left == QLatin1String("cut"))
        QVERIFY(writeFile(path, QByteArray("40\nA/p/a.png\0", 13)));
    if (left == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (left == QLatin1String("nuls"))
        QVERIFY(writeFile(path, "41943040\n" + QByteArray(40 * 1024 * 1024, '\0')));
    if (left == QLatin1String("huge length"))
        QVERIFY(writeFile(path, QByteArray("9223372036854775800\nA/p/a.png\0", 30)));
    if (left == QLatin1String("empty entry"))
        QVERIFY(writeFile(path, QByteArray("11\nA/p/a.png\0\0", 14)));
    if (left == QLatin1String("unknown tag"))
        QVERIFY(writeFile(path, QByteArray("20\nA/p/a.png\0X/p/b.png\0", 23)));
    if (left == QLatin1String("too many")) {
        QByteArray body;
        for (const QString& picture : numberedPaths(DecodingJournal::MostEntries + 1))
            body += 'S' + picture.toUtf8() + '\0';
        QVERIFY(writeFile(path, QByteArray::number(body.size()) + '\n' + body));
    }
    // In a child of bounded memory: a reading that does not end fails the row instead of holding
    // the run or the machine's memory.
    const QString answer = runInChild(
        [&] {
#if !defined(__SANITIZE_ADDRESS__) // whose shadow already spans terabytes: the deadline bounds it
            const rlimit memory { rlim_t(1) << 30, rlim_t(1) << 30 };
            ::setrlimit(RLIMIT_AS, &memory);
#endif
            const DecodingJournal::Contents contents = DecodingJournal::read(path);
            return sorted(contents.alone.values()).join('\n') + "\n--\n"
                + sorted(contents.suspects.values()).join('\n');
        },
        10);
    QCOMPARE(answer.section("\n--\n", 0, 0).split('\n', Qt::SkipEmptyParts), alone);
    QCOMPARE(answer.section("\n--\n", 1).split('\n', Qt::SkipEmptyParts), suspects);
}

// A finished run removes its record, and nothing that has taken the record's place.
void tst_FatalPicture::removesOnlyItsOwnRecord_data()
{
    QTest::addColumn<QString>("standIn"); // what stands at the path when the run ends; empty: the record
    QTest::addColumn<bool>("recorded"); // whether the run wrote a record before
    QTest::newRow("the record it wrote") << "" << true;
    QTest::newRow("the record an earlier run left") << "" << false;
    QTest::newRow("another file moved into its place") << "other file" << true;
    for (const QString standIn : { "FIFO", "socket", "dangling link", "link to a file", "directory" }) {
        QTest::newRow(qPrintable(standIn + " in its place")) << standIn << true;
        QTest::newRow(qPrintable(standIn + " from the start")) << standIn << false;
    }
}

void tst_FatalPicture::removesOnlyItsOwnRecord()
{
    QFETCH(QString, standIn);
    QFETCH(bool, recorded);
    QTemporaryDir dir;
    const QString path = DecodingJournal::pathIn(dir.path());
    if (!recorded && standIn.isEmpty())
        QVERIFY(writeFile(path, QByteArray("10\nS/p/a.png\0", 13)));
    if (!recorded && !standIn.isEmpty())
        QVERIFY(putStandIn(path, standIn));
    DecodingJournal journal(path);
    if (recorded)
        QVERIFY(journal.record({ "/p/a.png" }, false, {}, false));
    else if (!standIn.isEmpty())
        QVERIFY(!journal.record({ "/p/a.png" }, false, {}, false));
    if (recorded && standIn == QLatin1String("other file")) {
        QVERIFY(writeFile(path + ".other", "0\n"));
        QCOMPARE(::rename(QFile::encodeName(path + ".other").constData(), QFile::encodeName(path).constData()), 0);
    } else if (recorded && !standIn.isEmpty()) {
        QVERIFY(putStandIn(path, standIn));
    }
    struct stat before = {};
    ::lstat(QFile::encodeName(path).constData(), &before);
    journal.remove();
    struct stat after = {};
    const bool stands = ::lstat(QFile::encodeName(path).constData(), &after) == 0;
    QCOMPARE(stands, !standIn.isEmpty());
    if (stands) {
        QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        QCOMPARE(after.st_ino, before.st_ino);
    }
}

QTEST_GUILESS_MAIN(tst_FatalPicture)
#include "tst_FatalPicture.moc"
