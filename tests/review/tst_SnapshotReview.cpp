#include "catalogue/SqlRecordSet.h"
#include "review/snapshot/SnapshotReview.h"
#include "review/snapshot/ThumbnailGrid.h"

#include "main/QuitStatistics.h"

#include "ImageSamples.h"
#include "PairReviewFixture.h"
#include "SnapshotFixture.h"

#include <QFile>
#include <QTest>

namespace {

// Runs the actions named by a script on the review: N Next, P Prev, S Skip, C Count, A All,
// D Delete, W<slot> a click on a thumbnail, K<char> a typed key, U<code> a key let go, L<slot> the
// grid's last slot.
void run(SnapshotReview& review, const QString& script)
{
    for (const QString& action : script.split(' ', Qt::SkipEmptyParts)) {
        const QChar kind = action.at(0);
        const QString rest = action.mid(1);
        if (kind == 'N')
            review.cmdNEXT_Click();
        else if (kind == 'P')
            review.cmdPREV_Click();
        else if (kind == 'S')
            review.cmdSKIP_Click();
        else if (kind == 'C')
            review.cmdCOUNT_Click();
        else if (kind == 'A')
            review.cmdALL_Click();
        else if (kind == 'D')
            review.cmdDELETE_Click();
        else if (kind == 'W')
            review.thumbnailClicked(rest.toInt());
        else if (kind == 'K')
            review.keyPress(rest.at(0));
        else if (kind == 'U')
            review.keyUp(rest.toInt());
        else if (kind == 'L')
            review.setLastSlot(rest.toInt());
    }
}

} // namespace

