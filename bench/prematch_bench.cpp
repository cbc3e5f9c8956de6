// Runs the pre-match cycle headless on a catalogue and prints one line
//   records=N matched=M threads=T open_ms=O seconds=S peak_mb=P
// (N active records, M records marked "*", T threads of the pattern step, O the window's load:
// the catalogue opened and the keyset read, S seconds of the cycle, load included, P the
// process's peak resident memory). The catalogue is copied first, so the
// file given is never changed and runs can be repeated.
//
//   prematch_bench --db FILE --mode MODE [--soft] [--ignore] [--exclusive] [--tolerance T] [--threads N]
//                  [--literal] [--marks]
//   prematch_bench --make N --out FILE --photos DIR [--seed S] [--pictures K]
//
// --threads defaults to the machine's cores. --literal runs the row-by-row pattern cycle instead (PATTERN only), for
// the ratio. --marks adds marks=D, a digest of every row's RECNUM and ACTIVE after the cycle, so that two builds
// can be shown to mark the same records.
// --make writes a catalogue of N records whose patterns come from K real pictures of the
// JPEG tree DIR (read only), changed a little for near-duplicates and more for distinct pictures;
// made-up patterns when DIR holds no picture that decodes.

#include "BenchSupport.h"
#include "ScriptedPrompter.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueTransaction.h"
#include "catalogue/TableRecordSet.h"
#include "catalogue/TemplateDatabase.h"
#include "imagestats/ImageDecoder.h"
#include "imagestats/MeasureImage.h"
#include "match/FileConfirmer.h"
#include "match/PrematchCycle.h"
#include "match/RuleSettings.h"
#include "platform/SystemVolumes.h"
#include "platform/Yielder.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include "../tests/support/LiteralPatternCycle.h"
#include "../tests/support/PatternRows.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include <cstdio>

namespace {

using namespace bench;

std::vector<PatternBits> picturePatterns(const QString& photos, int pictures)
{
    QStringList files;
    QDirIterator it(
        photos, { QStringLiteral("*.jpg"), QStringLiteral("*.JPG") }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    std::vector<PatternBits> bases;
    const int step = std::max(1, int(files.size()) / std::max(1, pictures));
    for (int i = 0; i < files.size() && int(bases.size()) < pictures; i += step) {
        const DecodeResult decoded = decodeImageFile(files.at(i));
        if (!decoded.ok())
            continue;
        PixelArray pixels;
        pixels.adopt(decoded.image);
        ImageStats stats;
        MeasureImage(pixels, false, true, stats);
        if (stats.pattern)
            bases.push_back(*stats.pattern);
    }
    return bases;
}

int make(const QStringList& args)
{
    const int count = option(args, "--make").toInt();
    const QString out = option(args, "--out");
    const quint32 seed = option(args, "--seed", "1").toUInt();
    const QString photos = option(args, "--photos");
    const int pictures = option(args, "--pictures", "24").toInt();
    if (count <= 0 || out.isEmpty() || photos.isEmpty()) {
        std::fprintf(stderr, "--make N --out FILE --photos DIR [--seed S] [--pictures K]\n");
        return 2;
    }
    std::vector<PatternBits> bases = picturePatterns(photos, pictures);
    if (bases.empty()) {
        std::fprintf(stderr, "no pictures decoded under %s; using made-up patterns\n", qPrintable(photos));
        bases = randomBases(pictures, seed);
    }
    QFile::remove(out);
    QString error;
    if (!writeTemplateDatabase(out, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    auto db = CatalogueDatabase::open(out, &error);
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    PatternRowOptions options;
    options.directories = 40;
    options.deletedShare = 0.005;
    options.oddShare = 0.005;
    const QList<CatalogueRecord> rows = makePatternRows(count, bases, seed, options);
    CatalogueTransaction batch(*db);
    TableRecordSet table(*db);
    for (const CatalogueRecord& r : rows) {
        table.addNew();
        table.setRecord(r);
        table.update();
    }
    batch.commit();
    std::printf("made %d records from %d pictures in %s\n", count, int(bases.size()), qPrintable(out));
    return 0;
}

int run(const QStringList& args)
{
    const auto catalogue = copyCatalogue(args, QStringLiteral("PATTERN"),
        "--db FILE --mode MODE [--soft] [--ignore] [--exclusive] [--tolerance T] [--literal]");
    if (!catalogue)
        return 2;
    MainSettings& settings = catalogue->settings;
    settings.gather = true;
    const QString home = catalogue->home.path();
    Session session;
    ScriptedPrompter prompter;
    SilentPlayer sound;
    NullYielder yielder;
    SystemVolumes volumes;
    MediaFileConfirmer confirmer(MediaPromptSettings { true, QString() }, volumes, prompter);

    QElapsedTimer timer;
    timer.start();
    qint64 opened = 0;
    int threads = 1;
    if (args.contains("--literal")) {
        auto db = CatalogueDatabase::open(catalogue->path);
        if (!db || settings.mode != ComparisonMode::Pattern) {
            std::fprintf(stderr, "--literal runs PATTERN only\n");
            return 2;
        }
        literal::runPatternCycle(*db, RuleSettings::from(settings));
    } else {
        PrematchCycle cycle(settings, session, home, PrematchPorts { yielder, prompter, sound, confirmer });
        if (args.contains("--threads"))
            cycle.setThreadCount(option(args, "--threads").toInt());
        threads = cycle.threadCount();
        if (!cycle.open()) {
            std::fprintf(stderr, "%s\n", qPrintable(prompter.texts().join(' ')));
            return 1;
        }
        opened = timer.nsecsElapsed();
        cycle.run();
        cycle.finish();
        cycle.removeResumeFile();
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;

    auto db = CatalogueDatabase::open(catalogue->path);
    const int records
        = db->queryValue(QStringLiteral("SELECT COUNT(*) FROM FILES WHERE ACTIVE = 'X' OR ACTIVE = '*'")).toInt();
    const int matched = db->queryValue(QStringLiteral("SELECT COUNT(*) FROM FILES WHERE ACTIVE = '*'")).toInt();
    std::printf("records=%d matched=%d threads=%d open_ms=%.1f seconds=%.3f peak_mb=%.1f", records, matched, threads,
        double(opened) / 1e6, seconds, peakMegabytes());
    if (args.contains("--marks")) {
        ShownDigest marks;
        const QByteArray sql = "SELECT rowid, RECNUM, ACTIVE = '*' FROM FILES ORDER BY rowid";
        CatalogueDatabase::Lease lease = db->prepare(sql);
        while (lease.step()) {
            for (int column = 0; column < 3; ++column)
                marks.add(sqlite3_column_int64(lease.handle(), column));
        }
        std::printf(" marks=%016llx", static_cast<unsigned long long>(marks.value));
    }
    std::printf("\n");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains("--make"))
        return make(args);
    return run(args);
}
