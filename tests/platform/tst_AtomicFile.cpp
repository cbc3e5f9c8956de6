// Files the program writes reach the disk whole or not at all: a failure at any step leaves the
// old file as it was and no temporary file behind.

#include "platform/AtomicFile.h"
#include "platform/StateFile.h"
#include "platform/TextLines.h"

#include "FileSystemFixtures.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <unistd.h>
#include <utility>

class tst_AtomicFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A real disk that fills up, for both writers every text file goes through, each step failing
    // under the test seam, and a line holding a line break, which no line file may take.
    void failedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("lines");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("failingStep"); // -1: the disk is full; -2: nothing fails
        QTest::newRow("full disk, settings lines") << true << QByteArray(40, 'n') << -1;
        QTest::newRow("full disk, more than is free") << true << QByteArray(64 * 1024, 'n') << -1;
        QTest::newRow("full disk, state file") << false << QByteArray(6, 'n') << -1;
        const char* steps[] = { "create", "write", "sync", "close", "rename" }; // in atomicfile::Step order
        for (int step = 0; step < 5; ++step)
            QTest::addRow("%s fails", steps[step]) << true << QByteArray(40, 'n') << step;
        const std::pair<const char*, const char*> lineBreaks[] { { "LF", "\n" }, { "CR", "\r" }, { "CRLF", "\r\n" } };
        for (const auto& [name, lineBreak] : lineBreaks) {
            QTest::addRow("%s in a settings line", name) << true << QByteArray("x") + lineBreak + "[] /etc/" << -2;
            QTest::addRow("%s in a state line", name) << false << QByteArray("7") + lineBreak + "8" << -2;
        }
    }
    void failedWriteKeepsTheOldFile()
    {
        QFETCH(bool, lines);
        QFETCH(QByteArray, text);
        QFETCH(int, failingStep);
        SmallTmpfs disk(32);
        QTemporaryDir plain;
        const bool fullDisk = failingStep == -1;
        if (fullDisk && !disk.mounted())
            QSKIP(qPrintable(disk.skipReason()));
        const QString dir = fullDisk ? disk.path() : plain.path();
        const QString path = dir + QStringLiteral("/TOLQ.INI");
        QVERIFY(writeFile(path, "OLD SETTINGS\r\n"));
        if (fullDisk)
            disk.fill();
        atomicfile::setFaultForTesting([&](atomicfile::Step at) { return int(at) == failingStep ? EIO : 0; });
        const QString line = QString::fromLatin1(text);
        const bool written = lines ? textlines::writeAtomically(path, { line }) : writeStateFile(path, line);
        atomicfile::setFaultForTesting({});
        QVERIFY(!written);
        QCOMPARE(readFile(path), QByteArray("OLD SETTINGS\r\n"));
        QStringList left = QDir(dir).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(QStringLiteral(".filler"));
        QCOMPARE(left, QStringList { "TOLQ.INI" });
    }
    // A writer killed between its create and its rename leaves its work file; the next write of
    // the same file removes it, but never a live writer's or another file's.
    void strayOfAGoneWriter_data()
    {
        QTest::addColumn<QString>("stray"); // DEAD and LIVE stand for such writers' numbers
        QTest::addColumn<bool>("removed");
        QTest::newRow("a dead writer's") << ".TOLQ.INI.DEAD-1.tmp" << true;
        QTest::newRow("a dead writer's first") << ".TOLQ.INI.DEAD-0.tmp" << true;
        QTest::newRow("a count with a leading zero") << ".TOLQ.INI.DEAD-00.tmp" << false;
        QTest::newRow("a live writer's") << ".TOLQ.INI.LIVE-1.tmp" << false;
        QTest::newRow("another file's") << ".Scanning.dat.DEAD-1.tmp" << false;
        QTest::newRow("not a name the program writes") << ".TOLQ.INI.+DEAD-1.tmp" << false;
    }
    void strayOfAGoneWriter()
    {
        QFETCH(QString, stray);
        QFETCH(bool, removed);
        const qint64 dead = goneProcessId();
        QVERIFY(dead > 0);
        stray.replace(QLatin1String("DEAD"), QString::number(dead)).replace(QLatin1String("LIVE"), QString::number(::getppid()));
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(stray), "half"));
        QVERIFY(textlines::writeAtomically(dir.filePath(QStringLiteral("TOLQ.INI")), { QStringLiteral("NEW") }));
        QCOMPARE(QFile::exists(dir.filePath(stray)), !removed);
    }
};

QTEST_GUILESS_MAIN(tst_AtomicFile)
#include "tst_AtomicFile.moc"
