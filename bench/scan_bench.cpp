// The pre-scan engine headless over a directory tree: every directory of the tree is one list
// entry, every type ticked. Prints one line: files, seconds, files per second, peak memory.
//
//   scan_bench --dir DIR --mode MODE [--gather] [--threads N] --db FILE

#include "catalogue/TemplateDatabase.h"
#include "platform/ScriptedPrompter.h"
#include "platform/SoundPlayer.h"
#include "platform/SystemVolumes.h"
#include "platform/Yielder.h"
#include "scan/PreScanEngine.h"
#include "scan/PreScanView.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

class SilentSound : public SoundPlayer
{
public:
    void playWav(const QString&) override { }
    void beep() override { }
};

int usage()
{
    std::fprintf(stderr, "usage: scan_bench --dir DIR --mode MODE [--gather] [--threads N] --db FILE\n");
    return 2;
}

QStringList directoryEntries(const QString& root, const Volumes& volumes)
{
    QStringList directories { QFileInfo(root).absoluteFilePath() };
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext())
        directories << QFileInfo(it.next()).absoluteFilePath();
    directories.sort();
    QStringList entries;
    for (const QString& directory : directories)
        entries << volumeTag(volumes.volumeFor(directory)) + QLatin1Char(' ') + directory + QLatin1Char('/');
    return entries;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString dir, db, modeText;
    bool gather = false;
    int threads = 0;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--dir") && hasValue)
            dir = args.at(++i);
        else if (a == QLatin1String("--db") && hasValue)
            db = args.at(++i);
        else if (a == QLatin1String("--mode") && hasValue)
            modeText = args.at(++i);
        else if (a == QLatin1String("--threads") && hasValue)
            threads = args.at(++i).toInt();
        else if (a == QLatin1String("--gather"))
            gather = true;
        else
            return usage();
    }
    const std::optional<ComparisonMode> mode = modeFromSettingsLine(modeText.toUpper());
    if (dir.isEmpty() || db.isEmpty() || !mode)
        return usage();
    if (!QFileInfo::exists(db)) {
        QString error;
        if (!writeTemplateDatabase(db, &error)) {
            std::fprintf(stderr, "cannot create %s: %s\n", qPrintable(db), qPrintable(error));
            return 1;
        }
    }

    SystemVolumes volumes;
    MainSettings settings;
    settings.mode = *mode;
    settings.gather = gather;
    settings.noSound = true;
    settings.filter = QStringLiteral("*");
    settings.fileTypes.fill(true);
    settings.directories = directoryEntries(dir, volumes);
    Session session;
    session.DisableFilePolling = true;

    QTemporaryDir programDirectory;
    ScriptedPrompter prompter;
    NullYielder yielder;
    SilentSound sound;
    NullPreScanView view;
    PreScanConfig config;
    config.programDirectory = programDirectory.path();
    config.databasePath = QFileInfo(db).absoluteFilePath();
    config.threads = threads;
    PreScanEngine engine(settings, session, config, PreScanPorts { prompter, yielder, sound, volumes, view });
    if (!engine.openCatalogue()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(db));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    engine.RunPreScan();
    engine.unload();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;

    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const double files = session.FilesRead;
    std::printf("files=%.0f seconds=%.3f files_per_s=%.0f peak_rss_mb=%.1f\n", files, seconds,
        seconds > 0 ? files / seconds : 0.0, double(usage.ru_maxrss) / 1024.0);
    return 0;
}
