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
#include <cstring>
#include <sys/stat.h>

namespace {

const QByteArray OldContent = "OLD SETTINGS\r\n";

// The two writers every text file of the program goes through.
bool writeWith(const QString& writer, const QString& path, const QByteArray& bytes)
{
    if (writer == QLatin1String("lines"))
        return textlines::writeAtomically(path, QString::fromLatin1(bytes).split(QStringLiteral("\r\n")));
    return writeStateFile(path, bytes);
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class tst_AtomicFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { atomicfile::setFaultForTesting({}); }

    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<int>("newBytes");
        QTest::newRow("settings lines, more than is free") << "lines" << 64 * 1024;
        QTest::newRow("settings lines, a few bytes") << "lines" << 40;
        QTest::newRow("state file") << "state" << 6;
    }
    void fullDiskKeepsTheOldFile()
    {
        QFETCH(QString, writer);
        QFETCH(int, newBytes);
        SmallTmpfs disk(32);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.skipReason()));
        const QString path = disk.path() + QStringLiteral("/TOLQ.INI");
        QVERIFY(writeFile(path, OldContent));
        disk.fill();
        QVERIFY(!writeWith(writer, path, QByteArray(newBytes, 'n')));
        QCOMPARE(readFile(path), OldContent);
        QCOMPARE(entries(disk.path()), (QStringList { ".filler", "TOLQ.INI" }));
    }

    void failedStepKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("error");
        QTest::newRow("create") << int(atomicfile::Step::Create) << EACCES;
        QTest::newRow("write") << int(atomicfile::Step::Write) << ENOSPC;
        QTest::newRow("sync") << int(atomicfile::Step::Sync) << EIO;
        QTest::newRow("close") << int(atomicfile::Step::Close) << EDQUOT;
        QTest::newRow("rename") << int(atomicfile::Step::Rename) << EXDEV;
    }
    void failedStepKeepsTheOldFile()
    {
        QFETCH(int, step);
        QFETCH(int, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.lst"));
        QVERIFY(writeFile(path, OldContent));
        QList<atomicfile::Step> seen;
        atomicfile::setFaultForTesting([&](atomicfile::Step at) {
            seen << at;
            return at == atomicfile::Step(step) ? error : 0;
        });
        QString reason;
        QVERIFY(!atomicfile::write(path, "NEW\r\n", &reason));
        QCOMPARE(seen.last(), atomicfile::Step(step));
        QCOMPARE(readFile(path), OldContent);
        QCOMPARE(entries(dir.path()), QStringList { "list.lst" });
        QVERIFY2(reason.contains(path) && reason.contains(QString::fromLocal8Bit(strerror(error))), qPrintable(reason));

        // The same write without the fault goes through every step and replaces the file.
        seen.clear();
        atomicfile::setFaultForTesting([&](atomicfile::Step at) {
            seen << at;
            return 0;
        });
        QVERIFY(atomicfile::write(path, "NEW\r\n"));
        QCOMPARE(readFile(path), QByteArray("NEW\r\n"));
        QCOMPARE(seen,
            (QList<atomicfile::Step> { atomicfile::Step::Create, atomicfile::Step::Write, atomicfile::Step::Sync,
                atomicfile::Step::Close, atomicfile::Step::Rename }));
        QCOMPARE(entries(dir.path()), QStringList { "list.lst" });
    }

    void keepsTheModeOfTheFileItReplaces_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("expected");
        QTest::newRow("new file: the usual mode") << false << 0644;
        QTest::newRow("replaced file keeps its mode") << true << 0600;
    }
    void keepsTheModeOfTheFileItReplaces()
    {
        QFETCH(bool, existing);
        QFETCH(int, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TOLQ.INI"));
        if (existing) {
            QVERIFY(writeFile(path, OldContent));
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        }
        const mode_t previous = umask(022);
        QVERIFY(atomicfile::write(path, "NEW\r\n"));
        umask(previous);
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 07777), expected);
    }

    void refusesADirectoryInTheWay()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("TOLQ.INI"))));
        QVERIFY(!atomicfile::write(dir.filePath(QStringLiteral("TOLQ.INI")), "NEW\r\n"));
        QVERIFY(entries(dir.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_AtomicFile)
#include "tst_AtomicFile.moc"
