#include "MatchCycleFixture.h"

#include "imagestats/PatternBits.h"

#include <QFile>
#include <QTest>

namespace {

QList<CatalogueRecord> noMatches()
{
    return { fileRow(1, "a.jpg"), fileRow(2, "b.jpg"), fileRow(3, "c.jpg"), fileRow(4, "d.jpg") };
}

// A long stretch without matches, then one pair.
QList<CatalogueRecord> lateMatch()
{
    return { fileRow(1, "a.jpg"), fileRow(2, "b.jpg"), fileRow(3, "c.jpg"), fileRow(4, "d.jpg"),
        fileRow(5, "e.jpg", "/x/"), fileRow(6, "e.jpg", "/y/") };
}

CatalogueRecord patterned(int recnum, const QString& name, int firstDark, int lastDark)
{
    CatalogueRecord r = fileRow(recnum, name);
    PatternBits bits;
    for (int c = firstDark; c <= lastDark; ++c)
        bits.set(c);
    r.PXLRAY = bits.toText();
    r.PXLNUM = bits.count();
    return r;
}

} // namespace

class tst_PrematchControl : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void progressTexts_data()
    {
        QTest::addColumn<double>("filesRead");
        QTest::addColumn<bool>("minimized");
        QTest::addColumn<QString>("lastFound");
        QTest::addColumn<QString>("lastCaption");
        QTest::newRow("normal") << 200.0 << false << "0 matches found...  196 records left..."
                                << "t'olq - Pre-Match Cycle";
        QTest::newRow("minimized") << 200.0 << true << "0 matches found...  196 records left..."
                                   << "0 / 196";
        // Nothing was read: the records left are those after the cursor, never below zero.
        QTest::newRow("no pre-scan this run") << 0.0 << false << "0 matches found...  0 records left..."
                                              << "t'olq - Pre-Match Cycle";
    }
    void progressTexts()
    {
        QFETCH(double, filesRead);
        QFETCH(bool, minimized);
        QFETCH(QString, lastFound);
        QFETCH(QString, lastCaption);
        MatchCycleFixture f;
        f.session.FilesRead = filesRead;
        f.view.minimized = minimized;
        QVERIFY(f.make(noMatches()));
        auto cycle = f.cycle();
        cycle->run();
        // Three landings: the walk starts on the first record, which is not counted, and the
        // step past the last record shows nothing.
        QCOMPARE(cycle->RecordsDone, 3);
        QCOMPARE(f.view.found.size(), 3);
        QCOMPARE(f.view.found.last(), lastFound);
        QCOMPARE(f.view.captions.last(), lastCaption);
    }

    void matchCountShown()
    {
        MatchCycleFixture f;
        f.session.FilesRead = 6;
        QVERIFY(f.make(lateMatch()));
        auto cycle = f.cycle();
        cycle->run();
        cycle->finish();
        QCOMPARE(f.view.found.last(), QStringLiteral("0 matches found...  0 records left..."));
        QCOMPARE(f.prompter.texts(), QStringList { QStringLiteral("6 files read,  1 matches found ...") });
        QCOMPARE(f.prompter.messages().first().title, QStringLiteral("Tolq"));
        QCOMPARE(f.prompter.messages().first().buttons, MsgButtons::Ok);
        QCOMPARE(f.prompter.messages().first().icon, MsgIcon::None);
    }

    void pauseWaits()
    {
        MatchCycleFixture f;
        QVERIFY(f.make(lateMatch()));
        auto cycle = f.cycle();
        f.yielder.onYield = [&](int n) {
            if (n == 1)
                cycle->togglePause();
        };
        f.yielder.onSleep = [&](int n) {
            if (n == 2)
                cycle->togglePause();
        };
        cycle->run();
        QCOMPARE(f.yielder.sleeps, (QList<int> { 2000, 2000 }));
        QVERIFY(f.view.captions.contains(PrematchCycle::PausedCaption));
        QCOMPARE(f.marks(), QList({ 5, 6 }));
    }

    void quitWhilePausedActsAfterRelease()
    {
        MatchCycleFixture f;
        QVERIFY(f.make(lateMatch() + QList { fileRow(7, "f.jpg", "/x/"), fileRow(8, "f.jpg", "/y/") }));
        auto cycle = f.cycle();
        f.yielder.onYield = [&](int n) {
            if (n == 1)
                cycle->togglePause();
        };
        f.yielder.onSleep = [&](int n) {
            if (n == 1)
                cycle->requestQuit();
            if (n == 3)
                cycle->togglePause();
        };
        cycle->run();
        QCOMPARE(f.yielder.sleeps.size(), 3);
        // The step in hand runs on to its match; the next pair is left alone.
        QCOMPARE(cycle->MatchCount, 1);
        QCOMPARE(f.marks(), QList({ 5, 6 }));
    }

    void quitEndsAtNextPairOrReference_data()
    {
        QTest::addColumn<bool>("pattern");
        QTest::addColumn<QList<int>>("marks");
        QTest::addColumn<QByteArray>("resumeLine");
        // Other modes: the step runs on until it has marked its next pair.
        QTest::newRow("name") << false << QList { 5, 6 } << QByteArray(" 5 \r\n");
        // PATTERN: the step stops at the next reference.
        QTest::newRow("pattern") << true << QList<int> {} << QByteArray(" 2 \r\n");
    }
    void quitEndsAtNextPairOrReference()
    {
        QFETCH(bool, pattern);
        QFETCH(QList<int>, marks);
        QFETCH(QByteArray, resumeLine);
        MatchCycleFixture f;
        if (pattern) {
            f.settings.mode = ComparisonMode::Pattern;
            QVERIFY(
                f.make({ patterned(1, "a.jpg", 1, 30), patterned(2, "b.jpg", 50, 80), patterned(3, "c.jpg", 50, 81) }));
        } else {
            QVERIFY(f.make(lateMatch()));
        }
        auto cycle = f.cycle();
        f.yielder.onYield = [&](int n) {
            if (n == 1)
                cycle->requestQuit();
        };
        cycle->run();
        QVERIFY(!cycle->CycleDone);
        QCOMPARE(f.marks(), marks);
        QCOMPARE(readFile(f.resumeFile()), resumeLine);
        cycle->finish();
        QCOMPARE(f.prompter.texts().size(), 1);
    }

    void ending_data()
    {
        QTest::addColumn<bool>("gather");
        QTest::addColumn<bool>("noSound");
        QTest::addColumn<int>("soundFiles");
        QTest::addColumn<int>("messages");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<int>("played");
        QTest::newRow("beep and summary") << false << false << 0 << 1 << 1 << 0;
        QTest::newRow("a sound file") << false << false << 3 << 1 << 0 << 1;
        QTest::newRow("no sound") << false << true << 3 << 1 << 0 << 0;
        QTest::newRow("gathering: no summary") << true << false << 0 << 0 << 1 << 0;
    }
    void ending()
    {
        QFETCH(bool, gather);
        QFETCH(bool, noSound);
        QFETCH(int, soundFiles);
        QFETCH(int, messages);
        QFETCH(int, beeps);
        QFETCH(int, played);
        MatchCycleFixture f;
        f.settings.gather = gather;
        f.settings.noSound = noSound;
        for (int i = 0; i < soundFiles; ++i)
            f.session.SoundFiles << QStringLiteral("/sounds/%1.wav").arg(i);
        QVERIFY(f.make({}));
        QCOMPARE(f.runWhole(), 0);
        QCOMPARE(f.prompter.messages().size(), messages);
        QCOMPARE(f.sound.beeps, beeps);
        QCOMPARE(f.sound.played.size(), played);
    }

    void missingDatabaseIsTold()
    {
        MatchCycleFixture f;
        QVERIFY(!f.cycle());
        QCOMPARE(f.prompter.messages().size(), 1);
    }

    void singleDatabase()
    {
        MatchCycleFixture f;
        f.settings.singleTable = true;
        f.settings.listName = QStringLiteral("Holiday");
        QVERIFY(f.databasePath().endsWith(QStringLiteral("/data/tolqtmp.mdb")));
        QVERIFY(f.make(lateMatch()));
        QCOMPARE(f.runWhole(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_PrematchControl)
#include "tst_PrematchControl.moc"
