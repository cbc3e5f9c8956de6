// The measuring threads read directories and measure files ahead of the loop, across entries
// and types: whatever the thread count, a run writes the same rows and shows the same progress,
// also where an entry's opening steps change its directory after it was read ahead.

#include "ImageSamples.h"
#include "ScanFixture.h"

#include <QScopeGuard>
#include <QtTest>

#include <sys/resource.h>

namespace {

// Lets a test act when the user is asked, as the user would (load a disk, then press OK).
class ActingPrompter : public ScriptedPrompter
{
public:
    MsgAnswer ask(const Message& message) override
    {
        if (onAsk)
            onAsk(message);
        return ScriptedPrompter::ask(message);
    }
    std::function<void(const Message&)> onAsk;
};

struct Outcome
{
    QStringList rows;
    QStringList numbers;
    QStringList texts;
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
    if (name == QLatin1String("many small directories of mixed types")) {
        for (int d = 0; d < 16; ++d) {
            const QString dir = QStringLiteral("d%1").arg(d, 2, 10, QLatin1Char('0'));
            for (int i = 0; i < d % 4; ++i)
                f.image(dir, QStringLiteral("p%1.%2").arg(i).arg(i % 2 ? "png" : "jpg"), d * 7 + i,
                    QSize(100 + 9 * i, 100 + d));
            if (d % 3 == 0)
                f.bytes(dir, QStringLiteral("s.") + types.at(d % 5).mid(1).toLower(),
                    ImageSamples::sample(types.at(d % 5)).bytes);
            if (d % 5 == 1)
                f.bytes(dir, QStringLiteral("broken.gif"), QByteArray(200, char('a' + d)));
            QDir().mkpath(f.dir(dir));
            f.settings.directories << f.entry(dir);
        }
        return {};
    }
    if (name == QLatin1String("a file in each of many directories")) {
        f.settings.gather = false;
        f.settings.mode = ComparisonMode::Checksum;
        for (int d = 0; d < 40; ++d) {
            const QString dir = QStringLiteral("m%1").arg(d, 3, 10, QLatin1Char('0'));
            f.bytes(dir, QStringLiteral("f.jpg"), QByteArray::number(d));
            f.settings.directories << f.entry(dir);
        }
        return {};
    }
    for (const char* dir : { "a", "b", "c" }) {
        f.image(QLatin1String(dir), QStringLiteral("one.jpg"), dir[0]);
        f.settings.directories << f.entry(QLatin1String(dir));
    }
    if (name == QLatin1String(".jpeg files renamed when their entry comes")) {
        f.settings.fixJpeg = true;
        f.image(QStringLiteral("c"), QStringLiteral("two.jpeg"), 9);
        return {};
    }
    if (name == QLatin1String("a directory that appears after it was read ahead")) {
        f.settings.directories << f.entry(QStringLiteral("late"));
        f.view.onNumber = [&f](const QString& number) {
            if (number == QLatin1String("2 found..."))
                f.image(QStringLiteral("late"), QStringLiteral("new.png"), 5);
        };
        return [&f] { f.view.onNumber = nullptr; };
    }
    if (name == QLatin1String("one picture in two directories, measured again")) {
        // One key for both in the plain form: the rescan must give each its own row again.
        for (const char* dir : { "p", "q" })
            f.image(QLatin1String(dir), QStringLiteral("same.jpg"), 8);
        f.settings.directories << f.entry(QStringLiteral("p")) << f.entry(QStringLiteral("q"));
        return [&f] { f.execute(QStringLiteral("UPDATE FILES SET PXLRAY = ' ', RGB = ' '")); };
    }
    // The last entry's directory is on a disk of another label until the user loads the right one.
    f.session.DisableFilePolling = false;
    f.volumes.add(removable(f.tree(), QStringLiteral("TEST")));
    f.volumes.add(removable(f.dir(QStringLiteral("disk")).chopped(1), QStringLiteral("OTHER")));
    f.image(QStringLiteral("disk/photos"), QStringLiteral("wrong.jpg"), 6);
    f.settings.directories << f.entry(QStringLiteral("disk/photos"));
    prompter.onAsk = [&f](const Message&) {
        QFile::remove(f.dir(QStringLiteral("disk/photos")) + QStringLiteral("wrong.jpg"));
        f.image(QStringLiteral("disk/photos"), QStringLiteral("right.jpg"), 7);
        f.volumes.setTable({ removable(f.tree(), QStringLiteral("TEST")) });
    };
    return {};
}

Outcome runWith(const QString& name, int threads)
{
    ScanFixture f;
    ActingPrompter prompter;
    const std::function<void()> betweenRuns = layout(name, f, prompter);
    // A fresh run, with every file measured ahead of the loop, then a rescan that finds the rows.
    Outcome outcome;
    for (int run = 0; run < 2; ++run) {
        if (run == 1 && betweenRuns)
            betweenRuns();
        PreScanConfig config;
        config.programDirectory = f.programDirectory();
        config.threads = threads;
        config.today = f.today;
        PreScanEngine engine(
            f.settings, f.session, config, PreScanPorts { prompter, f.yielder, f.sound, f.volumes, f.view });
        if (!engine.openCatalogue() || engine.RunPreScan() != PreScanEngine::Outcome::Completed)
            return {};
        engine.unload();
        outcome.rows << rowTexts(f.rows(), f.tree());
    }
    outcome.numbers = f.view.numbers;
    outcome.texts = prompter.texts().replaceInStrings(f.tree(), QStringLiteral("<tree>"));
    return outcome;
}

} // namespace

class tst_ScanAhead : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eightThreadsEqualOneThread_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rows");
        QTest::newRow("many small directories") << "many small directories of mixed types" << 33;
        QTest::newRow("fix jpeg") << ".jpeg files renamed when their entry comes" << 4;
        QTest::newRow("late directory") << "a directory that appears after it was read ahead" << 4;
        QTest::newRow("other disk") << "a disk of another label, changed at the prompt" << 4;
        QTest::newRow("same key twice") << "one picture in two directories, measured again" << 5;
        // The files ahead come from more directories than the process may hold open.
        QTest::newRow("many directories, few descriptors") << "a file in each of many directories" << 40;
    }
    void eightThreadsEqualOneThread()
    {
        QFETCH(QString, name);
        QFETCH(int, rows);
        rlimit limit {};
        QVERIFY(getrlimit(RLIMIT_NOFILE, &limit) == 0);
        const rlimit before = limit;
        limit.rlim_cur = qMin<rlim_t>(limit.rlim_cur, 32);
        QVERIFY(setrlimit(RLIMIT_NOFILE, &limit) == 0);
        const auto restore = qScopeGuard([&] { setrlimit(RLIMIT_NOFILE, &before); });
        const Outcome one = runWith(name, 1);
        const Outcome eight = runWith(name, 8);
        QCOMPARE(one.rows.size(), 2 * rows);
        QCOMPARE(eight.rows, one.rows);
        QCOMPARE(eight.numbers, one.numbers);
        QCOMPARE(eight.texts, one.texts);
    }
};

QTEST_GUILESS_MAIN(tst_ScanAhead)
#include "tst_ScanAhead.moc"