class tst_SnapshotReview : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layout_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("lastSlot");
        QTest::addColumn<QPoint>("lastShown"); // the last slot's thumbnail
        QTest::addColumn<QPoint>("caption0");
        QTest::addColumn<QPoint>("status");
        QTest::newRow("11999 twips: 6 x 4")
            << 11999 << 23 << QPoint(7920, 4800) << QPoint(120, 320) << QPoint(120, 5400);
        QTest::newRow("12000 twips: 7 x 4")
            << 12000 << 27 << QPoint(10285, 5260) << QPoint(235, 35) << QPoint(6320, 8000 - 890 + 40);
    }
    void layout()
    {
        QFETCH(int, width);
        QFETCH(int, lastSlot);
        QFETCH(QPoint, lastShown);
        QFETCH(QPoint, caption0);
        QFETCH(QPoint, status);
        const ThumbnailGrid grid = layoutThumbnails(width, 8000);
        QCOMPARE(grid.lastSlot, lastSlot);
        QCOMPARE(grid.image[std::size_t(lastSlot)], lastShown);
        QCOMPARE(grid.caption[0], caption0);
        QCOMPARE(grid.icon[0], grid.image[0] + QPoint(200, 200));
        QCOMPARE(grid.status, status);
        QCOMPARE(grid.bottomButtonTop, 8000 - 890);
        // Slots past the last sit below the window, with the buttons only the pads press.
        for (int n = lastSlot + 1; n < 28; ++n)
            QCOMPARE(grid.image[std::size_t(n)].y(), 8500);
        QCOMPARE(grid.hiddenButtonTop, 8500);
        QCOMPARE(grid.tipLine, QLine(width - 2175, 6410, width - 1455, 6650));
    }

    void deletes_data()
    {
        // Besides the actions: switches, ?YN the answers to the questions, -NAME a file gone before.
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QString>("group"); // shown afterwards
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("tags");
        const QString ask = "Delete file - <tree>";
        QTest::newRow("all, a failure in the middle ends the run, no automatic step")
            << "noconfirm autonext -B.JPG A" << 2 << "3 4" << QStringList { "Unable to Delete file - <tree>B.JPG" }
            << "DD   ";
        QTest::newRow("all, asked for each file, the reference first")
            << "?YNYN A" << 2 << "2 4" << QStringList { ask + "R.JPG", ask + "A.JPG", ask + "B.JPG", ask + "C.JPG" }
            << "D D  ";
        QTest::newRow("after Delete all no slot is current")
            << "?NNNN A D" << 0 << "1 2 3 4"
            << QStringList { ask + "R.JPG", ask + "A.JPG", ask + "B.JPG", ask + "C.JPG" } << "     ";
        QTest::newRow("all: the shown slots only, none out of sight past a narrowed grid")
            << "noconfirm L2 A" << 3 << "-" << QStringList {} << "DDD  ";
        QTest::newRow("one file") << "noconfirm W2 D" << 1 << "1 2 4" << QStringList {} << "  D  ";
        QTest::newRow("a slot that holds a file beyond a narrowed grid acts on nothing")
            << "noconfirm L2 W3 D" << 0 << "1 2 3" << QStringList {} << "     ";
        QTest::newRow("an emptied slot: nothing asked")
            << "autonext ?Y W1 D W1 D" << 1 << "1 3 4" << QStringList { ask + "A.JPG" } << " D   ";
        QTest::newRow("fewer than two left: the next group is searched")
            << "noconfirm autonext W1 D W2 D W3 D" << 3 << "-" << QStringList { "No more matches..." } << " DDD ";
    }
    void deletes()
    {
        QFETCH(QString, script);
        QFETCH(int, deleted);
        QFETCH(QString, group);
        QFETCH(QStringList, messages);
        QFETCH(QString, tags);

        SnapshotFixture f;
        f.settings.mode = ComparisonMode::Checksum;
        f.apply(script);
        QVERIFY(f.make(rowsOf({ "R.JPG sum=K", "A.JPG sum=K", "B.JPG sum=K", "C.JPG sum=K", "E.JPG sum=L" }), true));
        f.session.NumberDeleted = 7;
        f.start();
        QCOMPARE(f.session.NumberDeleted, 7); // deletes made earlier in the run still count
        const QString vanished = script.section('-', 1).section(' ', 0, 0);
        if (!vanished.isEmpty())
            QVERIFY(QFile::remove(f.tree() + vanished));
        for (QChar answer : script.section('?', 1).section(' ', 0, 0))
            f.prompter.queueAnswer(answer == 'Y' ? MsgAnswer::Yes : MsgAnswer::No);
        f.prompter.clear();
        run(*f.review, script);

        QCOMPARE(f.group(), group);
        QCOMPARE(f.tags(), tags);
        QCOMPARE(f.session.NumberDeleted, 7 + deleted);
        QCOMPARE(f.prompter.texts().replaceInStrings(f.tree(), "<tree>"), messages);
        const QStringList names { "R.JPG", "A.JPG", "B.JPG", "C.JPG" };
        for (qsizetype k = 0; k < names.size(); ++k)
            QCOMPARE(QFile::exists(f.tree() + names[k]), tags.at(k) == ' ' && names[k] != vanished);
        QVERIFY(f.view.controlsEnabled);
    }

    // The run's statistics count every delete of both reviews, as the recovered bytes do.
    void deletesCountOverTheRun_data()
    {
        QTest::addColumn<bool>("snapshotFirst");
        QTest::newRow("the pair review, then the snapshot") << false;
        QTest::newRow("the snapshot, then the pair review") << true;
    }
    void deletesCountOverTheRun()
    {
        QFETCH(bool, snapshotFirst);
        Session program; // the one session of the program's run
        program.DisableFilePolling = true;
        double bytes = 0;
        const auto pairDeletesTwo = [&] {
            PairReviewFixture p;
            p.session = program;
            p.settings.mode = ComparisonMode::Size;
            p.settings.noConfirm = true;
            const QString tree = p.dir.file("tree/");
            for (int i = 1; i <= 2; ++i) {
                QVERIFY(writeFile(tree + QStringLiteral("a%1.jpg").arg(i), "picture"));
                bytes += 7;
            }
            QVERIFY(p.make({ fileRow(1, "a1.jpg", tree), fileRow(2, "a2.jpg", tree) }));
            QVERIFY(p.open());
            p.review->cmdBOTH_Click();
            program = p.session;
        };
        const auto snapshotDeletesOne = [&] {
            SnapshotFixture f;
            f.session = program;
            f.settings.mode = ComparisonMode::Checksum;
            f.settings.noConfirm = true;
            QVERIFY(f.make(rowsOf({ "R.JPG sum=K", "A.JPG sum=K" }), true));
            bytes += 502; // A.JPG, RECNUM 2
            f.start();
            run(*f.review, "W1 D");
            program = f.session;
        };
        snapshotFirst ? snapshotDeletesOne() : pairDeletesTwo();
        snapshotFirst ? pairDeletesTwo() : snapshotDeletesOne();
        QCOMPARE(program.RecoveredBytes, bytes);
        QCOMPARE(program.TotalDeleted, 3);
        QCOMPARE(program.NumberDeleted, 3);
        QVERIFY(quitStatisticsText(program.NumberDeleted, program.RecoveredBytes, program.RecoveredSectorBytes,
            program.TotalSectorBytes, program.TotalDeleted)
                    .startsWith("3 file(s) deleted this session.\r"));
    }

    void steps_data()
    {
        QTest::addColumn<ComparisonMode>("mode");
        QTest::addColumn<int>("stoppedAt");
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("cursor"); // position of the review's cursor afterwards
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("counts"); // the count notice's closing texts

        const ComparisonMode numbered = ComparisonMode::Numbered;
        const QStringList none;
        const QStringList end { "No more matches..." };
        QTest::newRow("resume at the stored record") << numbered << 5 << "" << 6 << "5 6" << none << none;
        QTest::newRow("a resume record no longer there: from the first")
            << numbered << 99 << "" << 3 << "1 2" << none << none;
        QTest::newRow("a deleted resume record: from the next live one")
            << numbered << 3 << "" << 6 << "5 6" << none << none;
        QTest::newRow("skip to the next initial") << numbered << 0 << "S" << 6 << "5 6" << none << none;
        QTest::newRow("skip past the last initial") << numbered << 5 << "S" << 8 << "-" << end << none;
        QTest::newRow("skip refused in SIZE mode")
            << ComparisonMode::Size << 0 << "S" << 2 << "1 2"
            << QStringList { "Cannot skip to next major alpha in SIZE mode (browse sequence not in name order)." }
            << none;
        QTest::newRow("count by position, the cursor stays")
            << numbered << 0 << "C" << 3 << "1 2" << none << QStringList { countFinalText(4) };
        QTest::newRow("count at the end")
            << numbered << 0 << "N N C" << 8 << "-" << end << QStringList { countFinalText(0) };
    }
    void steps()
    {
        QFETCH(ComparisonMode, mode);
        QFETCH(int, stoppedAt);
        QFETCH(QString, script);
        QFETCH(int, cursor);
        QFETCH(QString, group);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, counts);

        SnapshotFixture f;
        f.settings.mode = mode;
        // By WHOLEBASE: AB AB | AC (deleted) | AD | B B | C | D
        QVERIFY(f.make(rowsOf({ "AB1.JPG size=1", "AB2.JPG size=1", "AC.JPG rtag=D", "AD.JPG size=9", "B1.JPG size=2",
            "B2.JPG size=2", "C.JPG size=3", "D.JPG size=4" })));
        f.session.StoppedAtRecord = stoppedAt;
        f.start();
        QCOMPARE(f.session.StoppedAtRecord, f.review->pair().reference.RECNUM);
        run(*f.review, script);
        QCOMPARE(f.group(), group);
        QCOMPARE(f.prompter.texts(), messages);
        QCOMPARE(f.notice.finals, counts);
        QCOMPARE(f.review->files()->position(), cursor);
        // Every step saved its reference and made its sound.
        QCOMPARE(f.sound.beeps, f.writer.writes);
    }

    void busyGuard_data()
    {
        QTest::addColumn<QString>("press");
        QTest::addColumn<bool>("close");
        QTest::newRow("Next") << "N" << false;
        QTest::newRow("Count") << "C" << false;
        QTest::newRow("All") << "A" << false;
        QTest::newRow("Delete") << "W1 D" << false;
        QTest::newRow("the close box: the showing stops, the window closes after") << "" << true;
    }
    void busyGuard()
    {
        QFETCH(QString, press);
        QFETCH(bool, close);
        SnapshotFixture f;
        f.settings.mode = ComparisonMode::Checksum;
        f.settings.noConfirm = true;
        QVERIFY(f.make(rowsOf({ "R.JPG sum=K", "A.JPG sum=K", "B.JPG sum=K", "E.JPG sum=L", "F.JPG sum=L" }), true));
        f.open();
        bool closeRefused = false;
        f.yielder.onYield = [&](int yields) {
            if (yields != 25) // once the reference is drawn, in the second pass of showing the group
                return;
            run(*f.review, press);
            closeRefused = close && !f.review->requestClose();
        };
        f.review->firstActivation();
        QCOMPARE(f.group(), QString("1 2 3"));
        QCOMPARE(f.tags(), QString("     "));
        QVERIFY(f.notice.finals.isEmpty());
        QCOMPARE(f.writer.writes, 1);
        QCOMPARE(closeRefused, close);
        QCOMPARE(f.view.closes, close ? 1 : 0);
        // A close stops the showing: the later thumbnails are not drawn.
        QCOMPARE(f.view.thumbs[2].caption.isEmpty(), close);
    }

    void closingDuringDeleteAll()
    {
        SnapshotFixture f;
        f.settings.mode = ComparisonMode::Checksum;
        f.settings.noConfirm = true;
        QVERIFY(f.make(rowsOf({ "R.JPG sum=K", "A.JPG sum=K", "B.JPG sum=K" }), true));
        f.start();
        bool refused = false;
        f.yielder.onYield = [&](int) { refused = refused || !f.review->requestClose(); };
        f.review->cmdALL_Click();
        // The close came while the reference's slot was blanked: no further file is deleted.
        QVERIFY(refused);
        QCOMPARE(f.tags(), QString("D  "));
        QCOMPARE(f.view.closes, 1);
    }

    void thumbnails()
    {
        SnapshotFixture f;
        f.settings.mode = ComparisonMode::Checksum;
        QVERIFY(f.make(rowsOf({ "P.JPG sum=K", "I.ICO sum=K", "X.JPG sum=K", "Q.JPG sum=K" }), true));
        QVERIFY(ImageSamples::photo(400, 200).save(f.tree() + "P.JPG", "JPG"));
        QVERIFY(QFile::remove(f.tree() + "I.ICO"));
        QVERIFY(QFile::copy(ImageSamples::writeSample(f.dir.path(), ".ICO"), f.tree() + "I.ICO"));
        QVERIFY(QFile::remove(f.tree() + "Q.JPG"));
        QImage(7, 5, QImage::Format_RGB32).save(f.dir.file("error.bmp"));
        f.start();
        const auto& t = f.view.thumbs;
        QCOMPARE(t[0].picture, QSize(96, 48)); // decoded within the thumbnail's square
        QVERIFY(t[1].iconShown && t[1].iconPicture && t[1].picture.isEmpty());
        QCOMPARE(t[2].picture, QSize(7, 5)); // not a picture: error.bmp
        QCOMPARE(t[3].picture, QSize(7, 5)); // gone from the disk
        QCOMPARE(t[0].caption, QString("P"));
        for (int n = 0; n < 28; ++n)
            QCOMPARE(t[std::size_t(n)].imageShown, n < 4);
        QCOMPARE(f.review->TaggedSlot, -1);
    }
};

QTEST_MAIN(tst_SnapshotReview)
#include "tst_SnapshotReview.moc"
