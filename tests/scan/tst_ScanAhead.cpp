// The measuring threads read directories and measure files ahead of the loop, across entries
// and types: whatever the thread count, a run writes the same rows and shows the same progress,
// also where an entry's opening steps change its directory after it was read ahead.

#include "ImageSamples.h"
#include "ScanFixture.h"

#include <QtTest>

namespace {

// Lets a test act when the user is asked, as the user would (load a disk, then press OK).
class ActingPrompter : public ScriptedPrompter
{
public:
    MsgAnswer ask(const Message& message) override
    {
        if (onAsk)
            onAsk();
        return ScriptedPrompter::ask(message);
    }
    std::function<void()> onAsk;
};

VolumeInfo removable(const QString& mountPoint, const QString& label)
{
    VolumeInfo volume;
    volume.mountPoint = mountPoint;
    volume.label = label;
    volume.kind = DriveKind::Removable;
    return volume;
}

// The same tree, settings and actions for every thread count; returns what changes between the
// fresh run and the rescan.
std::function<void()> layout(const QString& name, ScanFixture& f, ActingPrompter& prompter)
{
    const QStringList types { ".JPG", ".PNG", ".BMP", ".GIF", ".TIF" };
    for (const QString& type : types)
        f.setType(qPrintable(type), true);
    f.settings.gather = true;
    const auto add = [&f](const QString& dir) { f.settings.directories << f.entry(dir); };
    if (name == QLatin1String("mixed")) {
        for (int d = 0; d < 16; ++d) {
            const QString dir = QStringLiteral("d%1").arg(d, 2, 10, QLatin1Char('0'));
            QDir().mkpath(f.dir(dir));
            for (int i = 0; i < d % 4; ++i)
                f.image(dir, QStringLiteral("p%1.%2").arg(i).arg(i % 2 ? "png" : "jpg"), d * 7 + i, QSize(100, 90 + d));
            if (d % 3 == 0)
                f.bytes(dir, "s." + types.at(d % 5).mid(1).toLower(), ImageSamples::sample(types.at(d % 5)).bytes);
            if (d % 5 == 1)
                f.bytes(dir, QStringLiteral("broken.gif"), QByteArray(200, char('a' + d)));
            add(dir);
        }
        return {};
    }
    for (const QString dir : { "a", "b", "c" }) {
        f.image(dir, QStringLiteral("one.jpg"), dir.at(0).unicode());
        add(dir);
    }
    if (name == QLatin1String("fix jpeg")) {
        f.settings.fixJpeg = true;
        f.image(QStringLiteral("c"), QStringLiteral("two.jpeg"), 9);
    } else if (name == QLatin1String("late directory")) {
        add(QStringLiteral("late"));
        f.view.onNumber = [&f](const QString& number) {
            if (number == QLatin1String("2 found..."))
                f.image(QStringLiteral("late"), QStringLiteral("new.png"), 5);
        };
    } else if (name == QLatin1String("same key")) {
        // One key for both in the plain form: the rescan must give each its own row again.
        for (const QString dir : { "p", "q" }) {
            f.image(dir, QStringLiteral("same.jpg"), 8);
            add(dir);
        }
        return [&f] { f.execute(QStringLiteral("UPDATE FILES SET PXLRAY = ' ', RGB = ' '")); };
    } else {
        // The last entry's directory is on a disk of another label until the user loads the right one.
        f.session.DisableFilePolling = false;
        f.volumes.setTable({ removable(f.tree(), QStringLiteral("TEST")),
            removable(f.dir(QStringLiteral("disk")).chopped(1), QStringLiteral("OTHER")) });
        f.image(QStringLiteral("disk/photos"), QStringLiteral("wrong.jpg"), 6);
        add(QStringLiteral("disk/photos"));
        prompter.onAsk = [&f] {
            QFile::remove(f.dir(QStringLiteral("disk/photos")) + QStringLiteral("wrong.jpg"));
            f.image(QStringLiteral("disk/photos"), QStringLiteral("right.jpg"), 7);
            f.volumes.setTable({ removable(f.tree(), QStringLiteral("TEST")) });
        };
    }
    return {};
}

// The rows after a fresh run, in which every file is measured ahead of the loop, and after a
// rescan; then the progress and the messages. Notes the most files the process held open.
QStringList runWith(const QString& name, int threads, int* mostOpen)
{
    ScanFixture f;
    ActingPrompter prompter;
    const std::function<void()> betweenRuns = layout(name, f, prompter);
    f.view.onNumber = [mostOpen, next = f.view.onNumber](const QString& number) {
        *mostOpen = qMax(*mostOpen, int(QDir(QStringLiteral("/proc/self/fd")).count()));
        if (next)
            next(number);
    };
    QStringList seen;
    for (int run = 0; run < 2; ++run) {
        if (run == 1 && betweenRuns)
            betweenRuns();
        PreScanConfig config { f.programDirectory(), QString(), threads, f.today };
        PreScanEngine engine(
            f.settings, f.session, config, PreScanPorts { prompter, f.yielder, f.sound, f.volumes, f.view });
        if (!engine.openCatalogue() || engine.RunPreScan() != PreScanEngine::Outcome::Completed)
            return {};
        engine.unload();
        seen << rowTexts(f.rows(), f.tree());
    }
    return seen << f.view.numbers << prompter.texts().replaceInStrings(f.tree(), QStringLiteral("<tree>"));
}

} // namespace

class tst_ScanAhead : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eightThreadsEqualOneThread_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("files");
        QTest::newRow("many small directories of mixed types") << "mixed" << 33;
        QTest::newRow(".jpeg files renamed when their entry comes") << "fix jpeg" << 4;
        QTest::newRow("a directory that appears after it was read ahead") << "late directory" << 4;
        QTest::newRow("a disk of another label, changed at the prompt") << "other disk" << 4;
        QTest::newRow("one picture in two directories, measured again") << "same key" << 5;
    }
    void eightThreadsEqualOneThread()
    {
        QFETCH(QString, name);
        QFETCH(int, files);
        int oneOpen = 0;
        int eightOpen = 0;
        const QStringList one = runWith(name, 1, &oneOpen);
        QCOMPARE(one.count(QStringLiteral("%1 found...").arg(files)), 2);
        QCOMPARE(one.count(QStringLiteral("%1 found...").arg(files + 1)), 0);
        QCOMPARE(runWith(name, 8, &eightOpen), one);
        // Files ahead from many directories do not hold them all open: a file a worker and a
        // directory or two beside what one thread holds.
        QVERIFY2(eightOpen <= oneOpen + 8 + 2, qPrintable(QStringLiteral("%1, %2").arg(oneOpen).arg(eightOpen)));
    }
};

QTEST_GUILESS_MAIN(tst_ScanAhead)
#include "tst_ScanAhead.moc"
