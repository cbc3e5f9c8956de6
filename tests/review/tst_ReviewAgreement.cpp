// What the pair review and the snapshot review do alike (and, for the tolerance, the pre-match
// cycle too), each row run on one of them.

#include "../match/MatchCycleFixture.h"
#include "PairReviewFixture.h"
#include "SnapshotFixture.h"

#include "catalogue/SqlRecordSet.h"
#include "match/RuleSettings.h"

#include <QFile>
#include <QTest>

namespace {

enum class Review { Pair, Snapshot };

// The two reviews behind one face.
bool open(PairReviewFixture& f)
{
    return f.open();
}
bool open(SnapshotFixture& f)
{
    f.open();
    return f.review->firstActivation();
}
void previous(PairReviewFixture& f)
{
    f.review->cmdPREVIOUS_Click();
}
void previous(SnapshotFixture& f)
{
    f.review->cmdPREV_Click();
}
// N Next, P Previous, S Skip, C Count, X the window's unload.
template <class Fixture> void press(Fixture& f, QChar key)
{
    auto& r = *f.review;
    key == 'N'       ? r.cmdNEXT_Click()
        : key == 'P' ? previous(f)
        : key == 'S' ? r.cmdSKIP_Click()
        : key == 'C' ? r.cmdCOUNT_Click()
                     : r.unload();
}
// The reference first, then what is shown with it: "4 3"; "-" for nothing.
QString shown(const PairReviewFixture& f)
{
    QString pair = f.shown();
    return pair.isEmpty() ? QStringLiteral("-") : pair.replace('-', ' ').trimmed();
}
QString shown(const SnapshotFixture& f)
{
    return f.group();
}
// The count notice's texts; the notice shown before the first count holds none.
QStringList counted(QStringList shown)
{
    shown.removeAll(QStringLiteral("running: "));
    return shown;
}
QStringList counted(const PairReviewFixture& f)
{
    return counted(f.countNotice.shown);
}
QStringList counted(const SnapshotFixture& f)
{
    return counted(f.notice.shown);
}

struct Expected
{
    QString shown;
    QStringList messages;
    QStringList counted;
    int stored = 0;
    int cursor = 0; // the RECNUM under the review's cursor, 0 for none
    bool enabled = false; // the review's controls at the end
};

template <class Fixture>
Expected run(const QStringList& rows, ComparisonMode mode, int stoppedAt, const QString& script)
{
    Fixture f;
    f.settings.mode = mode;
    Expected got;
    if (!f.make(rowsOf(rows))) {
        got.shown = QStringLiteral("no catalogue");
        return got;
    }
    f.session.StoppedAtRecord = stoppedAt;
    open(f);
    for (const QChar key : script)
        press(f, key);
    const SqlRecordSet& files = *f.review->files();
    return { shown(f), f.prompter.texts(), counted(f), f.session.StoppedAtRecord,
        files.hasCurrent() ? int(files.record().RECNUM) : 0, f.view.controlsEnabled };
}

// "1..3 | 3": the running texts of 1, 2 and 3, then the closing text of 3; "| 0" for none running.
QStringList countTexts(const QString& counts)
{
    QStringList texts;
    for (const QString& n : expandRuns(counts.section('|', 0, 0)).split(' ', Qt::SkipEmptyParts))
        texts << "running: " + countRunningText(n.toInt());
    return texts << "final: " + countFinalText(counts.section('|', 1).toInt());
}

// A catalogue of two alike rows, damaged: "garbage" overwrites the whole file; "definition" one
// byte of the stored table definition, which the opening checks pass and the reading of the
// records finds. Then the review is loaded and activated, as its window does, and unloaded. Gives
// the messages as "title: text", or what was thrown; and whether the window stays.
template <class Fixture> QStringList openDamaged(const QString& damage, bool* stays)
{
    Fixture f;
    if (!f.make(rowsOf({ "A.JPG", "A.JPG" })))
        return { "no catalogue" };
    QFile file(f.databasePath());
    if (!file.open(QIODevice::ReadWrite))
        return { "no file" };
    QByteArray bytes = file.readAll();
    if (damage == "garbage") {
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7919 + 13) % 251);
    } else {
        const QByteArray collation = "WHOLENAME   TEXT    COLLATE TOLQCASE";
        const qsizetype at = bytes.indexOf(collation);
        if (at < 0)
            return { "no table definition" };
        bytes[at + collation.size() - 1] = 'X';
    }
    if (!file.seek(0) || file.write(bytes) != bytes.size())
        return { "not damaged" };
    file.close();
    f.session.StoppedAtRecord = 7;
    QStringList told;
    try {
        f.open();
        *stays = f.review->firstActivation();
        f.review->unload();
    } catch (const std::exception& error) {
        return { QStringLiteral("threw: ") + QString::fromUtf8(error.what()) };
    }
    for (const Message& message : f.prompter.messages()) {
        told << message.title + ": "
                + message.text.section(QStringLiteral("\r\r"), 0, 0).replace(f.databasePath(), QStringLiteral("LIST"));
    }
    if (f.session.StoppedAtRecord != 7)
        told << QStringLiteral("resume record %1").arg(f.session.StoppedAtRecord);
    return told;
}

