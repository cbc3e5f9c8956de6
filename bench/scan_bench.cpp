// The pre-scan engine headless over a directory tree: every directory of the tree is one list
// entry, every type ticked. Prints one line: files, seconds, files per second, peak memory.
// With --baseline it also decodes the same files with the program's decoders on as many threads,
// and nothing else, and prints that time beside the scan's with their ratio; the files are first
// decoded once untimed, so that both timings start warm (file cache, image plugins, the threads'
// heaps). --decode-only does only the decoding, for timing the two as whole programs.
//
//   scan_bench --dir DIR --mode MODE [--gather] [--threads N] --db FILE [--baseline]
//   scan_bench --dir DIR --mode MODE [--threads N] --decode-only

#include "BenchSupport.h"
#include "ScriptedPrompter.h"

#include "catalogue/TemplateDatabase.h"
#include "imagestats/ImageDecoder.h"
#include "platform/SystemVolumes.h"
#include "platform/Yielder.h"
#include "scan/DirectoryListing.h"
#include "scan/NameFilter.h"
#include "scan/PreScanEngine.h"
#include "scan/PreScanView.h"
#include "session/DirectoryEntry.h"
#include "session/FileTypes.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using namespace bench;

int usage()
{
    std::fprintf(stderr,
        "usage: scan_bench --dir DIR --mode MODE [--gather] [--threads N] --db FILE [--baseline]\n"
        "       scan_bench --dir DIR --mode MODE [--threads N] --decode-only\n");
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

// The files the scan takes, in its order.
QStringList scannedFiles(const MainSettings& settings)
{
    const FilterWords filter = splitFilterWords(settings.filter);
    QStringList files;
    for (const QString& entry : settings.directories) {
        const QString path = DirectoryEntry::split(entry).path;
        const std::optional<QStringList> names = listRegularFiles(path);
        if (!names)
            continue;
        for (const int type : PreScanEngine::scanTypeOrder()) {
            const QString fileType = QString::fromLatin1(FileTypes[std::size_t(type)].extension);
            for (const QString& name : filesOfType(*names, fileType)) {
                if (scanAccepts(filter, name, fileType, settings.notFilter))
                    files << path + name;
            }
        }
    }
    return files;
}

// Seconds to decode every file, the threads taking the next file as they come free.
double decodeSeconds(const QStringList& files, int threads)
{
    QElapsedTimer timer;
    timer.start();
    std::atomic<qsizetype> next { 0 };
    const auto work = [&] {
        for (qsizetype i = next++; i < files.size(); i = next++)
            decodeImageFile(files.at(i));
    };
    if (threads <= 1) {
        work();
    } else {
        std::vector<std::thread> workers;
        for (int i = 0; i < threads; ++i)
            workers.emplace_back(work);
        for (std::thread& worker : workers)
            worker.join();
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString dir, db, modeText;
    bool gather = false;
    bool baseline = false;
    bool decodeOnly = false;
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
        else if (a == QLatin1String("--baseline"))
            baseline = true;
        else if (a == QLatin1String("--decode-only"))
            decodeOnly = true;
        else
            return usage();
    }
    const std::optional<ComparisonMode> mode = modeFromSettingsLine(modeText.toUpper());
    if (dir.isEmpty() || (db.isEmpty() && !decodeOnly) || !mode)
        return usage();

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
    if (threads <= 0)
        threads = qMax(1, QThread::idealThreadCount());
    if (decodeOnly) {
        const QStringList files = scannedFiles(settings);
        const double seconds = decodeSeconds(files, threads);
        std::printf(
            "files=%lld decode_seconds=%.3f peak_rss_mb=%.1f\n", qlonglong(files.size()), seconds, peakMegabytes());
        return 0;
    }
    if (!QFileInfo::exists(db)) {
        QString error;
        if (!writeTemplateDatabase(db, &error)) {
            std::fprintf(stderr, "cannot create %s: %s\n", qPrintable(db), qPrintable(error));
            return 1;
        }
    }

    QTemporaryDir programDirectory;
    ScriptedPrompter prompter;
    NullYielder yielder;
    SilentPlayer sound;
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
    if (baseline)
        decodeSeconds(scannedFiles(settings), threads);
    QElapsedTimer timer;
    timer.start();
    engine.RunPreScan();
    engine.unload();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;

    const double files = session.FilesRead;
    std::printf("files=%.0f seconds=%.3f files_per_s=%.0f peak_rss_mb=%.1f\n", files, seconds,
        seconds > 0 ? files / seconds : 0.0, peakMegabytes());
    if (baseline) {
        const QStringList decoded = scannedFiles(settings);
        const double decodeTime = decodeSeconds(decoded, threads);
        std::printf("decoded=%lld decode_seconds=%.3f scan_over_decode=%.2f\n", qlonglong(decoded.size()), decodeTime,
            decodeTime > 0 ? seconds / decodeTime : 0.0);
    }
    return 0;
}
