#include "platform/Yielder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <dlfcn.h>
#include <sys/time.h>
#include <time.h>

namespace {

// How far this test has set the wall clock, in seconds. The time-of-day calls below stand in for
// the C library's in this program and in Qt and add it; the monotonic clocks are left alone.
std::atomic<long> wallShift { 0 };

template <typename Function> Function realFunction(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int clock_gettime(clockid_t clock, struct timespec* time) noexcept
{
    static const auto real = realFunction<int (*)(clockid_t, struct timespec*)>("clock_gettime");
    const int result = real(clock, time);
    if (result == 0 && (clock == CLOCK_REALTIME || clock == CLOCK_REALTIME_COARSE))
        time->tv_sec += wallShift.load();
    return result;
}

extern "C" int gettimeofday(struct timeval* __restrict time, void* __restrict zone) noexcept
{
    static const auto real = realFunction<int (*)(struct timeval*, void*)>("gettimeofday");
    const int result = real(time, zone);
    if (result == 0)
        time->tv_sec += wallShift.load();
    return result;
}

extern "C" time_t time(time_t* stored) noexcept
{
    static const auto real = realFunction<time_t (*)(time_t*)>("time");
    const time_t now = real(nullptr) + wallShift.load();
    if (stored)
        *stored = now;
    return now;
}

class tst_Yielder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { wallShift = 0; }

    // Drawing at most every 20 ms and the pause wait keep their pace when the wall clock jumps.
    void pacingKeepsToRealTime_data()
    {
        QTest::addColumn<long>("shift");
        QTest::addColumn<bool>("duringPause");
        QTest::newRow("clock set back after a yield") << -3600L << false;
        QTest::newRow("clock set back during a pause") << -3600L << true;
        QTest::newRow("clock set forward during a pause") << 3600L << true;
    }
    void pacingKeepsToRealTime()
    {
        QFETCH(long, shift);
        QFETCH(bool, duringPause);
        EventLoopYielder yielder;
        if (!duringPause) {
            yielder.yield();
            wallShift = shift;
            QThread::msleep(30);
            QVERIFY(yielder.due());
            return;
        }
        // A pause of 100 ms; the clock jumps 30 ms into it. A wait that still runs after 3 s has
        // stalled: the clock is put right to let it end.
        QObject context;
        bool stalled = false;
        QTimer::singleShot(30, &context, [shift] { wallShift = shift; });
        QTimer::singleShot(3000, &context, [&stalled] {
            stalled = true;
            wallShift = 0;
        });
        QElapsedTimer paused;
        paused.start();
        yielder.sleep(100);
        const qint64 waited = paused.elapsed();
        QVERIFY2(!stalled, "the pause waited for the clock to catch up");
        QVERIFY2(waited >= 100, qPrintable(QStringLiteral("the pause ended after %1 ms").arg(waited)));
    }
};

QTEST_GUILESS_MAIN(tst_Yielder)
#include "tst_Yielder.moc"
