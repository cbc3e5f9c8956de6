// Both reviews side by side: one file reached by two paths, what the searches see of a record
// after a file action on it (and of the other records of its file), and where a stopped pattern
// search stands.

#include "catalogue/SqlRecordSet.h"
#include "match/RowFacts.h"

#include "EngineMoveDialog.h"
#include "FileSystemFixtures.h"
#include "PairReviewFixture.h"
#include "SnapshotFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::pair<ComparisonMode, const char*> EveryMode[] { { ComparisonMode::Name, "NAME" },
    { ComparisonMode::Size, "SIZE" }, { ComparisonMode::NameAndSize, "NAME AND SIZE" },
    { ComparisonMode::Numbered, "NUMBERED" }, { ComparisonMode::Checksum, "CHECKSUM" },
    { ComparisonMode::AverageRgb, "AVERAGE RGB" }, { ComparisonMode::QuadrantRgb, "QUADRANT RGB" },
    { ComparisonMode::Pattern, "PATTERN" } };

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

QString recnums(const QList<ImageFacts>& onScreen)
{
    QStringList texts;
    for (const ImageFacts& slot : onScreen)
        texts << QString::number(slot.RECNUM);
    return texts.isEmpty() ? QStringLiteral("-") : texts.join(QLatin1Char(' '));
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

// Delete, move or rename ("Z" and its RECNUM) of the file the review's cursor stands on.
void act(SnapshotFixture& f, const QString& action)
{
    SnapshotReview& review = *f.review;
    const std::int64_t cursor = review.files()->record().rowId;
    for (int n = 0; n <= review.LastSlot; ++n) {
        const ImageFacts& slot = review.thumbnails()[std::size_t(n)];
        if (slot.rowId != cursor)
            continue;
        review.WHICHIMAGE = n;
        if (action == "delete")
            review.cmdDELETE_Click();
        else if (action == "move")
            review.cmdMOVE_Click();
        else
            review.cmdRENAME_Click(n, "Z" + QString::number(slot.RECNUM));
        return;
    }
    QFAIL("the cursor's record is not on the page");
}

void act(PairReviewFixture& f, const QString& action)
{
    PairReview& review = *f.review;
    const int image = review.pair().reference.rowId == review.files()->record().rowId ? 1 : 2;
    if (action == "delete")
        image == 1 ? review.cmdDELETE1_Click() : review.cmdDELETE2_Click();
    else if (action == "move")
        image == 1 ? review.cmdMOVE1_Click() : review.cmdMOVE2_Click();
    else if (review.cmdRENAME_Click(image))
        review.txtNEWNAME_LostFocus(
            image, "Z" + QString::number((image == 1 ? review.pair().reference : review.pair().candidate).RECNUM));
}

bool oneFile(const QString& first, const QString& second)
{
    struct stat a = {};
    struct stat b = {};
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
template <class Fixture> void walkOverOneFileTwice(ComparisonMode mode)
{
    Fixture f;
    f.settings.mode = mode;
    const QString tree = f.dir.file("tree/");
    QVERIFY(writeFile(tree + "a/P.JPG", "picture") && writeFile(tree + "b/P.JPG", "picture"));
    QVERIFY(QFile::link(tree + "a", tree + "L"));
    QVERIFY(QDir().mkpath(tree + "h"));
    QCOMPARE(
        ::link(QFile::encodeName(tree + "b/P.JPG").constData(), QFile::encodeName(tree + "h/P.JPG").constData()), 0);
    QVERIFY(f.make(alikeRows({ tree + "a/P.JPG", tree + "L/P.JPG", tree + "b/P.JPG", tree + "h/P.JPG" })));
    begin(f, SmallGridLastSlot, {});
    bool copiesShown = false;
    for (int step = 0; step < 40 && !f.prompter.texts().contains("No more matches..."); ++step) {
        const QList<ImageFacts> onScreen = shownSlots(*f.review);
        for (qsizetype i = 0; i < onScreen.size(); ++i) {
            for (qsizetype j = i + 1; j < onScreen.size(); ++j) {
                if (oneFile(onScreen[i].filePath(), onScreen[j].filePath()))
                    QFAIL(qPrintable(
                        "one file shown twice: " + onScreen[i].filePath() + " and " + onScreen[j].filePath()));
            }
        }
        copiesShown = copiesShown || onScreen.size() >= 2;
        f.prompter.clear();
        press(*f.review, true);
    }
    QVERIFY(copiesShown);
}

// A1.JPG to A5.JPG, alike in every mode, with the grid narrowed to three onScreen: the cursor's own
// record is acted on, then Next or Previous shows records as they now are.
template <class Fixture>
void stepAfterAction(ComparisonMode mode, const QString& action, bool forward, const QString& expected)
{
    Fixture f;
    f.settings.mode = mode;
    f.settings.noConfirm = true;
    const QString tree = f.dir.file("tree/");
    QStringList files;
    for (int k = 1; k <= 5; ++k) {
        files << tree + "A" + QString::number(k) + ".JPG";
        QVERIFY(writeFile(files.last(), QByteArray(100 + k, 'x')));
    }
    QVERIFY(f.make(alikeRows(files)));
    const QString moved = f.dir.file("moved/");
    QVERIFY(QDir().mkpath(moved));
    EngineMoveDialog dialog(f.prompter, f.volumes);
    dialog.to = "[DISK] " + moved;
    begin(f, 2, ReviewDialogs { &dialog, nullptr });
    f.prompter.queueAnswer(MsgAnswer::Yes); // the rename's question
    act(f, action);
    press(*f.review, forward);

    const QList<ImageFacts> onScreen = shownSlots(*f.review);
    QCOMPARE(recnums(onScreen), expected);
    auto db = CatalogueDatabase::open(f.databasePath());
    for (const ImageFacts& slot : onScreen) {
        const std::optional<ImageFacts> row = factsOfRow(*db, slot.rowId);
        QVERIFY(row && row->isLive());
        QCOMPARE(slot.filePath(), row->filePath());
        QVERIFY2(QFileInfo::exists(slot.filePath()), qPrintable(slot.filePath()));
    }
}

// The status line as it reads now.
QString statusLine(const PairReviewFixture& f)
{
    return f.view.status;
}

QString statusLine(const SnapshotFixture& f)
{
    return f.view.statusTexts.isEmpty() ? QString() : f.view.statusTexts.last();
}

// What the review shows now, then after each Next up to "No more matches...".
template <class Fixture> QStringList walkOn(Fixture& f)
{
    QStringList pages { recnums(shownSlots(*f.review)) };
    for (int step = 0; step < 40; ++step) {
        f.prompter.clear();
        press(*f.review, true);
        if (f.prompter.texts().contains("No more matches..."))
            return pages;
        pages << recnums(shownSlots(*f.review));
    }
    return pages << "no end";
}

// A PATTERN review of the rows, Stop pressed once, while the status line reads "Comparing"
// stopAt; what is shown from the first search on.
template <class Fixture> QStringList walkStopped(const QStringList& rows, const QString& stopAt)
{
    Fixture f;
    f.settings.mode = ComparisonMode::Pattern;
    if (!f.make(rowsOf(rows)))
        return { "no catalogue" };
    bool stopped = false;
    f.yielder.onYield = [&](int) {
        if (!stopped && statusLine(f) == "Comparing " + stopAt + "...") {
            stopped = true;
            f.review->cmdSTOP_Click();
        }
    };
    begin(f, SmallGridLastSlot, {});
    QStringList pages = walkOn(f);
    return stopped ? pages : pages << "never stopped";
}

// Delete, move or rename of the reference (image 0) or of a candidate (image 1 on) on show.
void act(SnapshotFixture& f, const QString& action, int image)
{
    f.review->WHICHIMAGE = image;
    if (action == "delete")
        f.review->cmdDELETE_Click();
    else if (action == "move")
        f.review->cmdMOVE_Click();
    else
        f.review->cmdRENAME_Click(image, "Z" + QString::number(f.review->thumbnails()[std::size_t(image)].RECNUM));
}

void act(PairReviewFixture& f, const QString& action, int image)
{
    PairReview& review = *f.review;
    if (action == "delete")
        image == 0 ? review.cmdDELETE1_Click() : review.cmdDELETE2_Click();
    else if (action == "move")
        image == 0 ? review.cmdMOVE1_Click() : review.cmdMOVE2_Click();
    else if (review.cmdRENAME_Click(image + 1))
        review.txtNEWNAME_LostFocus(
            image + 1, "Z" + QString::number((image == 0 ? review.pair().reference : review.pair().candidate).RECNUM));
}

// A1 to A4 in a/, B5 and B6 in b/, alike, with exclusive matching in PATTERN and three
// thumbnails a page: after the first search the reference or the first candidate is moved (to
// b/, or to a directory no record had) or renamed; then Next walks on to the end.
template <class Fixture> QStringList walkAfterAction(const QString& action, int image, const QString& to)
{
    Fixture f;
    f.settings.mode = ComparisonMode::Pattern;
    f.settings.exclusive = true;
    f.settings.noConfirm = true;
    const QString tree = f.dir.file("tree/");
    QStringList files;
    for (int k = 1; k <= 6; ++k) {
        files << tree + (k <= 4 ? "a/A" : "b/B") + QString::number(k) + ".JPG";
        if (!writeFile(files.last(), QByteArray(100 + k, 'x')))
            return { "no file" };
    }
    if (!f.make(alikeRows(files)) || !QDir().mkpath(tree + to))
        return { "no catalogue" };
    EngineMoveDialog dialog(f.prompter, f.volumes);
    dialog.to = "[DISK] " + tree + to;
    begin(f, 2, ReviewDialogs { &dialog, nullptr });
    f.prompter.queueAnswer(MsgAnswer::Yes); // the rename's question
    act(f, action, image);
    return walkOn(f);
}

// real/p.png and its true copy other/p.png, link/ a symbolic link to real/, hard/p.png a hard
// link of real/p.png; catalogued as link, other, real, hard (RECNUMs 1 to 4), alike in every
// mode, with the recycle bin, No Confirm and AutoNEXT. The first page's link/p.png is deleted,
// moved or renamed; then Next walks to the end and Previous back to the start. Gives what went
// wrong: a page that offers a row whose file is gone or a row deleted, the tags afterwards when
// they are not the expected ones, or that other/p.png and hard/p.png were never offered together.
template <class Fixture> QStringList actThroughLink(ComparisonMode mode, const QString& action)
{
    TrashHome trash;
    Fixture f;
    f.settings.mode = mode;
    f.settings.recycle = true;
    f.settings.noConfirm = true;
    f.settings.autoNext = true;
    const QString tree = f.dir.file("tree/");
    if (!writeFile(tree + "real/p.png", "picture") || !writeFile(tree + "other/p.png", "picture")
        || !QFile::link(tree + "real", tree + "link") || !QDir().mkpath(tree + "hard")
        || ::link(
               QFile::encodeName(tree + "real/p.png").constData(), QFile::encodeName(tree + "hard/p.png").constData())
            != 0)
        return { "no tree" };
    if (!f.make(alikeRows({ tree + "link/p.png", tree + "other/p.png", tree + "real/p.png", tree + "hard/p.png" }))
        || !QDir().mkpath(tree + "moved"))
        return { "no catalogue" };
    EngineMoveDialog dialog(f.prompter, f.volumes);
    dialog.to = "[DISK] " + tree + "moved/";
    begin(f, SmallGridLastSlot, ReviewDialogs { &dialog, nullptr });
    const QList<ImageFacts> first = shownSlots(*f.review);
    const auto viaLink
        = std::find_if(first.begin(), first.end(), [](const ImageFacts& slot) { return slot.RECNUM == 1; });
    if (viaLink == first.end())
        return { "link/p.png not on the first page: " + recnums(first) };
    f.prompter.queueAnswer(MsgAnswer::Yes); // the rename's question
    act(f, action, int(viaLink - first.begin()));

    QStringList wrong;
    bool copiesTogether = false;
    auto check = [&] {
        QStringList offered;
        for (const ImageFacts& slot : shownSlots(*f.review)) {
            offered << QString::number(slot.RECNUM);
            auto db = CatalogueDatabase::open(f.databasePath());
            const std::optional<ImageFacts> row = db ? factsOfRow(*db, slot.rowId) : std::nullopt;
            if (!row || !row->isLive() || !QFileInfo::exists(slot.filePath()))
                wrong << "offered " + slot.filePath();
        }
        copiesTogether = copiesTogether || (offered.contains("2") && offered.contains("4"));
    };
    check();
    for (const bool forward : { true, false }) {
        for (int step = 0; step < 20; ++step) {
            f.prompter.clear();
            press(*f.review, forward);
            check();
            if (f.prompter.texts().contains("No more matches..."))
                break;
        }
    }
    const QString tags = f.tags();
    const QString expected = action == "delete" ? "D D " : "  D ";
    if (tags != expected)
        wrong << "tags \"" + tags + "\"";
    if (!copiesTogether)
        wrong << "other/p.png and hard/p.png never offered together";
    if (!QFileInfo::exists(tree + "other/p.png") || !QFileInfo::exists(tree + "hard/p.png"))
        wrong << "a copy is gone";
    return wrong;
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
        for (const bool snapshot : { false, true }) {
            for (const auto& [mode, name] : EveryMode)
                QTest::addRow("%s, %s", snapshot ? "snapshot" : "pair review", name) << snapshot << mode;
        }
    }
    void oneFileIsNeverTwoSlots()
    {
        QFETCH(bool, snapshot);
        QFETCH(ComparisonMode, mode);
        snapshot ? walkOverOneFileTwice<SnapshotFixture>(mode) : walkOverOneFileTwice<PairReviewFixture>(mode);
    }

    void deleteAllTwiceOverThirty()
    {
        TrashHome trash;
        SnapshotFixture f;
        f.settings.mode = ComparisonMode::Numbered;
        f.settings.recycle = true;
        f.apply("noconfirm autonext");
        QStringList names;
        for (int k = 1; k <= 30; ++k)
            names << "A" + QString::number(k) + ".JPG";
        QVERIFY(f.make(rowsOf(names), true));
        f.start();
        QCOMPARE(f.group(), expandRuns("1..24"));
        f.review->cmdALL_Click();
        QCOMPARE(f.group(), expandRuns("25..30"));
        f.review->cmdALL_Click();
        QCOMPARE(f.prompter.texts(), QStringList { "No more matches..." });
        QCOMPARE(f.tags(), QString(30, 'D'));
        QCOMPARE(f.session.NumberDeleted, 30);
        for (const QString& name : names)
            QVERIFY2(!QFile::exists(f.tree() + name) && QFile::exists(trash.trashed(name)), qPrintable(name));
    }

    void stepAfterFileAction_data()
    {
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<ComparisonMode>("mode");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QString>("shown"); // the RECNUMs shown afterwards

        // The snapshot starts on "1 2 3", its cursor on 3 (NUMBERED) or 1 (PATTERN); the pair
        // review on "1 2", its cursor on 2 (NUMBERED) or 1 (PATTERN).
        const ComparisonMode numbered = ComparisonMode::Numbered;
        const ComparisonMode pattern = ComparisonMode::Pattern;
        const struct
        {
            bool snapshot;
            ComparisonMode mode;
            const char* action;
            const char* next;
            const char* previous;
        } rows[] {
            { true, numbered, "delete", "4 5", "2 1" },
            { true, numbered, "rename", "4 5", "2 1" },
            { true, numbered, "move", "3 4 5", "3 2 1" },
            { true, pattern, "delete", "2 3 4", "-" },
            { true, pattern, "rename", "1 4 5", "1 4 5" },
            { true, pattern, "move", "1 4 5", "1 4 5" },
            { false, numbered, "delete", "1 3", "-" },
            { false, numbered, "rename", "3 4", "-" },
            { false, numbered, "move", "2 3", "-" },
            { false, pattern, "delete", "2 3", "-" },
            { false, pattern, "rename", "1 3", "1 3" },
            { false, pattern, "move", "1 3", "1 3" },
        };
        for (const auto& row : rows) {
            for (const bool forward : { true, false }) {
                QTest::addRow("%s, %s, %s, %s", row.snapshot ? "snapshot" : "pair review",
                    row.mode == pattern ? "PATTERN" : "NUMBERED", row.action, forward ? "Next" : "Previous")
                    << row.snapshot << row.mode << QString(row.action) << forward
                    << QString(forward ? row.next : row.previous);
            }
        }
    }
    void stepAfterFileAction()
    {
        QFETCH(bool, snapshot);
        QFETCH(ComparisonMode, mode);
        QFETCH(QString, action);
        QFETCH(bool, forward);
        QFETCH(QString, shown);
        snapshot ? stepAfterAction<SnapshotFixture>(mode, action, forward, shown)
                 : stepAfterAction<PairReviewFixture>(mode, action, forward, shown);
    }

    // Stop acts after the candidate in hand (the one the status line names) has been compared:
    // the pair review shows that pair, the snapshot the page so far, and the next search goes on
    // with the candidate after it.
    void patternStop_data()
    {
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("stopAt");
        QTest::addColumn<QStringList>("shown");
        const QStringList third { "R.JPG pat=40", "A.JPG back=40", "B.JPG pat=40", "C.JPG back=40", "D.JPG pat=40" };
        const QStringList lastAlone { "R.JPG pat=40", "A.JPG back=40" };
        const QStringList hits { "R.JPG pat=40", "A.JPG pat=40", "B.JPG pat=40" };
        QTest::newRow("pair review, during the third candidate")
            << false << third << "1 to 4"
            << QStringList { "1 3", "1 4", "1 5", "2 4", "3 1", "3 5", "4 2", "5 1", "5 3" };
        QTest::newRow("snapshot, during the third candidate")
            << true << third << "1 to 4" << QStringList { "1 3", "1 5", "2 4", "3 1 5", "4 2", "5 1 3" };
        QTest::newRow("pair review, the last candidate, no match: that pair")
            << false << lastAlone << "1 to 2" << QStringList { "1 2" };
        QTest::newRow("snapshot, the last candidate, no hit: the next reference with candidates alone")
            << true << lastAlone << "1 to 2" << QStringList { "2" };
        QTest::newRow("pair review, a match in hand")
            << false << hits << "1 to 2" << QStringList { "1 2", "1 3", "2 1", "2 3", "3 1", "3 2" };
        QTest::newRow("snapshot, a match in hand")
            << true << hits << "1 to 2" << QStringList { "1 2", "1 3", "2 1 3", "3 1 2" };
    }
    void patternStop()
    {
        QFETCH(bool, snapshot);
        QFETCH(QStringList, rows);
        QFETCH(QString, stopAt);
        QFETCH(QStringList, shown);
        QCOMPARE(snapshot ? walkStopped<SnapshotFixture>(rows, stopAt) : walkStopped<PairReviewFixture>(rows, stopAt),
            shown);
    }

    // Exclusive matching in PATTERN takes the locations as they are after a move or a rename in
    // review, the reference's included.
    void exclusiveAfterFileAction_data()
    {
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("image"); // 0 the reference, 1 the first candidate
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("shown");
        // Without an action the pair review shows 1 2, 1 3, 1 4, 2 1 ... 4 3, 5 6, 6 5; the
        // snapshot 1 2 3, 1 4, 2 1 3, 2 4, 3 1 2, 3 4, 4 1 2, 4 3, 5 6, 6 5.
        const char* renamed = "1 2,1 3,1 4,2 1,2 3,2 4,3 1,3 2,3 4,4 1,4 2,4 3,5 6,6 5";
        const char* renamedPages = "1 2 3,1 4,2 1 3,2 4,3 1 2,3 4,4 1 2,4 3,5 6,6 5";
        const struct
        {
            bool snapshot;
            const char* action;
            int image;
            const char* to;
            const char* shown;
        } rows[] {
            { false, "move", 0, "new/", "1 2,2 3,2 4,3 2,3 4,4 2,4 3,5 6,6 5" },
            { false, "move", 0, "b/", "1 2,1 5,1 6,2 3,2 4,3 2,3 4,4 2,4 3,5 1,5 6,6 1,6 5" },
            { false, "move", 1, "new/", "1 2,1 3,1 4,3 1,3 4,4 1,4 3,5 6,6 5" },
            { false, "move", 1, "b/", "1 2,1 3,1 4,2 5,2 6,3 1,3 4,4 1,4 3,5 2,5 6,6 2,6 5" },
            { false, "rename", 0, "", renamed },
            { false, "rename", 1, "", renamed },
            { true, "move", 0, "new/", "1 2 3,2 3 4,3 2 4,4 2 3,5 6,6 5" },
            { true, "move", 0, "b/", "1 2 3,1 5 6,2 3 4,3 2 4,4 2 3,5 1 6,6 1 5" },
            { true, "move", 1, "new/", "1 2 3,1 4,3 1 4,4 1 3,5 6,6 5" },
            { true, "move", 1, "b/", "1 2 3,1 4,2 5 6,3 1 4,4 1 3,5 2 6,6 2 5" },
            { true, "rename", 0, "", renamedPages },
            { true, "rename", 1, "", renamedPages },
        };
        for (const auto& row : rows) {
            QTest::addRow("%s, %s %s%s", row.snapshot ? "snapshot" : "pair review",
                row.image == 0 ? "reference" : "candidate",
                row.action == QLatin1String("move") ? "moved to " : "renamed",
                row.to == QLatin1String("new/") ? "a new directory" : row.to)
                << row.snapshot << QString(row.action) << row.image << QString(row.to)
                << QString(row.shown).split(QLatin1Char(','));
        }
    }
    void exclusiveAfterFileAction()
    {
        QFETCH(bool, snapshot);
        QFETCH(QString, action);
        QFETCH(int, image);
        QFETCH(QString, to);
        QFETCH(QStringList, shown);
        QCOMPARE(snapshot ? walkAfterAction<SnapshotFixture>(action, image, to)
                          : walkAfterAction<PairReviewFixture>(action, image, to),
            shown);
    }

    // A delete, move or rename through one path tags "D" the rows that reached the file by
    // another path and reach nothing now; a hard link's row stays. No search offers them.
    void otherPathsAfterFileAction_data()
    {
        QTest::addColumn<bool>("snapshot");
        QTest::addColumn<ComparisonMode>("mode");
        QTest::addColumn<QString>("action");
        for (const bool snapshot : { false, true }) {
            for (const auto& [mode, name] : EveryMode) {
                for (const char* action : { "delete", "move", "rename" })
                    QTest::addRow("%s, %s, %s", snapshot ? "snapshot" : "pair review", name, action)
                        << snapshot << mode << QString(action);
            }
        }
    }
    void otherPathsAfterFileAction()
    {
        QFETCH(bool, snapshot);
        QFETCH(ComparisonMode, mode);
        QFETCH(QString, action);
        const QStringList wrong = snapshot ? actThroughLink<SnapshotFixture>(mode, action)
                                           : actThroughLink<PairReviewFixture>(mode, action);
        QCOMPARE(wrong.join("; "), QString());
    }
};

QTEST_MAIN(tst_ReviewsOnDisk)
#include "tst_ReviewsOnDisk.moc"
