// The pair review headless, through its engine, on a catalogue made by prematch_bench --make:
//
//   review_bench --db FILE --mode MODE [--soft] [--ignore] [--exclusive] [--tolerance T] [--no-settings]
//                [--steps N]
//     presses Next from the first record until "No more matches..." (or N presses) and prints one line
//     records=N pairs=P load_ms=O first_ms=F slowest_ms=M seconds=S loaded_mb=L peak_mb=R
//     (N records under review, P pairs shown; O the window's load: the catalogue opened and the
//     keyset read; F the first activation: the start placed and the first search, in PATTERN
//     with the one-off load of the candidates, whose own time candidates_ms follows; M the
//     slowest single step: a press of Next, or the first search outside PATTERN; S seconds of the
//     whole walk, load included; L the process's peak resident memory once the review is
//     loaded, R at the end), then a digest of the pairs shown. Every press writes the settings file, as the program
//     does, unless
//     --no-settings. The catalogue is copied first and never changed.
//
//   review_bench --display [--side PIXELS]
//     shows one pair of two 24-megapixel JPEGs (made here, 6000 by 4000) the way the window does,
//     decoded at thumbnail size, and prints display_ms for the pair, best of five.

#include "BenchSupport.h"
#include "ScriptedPrompter.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/SqlRecordSet.h"
#include "imagestats/ImageDecoder.h"
#include "main/SettingsFile.h"
#include "match/FileConfirmer.h"
#include "match/ModeOrder.h"
#include "platform/SystemVolumes.h"
#include "platform/Yielder.h"
#include "review/ReviewPorts.h"
#include "review/pair/PairReview.h"
#include "review/pair/PairReviewView.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using namespace bench;

class FileSettingsWriter : public SettingsWriter
{
public:
    FileSettingsWriter(const QString& home, ScriptedPrompter& prompter, const MainSettings& settings,
        const Session& session, bool write)
        : m_file(home, prompter)
        , m_settings(settings)
        , m_session(session)
        , m_write(write)
    {
    }
    void writeSettings() override
    {
        if (!m_write)
            return;
        // The writer may put back a value it cannot keep; the review's own stay as they are.
        MainSettings settings = m_settings;
        Session session = m_session;
        m_file.write(settings, session);
    }

private:
    SettingsFile m_file;
    const MainSettings& m_settings;
    const Session& m_session;
    bool m_write;
};

// The window's part of a pair display: the two pictures decoded to fit the thumbnail.
class DecodingView : public PairReviewView
{
public:
    void setReviewControls(bool, bool, bool) override { }
    void setStatus(const QString&) override { }
    void setStopVisible(bool) override { }
    void clearImage(int) override { }
    void hideMarks() override { }
    void showFacts(int, const FactsText&) override { }
    QSize showPicture(int, const QString& file, bool, const QString&) override
    {
        const DecodeResult decoded = decodeImageFile(file, QSize(96, 96));
        return decoded.ok() ? decoded.naturalSize : QSize();
    }
    void showDimensions(const QString&, const QString&) override { }
    void showMarks(const AgreementMarks&) override { }
};

