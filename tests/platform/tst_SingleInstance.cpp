#include "platform/SingleInstance.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString lockName = QStringLiteral("tolq.lock");

// The lock file a holder with the given PID would leave: the real format of this Qt, with the
// owner's PID swapped in.
QByteArray lockFileOf(qint64 pid)
{
    QTemporaryDir dir;
    QByteArray content;
    {
        QLockFile real(dir.filePath(lockName));
        if (!real.tryLock(0))
            return {};
        content = readFile(dir.filePath(lockName));
    }
    const qsizetype endOfPid = content.indexOf('\n');
    return QByteArray::number(pid) + content.mid(endOfPid);
}

// The PID of a process that has ended and been reaped.
qint64 deadPid()
{
    QProcess process;
    process.start(QStringLiteral("/bin/true"), {});
    if (!process.waitForStarted())
        return 0;
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

} // namespace

class tst_SingleInstance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void secondInstanceRefusedWhileFirstHolds()
    {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QVERIFY(first.acquire());
        SingleInstance second(dir.path());
        QVERIFY(!second.acquire());
        QVERIFY(first.acquire()); // asking again keeps the lock
        QVERIFY(!second.acquire());
    }

    void lockEndsWithItsHolder()
    {
        QTemporaryDir dir;
        {
            SingleInstance first(dir.path());
            QVERIFY(first.acquire());
        }
        SingleInstance second(dir.path());
        QVERIFY(second.acquire());
    }

    void leftoverLockFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("acquired");
        QTest::newRow("holder is dead") << lockFileOf(deadPid()) << true;
        QTest::newRow("holder runs") << lockFileOf(QCoreApplication::applicationPid()) << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("garbage") << QByteArray("not a lock\n") << true;
    }
    void leftoverLockFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, acquired);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(lockName), content));
        SingleInstance instance(dir.path());
        QCOMPARE(instance.acquire(), acquired);
    }

    // An unreadable lock file is only cleared when nobody holds it.
    void unreadableLockOfARunningHolder()
    {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QVERIFY(first.acquire());
        QVERIFY(writeFile(dir.filePath(lockName), QByteArray()));
        SingleInstance second(dir.path());
        QVERIFY(!second.acquire());
        QVERIFY(QFile::exists(dir.filePath(lockName)));
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_SingleInstance.moc"
