// Times the snapshot review headless, through its engine, and prints one line of figures.
//
//   snapshot_bench --pictures DIR --make-page SOURCE_DIR
//       writes 28 JPEGs of 4000 x 3000 pixels into DIR, made from the pictures under SOURCE_DIR
//   snapshot_bench --page DIR [--repeat R]
//       shows one page of the 28 pictures of DIR (7 x 4 grid): their group is found and every
//       thumbnail decoded and handed to the window; prints page=28 seconds=S for each repeat
//   snapshot_bench --walk --db FILE --mode MODE [--soft] [--ignore] [--exclusive] [--tolerance T] [--steps N]
//       a forward walk: Next until "No more matches..." (or N pages shown); prints steps, groups shown, the load
//       (catalogue opened, keyset read), the first activation (the first search; in PATTERN with
//       the one-off load of the candidates, whose own time candidates_ms follows), the slowest
//       step (a press of Next, or the first search outside PATTERN) and the seconds of the whole
//       walk, load included, then a digest of the pages shown. The catalogue is copied first (as
//       prematch_bench does), so the figures compare with prematch_bench on the same file.

#include "BenchSupport.h"

#include "catalogue/CatalogueDatabase.h"
#include "match/FileConfirmer.h"
#include "match/ModeOrder.h"
#include "platform/Prompter.h"
#include "platform/SystemVolumes.h"
#include "platform/Yielder.h"
#include "review/ReviewPorts.h"
#include "review/snapshot/SnapshotReview.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

using namespace bench;

class NoWriter : public SettingsWriter
{
public:
    void writeSettings() override { }
};