int walk(const QStringList& args)
{
    const auto catalogue = copyCatalogue(args, QStringLiteral("NAME"),
        "--db FILE --mode MODE [--soft] [--ignore] [--exclusive] [--tolerance T] [--no-settings] [--steps N]");
    if (!catalogue)
        return 2;
    MainSettings& settings = catalogue->settings;
    const QString home = catalogue->home.path();
    Session session;
    // The catalogue's files are not on this machine: no media prompt for them.
    session.DisableFilePolling = true;
    ScriptedPrompter prompter;
    SilentPlayer sound;
    NullYielder yielder;
    SystemVolumes volumes;
    MediaFileConfirmer confirmer(MediaPromptSettings { true, QString() }, volumes, prompter);
    FileSettingsWriter writer(home, prompter, settings, session, !args.contains("--no-settings"));

    QElapsedTimer whole;
    whole.start();
    PairReview review(settings, session, home, ReviewPorts { prompter, sound, yielder, confirmer, volumes, writer });
    QElapsedTimer step;
    step.start();
    if (!review.load()) {
        std::fprintf(stderr, "cannot open the catalogue\n");
        return 1;
    }
    const qint64 load = step.nsecsElapsed();
    const double loadedMegabytes = peakMegabytes();
    step.start();
    review.firstActivation();
    const qint64 first = step.nsecsElapsed();
    // In PATTERN the first search also loads the candidates once: it is not counted as a step.
    qint64 slowest = settings.mode == ComparisonMode::Pattern ? 0 : first;
    int pairs = 0;
    ShownDigest digest;
    auto countPair = [&] {
        if (!review.imageShown(2))
            return;
        ++pairs;
        digest.add(review.pair().reference.rowId);
        digest.add(review.pair().candidate.rowId);
    };
    countPair();
    const int stepLimit = option(args, QStringLiteral("--steps"), QStringLiteral("0")).toInt();
    for (int presses = 0;
         !prompter.texts().contains(PairReview::noMoreMatchesText()) && (stepLimit <= 0 || presses < stepLimit);
         ++presses) {
        step.start();
        review.cmdNEXT_Click();
        slowest = std::max(slowest, step.nsecsElapsed());
        countPair();
    }
    const double seconds = double(whole.nsecsElapsed()) / 1e9;
    const int records = review.files() ? review.files()->recordCount() : 0;
    std::printf("records=%d pairs=%d load_ms=%.1f first_ms=%.1f slowest_ms=%.2f seconds=%.3f loaded_mb=%.1f "
                "peak_mb=%.1f",
        records, pairs, double(load) / 1e6, double(first) / 1e6, double(slowest) / 1e6, seconds, loadedMegabytes,
        peakMegabytes());
    printCandidatesLoad(*catalogue);
    std::printf(" digest=%016llx\n", static_cast<unsigned long long>(digest.value));
    return 0;
}

// A photograph-like picture: gradients, circles and fine noise, so the encoder works as hard as
// on a real one.
bool writePhoto(const QString& path, QSize size, int seed)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(40 + seed * 20, 90, 200));
    sky.setColorAt(1, QColor(230, 180, 90));
    painter.fillRect(image.rect(), sky);
    for (int i = 0; i < 60; ++i) {
        painter.setBrush(QColor((i * 37 + seed) % 255, (i * 91) % 255, (i * 53) % 255));
        painter.drawEllipse(QPoint((i * 977) % size.width(), (i * 613) % size.height()), 80 + i * 7, 60 + i * 5);
    }
    painter.end();
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int noise = ((x * 7919 + y * 104729 + seed) % 23) - 11;
            const QRgb p = line[x];
            line[x] = qRgb(
                qBound(0, qRed(p) + noise, 255), qBound(0, qGreen(p) + noise, 255), qBound(0, qBlue(p) - noise, 255));
        }
    }
    return image.save(path, "JPG", 90);
}

int display(const QStringList& args)
{
    const int side = option(args, "--side", "6000").toInt();
    const QSize size(side, side * 2 / 3);
    QTemporaryDir home;
    const QString tree = home.filePath("photos/");
    QDir().mkpath(tree);
    for (int i = 1; i <= 2; ++i) {
        if (!writePhoto(tree + QStringLiteral("p%1.jpg").arg(i), size, i)) {
            std::fprintf(stderr, "cannot write the pictures\n");
            return 1;
        }
    }
    MainSettings settings;
    settings.mode = ComparisonMode::Size;
    settings.noSound = true;
    writePictureCatalogue(listDatabasePath(home.path(), settings), tree,
        { QStringLiteral("p1.jpg"), QStringLiteral("p2.jpg") }, [](CatalogueRecord& r) { r.SIZE = 1000; });
    Session session;
    ScriptedPrompter prompter;
    SilentPlayer sound;
    NullYielder yielder;
    SystemVolumes volumes;
    MediaFileConfirmer confirmer(MediaPromptSettings { false, QString() }, volumes, prompter);
    FileSettingsWriter writer(home.path(), prompter, settings, session, false);
    DecodingView view;
    qint64 best = -1;
    for (int round = 0; round < 5; ++round) {
        PairReview review(settings, session, home.path(),
            ReviewPorts { prompter, sound, yielder, confirmer, volumes, writer }, &view);
        review.load();
        QElapsedTimer timer;
        timer.start();
        review.firstActivation(); // one search and the display of the pair it finds
        const qint64 elapsed = timer.nsecsElapsed();
        if (!review.imageShown(2)) {
            std::fprintf(stderr, "no pair shown\n");
            return 1;
        }
        best = best < 0 ? elapsed : std::min(best, elapsed);
        session.StoppedAtRecord = 0;
    }
    std::printf("pictures=%dx%d display_ms=%.1f\n", size.width(), size.height(), double(best) / 1e6);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains("--display"))
        return display(args);
    return walk(args);
}
