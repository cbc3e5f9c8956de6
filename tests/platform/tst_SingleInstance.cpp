#include "platform/SingleInstance.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(SingleInstance::Result)

namespace {

const QString lockName = QStringLiteral("tolq.lock");
using Result = SingleInstance::Result;

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
        QCOMPARE(first.acquire(), Result::Acquired);
        SingleInstance second(dir.path());
        QCOMPARE(second.acquire(), Result::HeldElsewhere);
        QCOMPARE(first.acquire(), Result::Acquired); // asking again keeps the lock
        QCOMPARE(second.acquire(), Result::HeldElsewhere);
    }

    void lockEndsWithItsHolder()
    {
        QTemporaryDir dir;
        {
            SingleInstance first(dir.path());
            QCOMPARE(first.acquire(), Result::Acquired);
        }
        SingleInstance second(dir.path());
        QCOMPARE(second.acquire(), Result::Acquired);
    }

    void leftoverLockFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Result>("result");
        QTest::newRow("holder is dead") << lockFileOf(deadPid()) << Result::Acquired;
        QTest::newRow("holder runs") << lockFileOf(QCoreApplication::applicationPid()) << Result::HeldElsewhere;
        QTest::newRow("empty") << QByteArray() << Result::Acquired;
        QTest::newRow("garbage") << QByteArray("not a lock\n") << Result::Acquired;
    }
    void leftoverLockFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(Result, result);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(lockName), content));
        SingleInstance instance(dir.path());
        QCOMPARE(instance.acquire(), result);
    }

    // An unreadable lock file is only cleared when nobody holds it.
    void unreadableLockOfARunningHolder()
    {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QCOMPARE(first.acquire(), Result::Acquired);
        QVERIFY(writeFile(dir.filePath(lockName), QByteArray()));
        SingleInstance second(dir.path());
        QCOMPARE(second.acquire(), Result::HeldElsewhere);
        QVERIFY(QFile::exists(dir.filePath(lockName)));
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_SingleInstance.moc"