// Answers every box with its default and counts the ends of the records.
class CountingPrompter : public Prompter
{
public:
    MsgAnswer ask(const Message& message) override
    {
        if (message.text == QLatin1String("No more matches..."))
            ++ends;
        else
            ++others;
        return message.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
    std::optional<QString> askText(const QString&, const QString&, const QString&) override { return std::nullopt; }
    int ends = 0;
    int others = 0;
};

// The review's ports, silent.
struct Headless
{
    CountingPrompter prompter;
    SilentPlayer sound;
    NullYielder yielder;
    SystemVolumes volumes;
    MediaFileConfirmer confirmer { MediaPromptSettings { true, QString() }, volumes, prompter };
    NoWriter writer;
    ReviewPorts ports() { return { prompter, sound, yielder, confirmer, volumes, writer }; }
};

int makePage(const QStringList& args)
{
    const QString out = option(args, "--pictures");
    const QString source = option(args, "--make-page");
    QStringList files;
    QDirIterator it(source, { "*.jpg", "*.JPG", "*.png" }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    if (out.isEmpty() || files.isEmpty()) {
        std::fprintf(stderr, "--pictures DIR --make-page SOURCE_DIR (with pictures)\n");
        return 2;
    }
    QDir().mkpath(out);
    for (int k = 0; k < 28; ++k) {
        QImage picture(files.at(k % files.size()));
        if (picture.isNull())
            continue;
        picture = picture.scaled(4000, 3000, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_RGB32);
        // Sensor noise, so the file is as large as a camera's (a few megabytes).
        QRandomGenerator random { quint32(k) };
        for (int y = 0; y < picture.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                const int d = int(random.bounded(17u)) - 8;
                line[x] = qRgb(std::clamp(qRed(line[x]) + d, 0, 255), std::clamp(qGreen(line[x]) + d, 0, 255),
                    std::clamp(qBlue(line[x]) + d, 0, 255));
            }
        }
        picture.save(QStringLiteral("%1/page%2.jpg").arg(out).arg(k, 2, 10, QLatin1Char('0')), "JPG", 92);
    }
    std::printf("wrote 28 pictures of 4000 x 3000 in %s\n", qPrintable(out));
    return 0;
}

int page(const QStringList& args)
{
    const QString pictures = option(args, "--page");
    const int repeat = std::max(1, option(args, "--repeat", "1").toInt());
    const QStringList names = QDir(pictures).entryList({ "*.jpg" }, QDir::Files, QDir::Name);
    if (names.size() < 28) {
        std::fprintf(stderr, "--page DIR needs 28 pictures (make them with --make-page)\n");
        return 2;
    }
    QTemporaryDir home;
    MainSettings settings;
    settings.mode = ComparisonMode::Checksum;
    settings.noSound = true;
    writePictureCatalogue(listDatabasePath(home.path(), settings), QDir(pictures).absolutePath() + QLatin1Char('/'),
        names.mid(0, 28), [](CatalogueRecord& r) { r.CHECKSUM = QStringLiteral("SAME"); });
    std::vector<double> times;
    for (int k = 0; k < repeat; ++k) {
        Session session;
        session.DisableFilePolling = true;
        Headless headless;
        SnapshotReview review(settings, session, home.path(), headless.ports());
        review.load();
        review.setLastSlot(27);
        QElapsedTimer timer;
        timer.start();
        review.firstActivation(); // the group search and the page of thumbnails
        times.push_back(double(timer.nsecsElapsed()) / 1e9);
        std::printf("page=28 seconds=%.3f\n", times.back());
    }
    std::sort(times.begin(), times.end());
    std::printf("median seconds=%.3f\n", times[times.size() / 2]);
    return 0;
}

int walk(const QStringList& args)
{
    const auto catalogue = copyCatalogue(args, QStringLiteral("NAME"),
        "--walk --db FILE --mode MODE [--soft] [--ignore] [--exclusive] [--tolerance T] [--steps N]");
    if (!catalogue)
        return 2;
    MainSettings& settings = catalogue->settings;
    const QString home = catalogue->home.path();
    Session session;
    session.DisableFilePolling = true;
    Headless headless;
    SnapshotReview review(settings, session, home, headless.ports());
    QElapsedTimer timer;
    timer.start();
    QElapsedTimer step;
    step.start();
    if (!review.load())
        return 1;
    const qint64 load = step.nsecsElapsed();
    int steps = 0;
    int groups = 0;
    ShownDigest digest;
    auto countGroup = [&] {
        int held = 0;
        for (int n = 0; n <= review.LastSlot; ++n) {
            const ImageFacts& slot = review.thumbnails()[std::size_t(n)];
            held += holdsFile(slot) ? 1 : 0;
            digest.add(holdsFile(slot) ? slot.rowId : -1);
        }
        groups += held > 1 ? 1 : 0;
    };
    step.restart();
    review.firstActivation();
    const qint64 first = step.nsecsElapsed();
    // In PATTERN the first search also loads the candidates once: it is not counted as a step.
    qint64 slowest = settings.mode == ComparisonMode::Pattern ? 0 : first;
    ++steps;
    countGroup();
    const int stepLimit = option(args, QStringLiteral("--steps"), QStringLiteral("0")).toInt();
    while (headless.prompter.ends == 0 && (stepLimit <= 0 || steps < stepLimit)) {
        step.restart();
        review.cmdNEXT_Click();
        slowest = std::max(slowest, step.nsecsElapsed());
        ++steps;
        countGroup();
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("steps=%d groups=%d load_ms=%.1f first_ms=%.1f slowest_step_ms=%.1f seconds=%.3f", steps, groups,
        double(load) / 1e6, double(first) / 1e6, double(slowest) / 1e6, seconds);
    printCandidatesLoad(*catalogue);
    std::printf(" digest=%016llx\n", static_cast<unsigned long long>(digest.value));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains("--make-page"))
        return makePage(args);
    if (args.contains("--page"))
        return page(args);
    if (args.contains("--walk"))
        return walk(args);
    std::fprintf(stderr, "--make-page, --page or --walk; see the head of the source\n");
    return 2;
}
