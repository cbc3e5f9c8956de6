// Files the program writes reach the disk whole or not at all: a failure at any step leaves the
// old file as it was and no temporary file behind.

#include "platform/AtomicFile.h"
#include "platform/StateFile.h"
#include "platform/TextLines.h"

#include "FileSystemFixtures.h"
#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

class tst_AtomicFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A real disk that fills up, for both writers every text file goes through, and each step
    // failing under the test seam.
    void failedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("lines");
        QTest::addColumn<int>("newBytes");
        QTest::addColumn<int>("failingStep"); // -1: the disk is full
        QTest::newRow("full disk, settings lines") << true << 40 << -1;
        QTest::newRow("full disk, more than is free") << true << 64 * 1024 << -1;
        QTest::newRow("full disk, state file") << false << 6 << -1;
        const char* steps[] = { "create", "write", "sync", "close", "rename" }; // in atomicfile::Step order
        for (int step = 0; step < 5; ++step)
            QTest::addRow("%s fails", steps[step]) << true << 40 << step;
    }
    void failedWriteKeepsTheOldFile()
    {
        QFETCH(bool, lines);
        QFETCH(int, newBytes);
        QFETCH(int, failingStep);
        SmallTmpfs disk(32);
        QTemporaryDir plain;
        if (failingStep < 0 && !disk.mounted())
            QSKIP(qPrintable(disk.skipReason()));
        const QString dir = failingStep < 0 ? disk.path() : plain.path();
        const QString path = dir + QStringLiteral("/TOLQ.INI");
        QVERIFY(writeFile(path, "OLD SETTINGS\r\n"));
        if (failingStep < 0)
            disk.fill();
        atomicfile::setFaultForTesting([&](atomicfile::Step at) { return int(at) == failingStep ? EIO : 0; });
        const QByteArray bytes(newBytes, 'n');
        const bool written
            = lines ? textlines::writeAtomically(path, { QString::fromLatin1(bytes) }) : writeStateFile(path, bytes);
        atomicfile::setFaultForTesting({});
        QVERIFY(!written);
        QCOMPARE(readFile(path), QByteArray("OLD SETTINGS\r\n"));
        QStringList left = QDir(dir).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(QStringLiteral(".filler"));
        QCOMPARE(left, QStringList { "TOLQ.INI" });
    }
};

QTEST_GUILESS_MAIN(tst_AtomicFile)
#include "tst_AtomicFile.moc"
