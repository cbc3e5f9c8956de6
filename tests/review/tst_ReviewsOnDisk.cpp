// Both reviews over real files: one file reached by two paths.

#include "PairReviewFixture.h"
#include "SnapshotFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The slots a review shows now.
QList<ImageFacts> shownSlots(const SnapshotReview& review)
{
    QList<ImageFacts> onScreen;
    for (int n = 0; n <= review.LastSlot; ++n) {
        if (holdsFile(review.thumbnails()[std::size_t(n)]))
            onScreen << review.thumbnails()[std::size_t(n)];
    }
    return onScreen;
}

QList<ImageFacts> shownSlots(const PairReview& review)
{
    QList<ImageFacts> onScreen;
    if (review.imageShown(1))
        onScreen << review.pair().reference;
    if (review.imageShown(2))
        onScreen << review.pair().candidate;
    return onScreen;
}

void press(SnapshotReview& review, bool forward)
{
    forward ? review.cmdNEXT_Click() : review.cmdPREV_Click();
}

void press(PairReview& review, bool forward)
{
    forward ? review.cmdNEXT_Click() : review.cmdPREVIOUS_Click();
}

void begin(SnapshotFixture& f, int lastSlot, ReviewDialogs dialogs)
{
    f.open();
    f.review->setDialogs(dialogs);
    f.review->setLastSlot(lastSlot);
    f.review->firstActivation();
}

void begin(PairReviewFixture& f, int, ReviewDialogs dialogs)
{
    f.open(dialogs);
}

bool oneFile(const QString& first, const QString& second)
{
    struct stat a {};
    struct stat b {};
    return ::stat(QFile::encodeName(first).constData(), &a) == 0
        && ::stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// One catalogue row per file, every row a match of every other in each mode.
QList<CatalogueRecord> alikeRows(const QStringList& files)
{
    QList<CatalogueRecord> rows;
    for (const QString& file : files) {
        const QFileInfo info(file);
        CatalogueRecord r = fileRow(int(rows.size()) + 1, info.fileName(), info.path() + QLatin1Char('/'));
        r.CHECKSUM = QStringLiteral(".JPG 1000 K");
        r.RGB = QStringLiteral("R100 G100 B100");
        r.QRGB = QStringLiteral("R100 100 100 100 G100 100 100 100 B100 100 100 100");
        r.PXLRAY = QString(40, QLatin1Char('*')) + QString(60, QLatin1Char(' '));
        r.PXLNUM = 40;
        rows << r;
    }
    return rows;
}

// a/P.JPG and its copy b/P.JPG, each reached by a second path: L a symbolic link to a, h/P.JPG
// a hard link of b/P.JPG. Every page the review shows on its way forward holds no file twice, and
// the copies are still offered.
template <class Fixture>
void walkOverOneFileTwice(ComparisonMode mode)
{
    Fixture f;
    f.settings.mode = mode;
    const QString tree = f.dir.file("tree/");
    QVERIFY(writeFile(tree + "a/P.JPG", "picture") && writeFile(tree + "b/P.JPG", "picture"));
    QVERIFY(QFile::link(tree + "a", tree + "L"));
    QVERIFY(QDir().mkpath(tree + "h"));
    QCOMPARE(::link(QFile::encodeName(tree + "b/P.JPG").constData(), QFile::encodeName(tree + "h/P.JPG").constData()),
        0);
    QVERIFY(f.make(alikeRows({ tree + "a/P.JPG", tree + "L/P.JPG", tree + "b/P.JPG", tree + "h/P.JPG" })));
    begin(f, SmallGridLastSlot, {});
    bool copiesShown = false;
    for (int step = 0; step < 40 && !f.prompter.texts().contains("No more matches..."); ++step) {
        const QList<ImageFacts> onScreen = shownSlots(*f.review);
        for (qsizetype i = 0; i < onScreen.size(); ++i) {
            for (qsizetype j = i + 1; j < onScreen.size(); ++j) {
                if (oneFile(onScreen[i].filePath(), onScreen[j].filePath()))
                    QFAIL(qPrintable("one file shown twice: " + onScreen[i].filePath() + " and " + onScreen[j].filePath()));
            }
        }
        copiesShown = copiesShown || onScreen.size() >= 2;
        f.prompter.clear();
        press(*f.review, true);
    }
    QVERIFY(copiesShown);
}

} // namespace

class tst_ReviewsOnDisk : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void oneFileIsNeverTwoSlots_data()
    {
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<ComparisonMode>("mode");
        const std::pair<ComparisonMode, const char*> modes[] { { ComparisonMode::Name, "NAME" },
            { ComparisonMode::Size, "SIZE" }, { ComparisonMode::NameAndSize, "NAME AND SIZE" },
            { ComparisonMode::Numbered, "NUMBERED" }, { ComparisonMode::Checksum, "CHECKSUM" },
            { ComparisonMode::AverageRgb, "AVERAGE RGB" }, { ComparisonMode::QuadrantRgb, "QUADRANT RGB" },
            { ComparisonMode::Pattern, "PATTERN" } };
        for (const bool snapshot : { false, true }) {
            for (const auto& [mode, name] : modes)
                QTest::addRow("%s, %s", snapshot ? "snapshot" : "pair review", name) << snapshot << mode;
        }
    }
    void oneFileIsNeverTwoSlots()
    {
        QFETCH(bool, snapshot);
        QFETCH(ComparisonMode, mode);
        snapshot ? walkOverOneFileTwice<SnapshotFixture>(mode) : walkOverOneFileTwice<PairReviewFixture>(mode);
    }
};

QTEST_MAIN(tst_ReviewsOnDisk)
#include "tst_ReviewsOnDisk.moc"