// The catalogue taken away from under an open review (its table renamed by another program),
// then Next: the messages as "title: first paragraph", and whether the controls stay usable.
template <class Fixture> QStringList failMidReview()
{
    Fixture f;
    if (!f.make(rowsOf({ "A.JPG", "A.JPG", "B.JPG", "B.JPG", "C.JPG", "C.JPG" })) || !open(f))
        return { "not opened" };
    CatalogueDatabase::open(f.databasePath())->execute(QStringLiteral("ALTER TABLE FILES RENAME TO GONE"));
    press(f, 'N');
    QStringList told;
    for (const Message& message : f.prompter.messages())
        told << message.title + ": " + message.text.section(QStringLiteral("\r\r"), 0, 0);
    if (!f.view.controlsEnabled)
        told << QStringLiteral("controls disabled");
    return told;
}

} // namespace

class tst_ReviewAgreement : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void steps_data()
    {
        QTest::addColumn<Review>("review");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("stoppedAt");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("cursor");

        const QStringList end { "No more matches..." };
        // A run of one name at the end: Skip runs off it, Previous comes back onto it once.
        const QStringList abcc { "A.JPG path=/one/", "B.JPG path=/one/", "C.JPG path=/one/", "C.JPG path=/two/" };
        QTest::newRow("pair: Previous after a Skip off the end") << Review::Pair << abcc << 0 << "SP"
                                                                 << "4 3" << end << "" << 4 << 3;
        // The snapshot's search from past the end says so itself before it finds the group.
        QTest::newRow("snapshot: Previous after a Skip off the end") << Review::Snapshot << abcc << 0 << "SP"
                                                                     << "4 3" << end + end << "" << 4 << 2;

        // Count: the records after the cursor, counted up one by one; the cursor's record is the
        // resume record; the cursor stays.
        const QStringList pairs { "A.JPG", "A.JPG", "B.JPG", "C.JPG", "C.JPG", "D.JPG" };
        QTest::newRow("pair: count from the candidate") << Review::Pair << pairs << 0 << "C"
                                                        << "1 2" << QStringList() << "1..4 | 4" << 2 << 2;
        QTest::newRow("snapshot: count from the record after the group")
            << Review::Snapshot << pairs << 0 << "C"
            << "1 2" << QStringList() << "1..3 | 3" << 3 << 3;
        QTest::newRow("pair: count on the last record") << Review::Pair << pairs << 0 << "NNC"
                                                        << "-" << end << "| 0" << 6 << 6;
        QTest::newRow("snapshot: count past the end, the resume record stays")
            << Review::Snapshot << pairs << 0 << "NNC"
            << "-" << end << "| 0" << 6 << 0;

        // An empty review closes at once and leaves no resume record behind.
        const QStringList noFiles { "No files to review..." };
        QTest::newRow("pair: no files to review") << Review::Pair << QStringList() << 57 << "X"
                                                  << "-" << noFiles << "" << 0 << 0;
        QTest::newRow("snapshot: no files to review") << Review::Snapshot << QStringList() << 57 << "X"
                                                      << "-" << noFiles << "" << 0 << 0;
    }
    void steps()
    {
        QFETCH(Review, review);
        QFETCH(QStringList, rows);
        QFETCH(int, stoppedAt);
        QFETCH(QString, script);
        QFETCH(QString, shown);
        QFETCH(QStringList, messages);
        QFETCH(QString, counts);
        QFETCH(int, stored);
        QFETCH(int, cursor);
        const Expected got = review == Review::Pair
            ? run<PairReviewFixture>(rows, ComparisonMode::Name, stoppedAt, script)
            : run<SnapshotFixture>(rows, ComparisonMode::Name, stoppedAt, script);
        QCOMPARE(got.shown, shown);
        QCOMPARE(got.messages, messages);
        QCOMPARE(got.counted, counts.isEmpty() ? QStringList() : countTexts(counts));
        QCOMPARE(got.stored, stored);
        QCOMPARE(got.cursor, cursor);
        QVERIFY(got.enabled || rows.isEmpty());
    }

    // A catalogue that cannot be read, found when it is opened or only when its records are
    // read: the load says so, the window closes, nothing is thrown and the resume record stays.
    void damagedCatalogue_data()
    {
        QTest::addColumn<Review>("review");
        QTest::addColumn<QString>("damage");
        for (const Review review : { Review::Pair, Review::Snapshot }) {
            for (const char* damage : { "garbage", "definition" })
                QTest::addRow("%s, %s", review == Review::Pair ? "pair" : "snapshot", damage)
                    << review << QString(damage);
        }
    }
    void damagedCatalogue()
    {
        QFETCH(Review, review);
        QFETCH(QString, damage);
        bool stays = true;
        const QStringList told = review == Review::Pair ? openDamaged<PairReviewFixture>(damage, &stays)
                                                        : openDamaged<SnapshotFixture>(damage, &stays);
        QCOMPARE(told, QStringList { "t'olq! - Error: Unable to open the catalogue LIST" });
        QVERIFY(!stays);
    }

    // A catalogue that fails under an open review: both say so alike and stay usable.
    void catalogueFailsMidReview_data()
    {
        QTest::addColumn<Review>("review");
        QTest::newRow("pair") << Review::Pair;
        QTest::newRow("snapshot") << Review::Snapshot;
    }
    void catalogueFailsMidReview()
    {
        QFETCH(Review, review);
        const QStringList told
            = review == Review::Pair ? failMidReview<PairReviewFixture>() : failMidReview<SnapshotFixture>();
        QCOMPARE(told, QStringList { "Error: The catalogue could not be read or written." });
    }

    // One tolerance for the pre-match cycle and both reviews: the number the text begins with,
    // halves to even, held within 16 bits.
    void tolerance_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<int>("difference"); // of the two records' red averages
        QTest::addColumn<bool>("matched");
        QTest::newRow("a half down to even") << "4.5" << 4 << 5 << false;
        QTest::newRow("a half up to even") << "5.5" << 6 << 6 << true;
        QTest::newRow("above 99") << "150" << 150 << 150 << true;
        QTest::newRow("below 0") << "-1" << -1 << 0 << false;
        QTest::newRow("beyond 16 bits") << "40000" << 32767 << 155 << true;
        QTest::newRow("far beyond") << "1e99" << 32767 << 155 << true;
        QTest::newRow("far below") << "-1e9" << -32768 << 0 << false;
    }
    void tolerance()
    {
        QFETCH(QString, text);
        QFETCH(int, tolerance);
        QFETCH(int, difference);
        QFETCH(bool, matched);
        MainSettings settings;
        settings.tolerance = text;
        QCOMPARE(RuleSettings::from(settings).tolerance, tolerance);

        const QStringList texts { QStringLiteral("A.JPG rgb=R100_G100_B100"),
            QStringLiteral("B.JPG rgb=R%1_G100_B100").arg(100 + difference) };
        auto prepare = [&](auto& f) {
            f.settings.mode = ComparisonMode::AverageRgb;
            f.settings.tolerance = text;
            return f.make(rowsOf(texts));
        };
        MatchCycleFixture prematch;
        QVERIFY(prepare(prematch));
        prematch.runWhole();
        QCOMPARE(prematch.marks(), matched ? QList<int>({ 1, 2 }) : QList<int>());
        PairReviewFixture pair;
        QVERIFY(prepare(pair));
        pair.open();
        QCOMPARE(pair.shown(), matched ? QString("1-2") : QString());
        SnapshotFixture snapshot;
        QVERIFY(prepare(snapshot));
        snapshot.start();
        QCOMPARE(snapshot.group(), matched ? QString("1 2") : QString("-"));
    }
};

QTEST_MAIN(tst_ReviewAgreement)
#include "tst_ReviewAgreement.moc"
