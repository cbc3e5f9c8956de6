#include "review/snapshot/HoverFacts.h"
#include "review/snapshot/PadPlacement.h"
#include "review/snapshot/SnapshotReview.h"

#include "EngineMoveDialog.h"
#include "SnapshotFixture.h"

#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(LocationColour)

namespace {

// H<slot> the pointer on a thumbnail, W<slot> a click, B the background, T Tag, V View,
// D Delete, A Delete all, M Move, R<name> the name box applied for the current slot.
void run(SnapshotReview& review, const QString& script)
{
    for (const QString& action : script.split(' ', Qt::SkipEmptyParts)) {
        const int slot = action.mid(1).toInt();
        switch (action.at(0).unicode()) {
        case 'H':
            review.thumbnailHovered(slot);
            break;
        case 'W':
            review.thumbnailClicked(slot);
            break;
        case 'B':
            review.backgroundHovered();
            break;
        case 'T':
            review.cmdTAG_Click();
            break;
        case 'V':
            review.cmdVIEW_Click();
            break;
        case 'D':
            review.cmdDELETE_Click();
            break;
        case 'A':
            review.cmdALL_Click();
            break;
        case 'M':
            review.cmdMOVE_Click();
            break;
        case 'R':
            review.cmdRENAME_Click(review.WHICHIMAGE, action.mid(1));
            break;
        default:
            break;
        }
    }
}

} // namespace

class tst_SnapshotPads : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void actionPadPlace_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QPoint>("thumbnail");
        QTest::addColumn<QPoint>("pad");
        const QRect window(1500, 1500, 9615, 6750);
        QTest::newRow("upper left: right of and below the corner")
            << window << QPoint(120, 120) << QPoint(1500 + 120 + 280, 1500 + 120 + 560);
        QTest::newRow("upper right: to the left") << window << QPoint(7920, 120) << QPoint(7100, 2180);
        QTest::newRow("lower left: above") << window << QPoint(120, 4800) << QPoint(1900, 6060);
        QTest::newRow("lower right: up and to the left") << window << QPoint(7920, 4800) << QPoint(7100, 6060);
        QTest::newRow("exactly on both half lines: right and lower half")
            << QRect(0, 0, 9600, 6400) << QPoint(4800, 3200) << QPoint(4800 - 2320, 3200 - 240);
    }
    void actionPadPlace()
    {
        QFETCH(QRect, window);
        QFETCH(QPoint, thumbnail);
        QFETCH(QPoint, pad);
        QCOMPARE(PadPlacement::actionPad(window, thumbnail), pad);
    }

    void hoverStripPlace_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QPoint>("strip");
        const int centred = 1500 + (9615 - 8775) / 2;
        QTest::newRow("wide screen: below the window, whatever the slot")
            << QRect(0, 0, 24000, 15000) << 20 << QPoint(centred, 1500 + 6750 + 100);
        QTest::newRow("9600 wide, slot 11: over the window's bottom")
            << QRect(0, 0, 9600, 7200) << 11 << QPoint(centred, 1500 + 6750 - 750 - 450);
        QTest::newRow("9600 wide, slot 12: over the window's top")
            << QRect(0, 0, 9600, 7200) << 12 << QPoint(centred, 1500 + 700);
        QTest::newRow("wide, but no room below on the screen: over the window")
            << QRect(0, 0, 24000, 9000) << 3 << QPoint(centred, 1500 + 6750 - 1200);
    }
    void hoverStripPlace()
    {
        QFETCH(QRect, screen);
        QFETCH(int, slot);
        QFETCH(QPoint, strip);
        QCOMPARE(PadPlacement::hoverStrip(QRect(1500, 1500, 9615, 6750), screen, slot), strip);
    }

    void hoverFacts_data()
    {
        // The location as "[VOLUME] path", the incoming directory, the colour.
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("ifcd");
        QTest::addColumn<LocationColour>("colour");
        const QString in = "[MYDISK] /in";
        QTest::newRow("an ordinary directory") << "[MYDISK] /home/u/pics/" << in << LocationColour::Default;
        QTest::newRow("tmp in lower case") << "[MYDISK] /var/tmp/"
                                           << "" << LocationColour::Temporary;
        QTest::newRow("TMP inside a name") << "[MYDISK] /u/TMPFILES/"
                                           << "" << LocationColour::Temporary;
        QTest::newRow("the incoming prefix") << "[MYDISK] /inbox/" << in << LocationColour::Ifcd;
        QTest::newRow("red over blue") << "[MYDISK] /in/temp/" << in << LocationColour::Ifcd;
        QTest::newRow("the prefix in another case") << "[MYDISK] /in/"
                                                    << "[mydisk] /in" << LocationColour::Default;
    }
    void hoverFacts()
    {
        QFETCH(QString, location);
        QFETCH(QString, ifcd);
        QFETCH(LocationColour, colour);
        ImageFacts slot;
        slot.DRIVEVOLUME = location.section(' ', 0, 0);
        slot.PATH = location.section(' ', 1);
        slot.REFNAME = "Photo";
        slot.EXTENSION = ".JPG";
        slot.SIZE = " 12345";
        Session session;
        session.NumberDeleted = 3;
        session.TotalDeleted = 12;
        const HoverFacts facts = hoverFactsOf(slot, session, ifcd, QSize(640, 480));
        QCOMPARE(facts.colour, colour);
        QCOMPARE(QStringList({ facts.name, facts.size, facts.counters, facts.dimensions }),
            QStringList({ slot.PATH + "  Photo.JPG", " 12345 bytes", " 3 files deleted,  12 total...", "640 x 480" }));
    }

    // Clicks that bring no pad: the actions have no slot to act on.
    void clickWithoutSlot_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("current");
        QTest::newRow("a click on an emptied slot") << "W1 D W1" << 1;
        QTest::newRow("after Delete all no slot is current and the pad goes") << "W2 ?NNNN A" << 99;
    }
    void clickWithoutSlot()
    {
        QFETCH(QString, script);
        QFETCH(int, current);
        SnapshotFixture f;
        f.settings.mode = ComparisonMode::Checksum;
        f.settings.noConfirm = !script.contains('?');
        QVERIFY(f.make(rowsOf({ "R.JPG sum=K", "A.JPG sum=K", "B.JPG sum=K", "C.JPG sum=K" }), true));
        f.start();
        for (int k = 0; k < 4; ++k)
            f.prompter.queueAnswer(MsgAnswer::No);
        run(*f.review, script);
        QCOMPARE(f.review->WHICHIMAGE, current);
        QCOMPARE(f.view.padSlot, -1);
    }

    void tagAndView_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("answer"); // of the viewer
        QTest::addColumn<QStringList>("views");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QString>("tags"); // RTAG of the rows afterwards
        const QString a = "A.JPG 2 bytes";
        const QString b = "B.JPG 3 bytes";
        const QString c = "C.JPG 4 bytes";
        QTest::newRow("view without a tag: side 1 alone") << "H2 V"
                                                          << "" << QStringList { b } << 0 << "    ";
        QTest::newRow("tag 3, point at 1, view: the tagged file on the left")
            << "H3 T H1 V"
            << "" << QStringList { c + "|" + a } << 1 << "    ";
        QTest::newRow("tag and view one slot: the same file twice") << "H3 T V"
                                                                    << "" << QStringList { c + "|" + c } << 1 << "    ";
        QTest::newRow("the view clears the tag, even when nothing could be shown")
            << "H3 T H1 V V"
            << "fail" << QStringList { c + "|" + a, a } << 1 << "    ";
        QTest::newRow("tag on an emptied slot: no beep, no view") << "H1 D T V"
                                                                  << "" << QStringList {} << 0 << " D  ";
        QTest::newRow("a tagged slot emptied since: the view shows the current file alone")
            << "H1 T D H2 V"
            << "" << QStringList { b } << 1 << " D  ";
        QTest::newRow("the viewer asks to delete the current file")
            << "H1 T H2 V"
            << "B.JPG" << QStringList { a + "|" + b } << 1 << "  D ";
        QTest::newRow("a request for a file no slot shows deletes nothing")
            << "H2 V"
            << "X.JPG" << QStringList { b } << 0 << "    ";
        QTest::newRow("after Delete all: no current slot, no view") << "?NNNN A V"
                                                                    << "" << QStringList {} << 0 << "    ";
    }
    void tagAndView()
    {
        QFETCH(QString, script);
        QFETCH(QString, answer);
        QFETCH(QStringList, views);
        QFETCH(int, beeps);
        QFETCH(QString, tags);
        SnapshotFixture f;
        f.settings.mode = ComparisonMode::Checksum;
        f.settings.noConfirm = !script.contains('?');
        QVERIFY(f.make(
            rowsOf({ "R.JPG sum=K size=1", "A.JPG sum=K size=2", "B.JPG sum=K size=3", "C.JPG sum=K size=4" }), true));
        ScriptedViewer viewer;
        viewer.tree = f.tree();
        viewer.answer = answer;
        f.open();
        f.review->setDialogs(ReviewDialogs { nullptr, &viewer });
        f.review->firstActivation();
        for (int k = 0; k < 4; ++k)
            f.prompter.queueAnswer(MsgAnswer::No);
        f.sound.beeps = 0;
        run(*f.review, script);
        QCOMPARE(viewer.views.replaceInStrings(f.tree(), ""), views);
        QCOMPARE(f.sound.beeps, beeps);
        QCOMPARE(f.tags(), tags);
        QCOMPARE(f.review->TaggedSlot, script.endsWith('T') ? f.review->WHICHIMAGE : -1);
        QVERIFY(f.view.controlsEnabled);
    }

    void moveAndRename_data()
    {
        // Besides the actions: ?YN the answers, "noconfirm", "cancel" (the move dialog's Cancel),
        // "taken" (the destination holds B.JPG already).
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("slot"); // slot 2 afterwards: PATH, NAME, REFNAME, WHOLENAME, caption
        QTest::addColumn<QString>("row"); // its row: PATH, WHOLENAME, RTAG
        QTest::addColumn<QStringList>("messages");
        const QString kept = "TREE/ B B B.JPG B";
        const QString keptRow = "TREE/ B.JPG  ";
        QTest::newRow("moved: the slot and its row follow the file") << "H2 M"
                                                                     << "DST/ B B B.JPG B"
                                                                     << "DST/ B.JPG  " << QStringList {};
        QTest::newRow("moved beside a file of its name: numbered") << "taken H2 M"
                                                                   << "DST/ B0 B0 B0.JPG B0"
                                                                   << "DST/ B0.JPG  " << QStringList {};
        QTest::newRow("the reference moved: the review's reference follows it")
            << "H0 M" << kept << keptRow << QStringList {};
        QTest::newRow("move cancelled") << "cancel H2 M" << kept << keptRow << QStringList {};
        QTest::newRow("after Delete all there is nothing to move")
            << "?NNNN A M" << kept << keptRow
            << QStringList { "Delete file - TREE/R.JPG", "Delete file - TREE/A.JPG", "Delete file - TREE/B.JPG",
                   "Delete file - TREE/C.JPG" };
        QTest::newRow("renamed, the extension kept") << "H2 ?Y RPic01"
                                                     << "TREE/ PIC01 Pic01 PIC01.JPG Pic01"
                                                     << "TREE/ PIC01.JPG  " << QStringList { "Rename file to - Pic01" };
        QTest::newRow("rename declined") << "H2 ?N RPic01" << kept << keptRow
                                         << QStringList { "Rename file to - Pic01" };
        QTest::newRow("the present name in another letter case: nothing asked")
            << "H2 Rb" << kept << keptRow << QStringList {};
        QTest::newRow("renamed, then deleted: the delete finds the row by its new name")
            << "noconfirm H2 ?Y RPic01 D"
            << "    "
            << "TREE/ PIC01.JPG D" << QStringList { "Rename file to - Pic01" };
    }
    void moveAndRename()
    {
        QFETCH(QString, script);
        QFETCH(QString, slot);
        QFETCH(QString, row);
        QFETCH(QStringList, messages);
        SnapshotFixture f;
        f.settings.mode = ComparisonMode::Checksum;
        f.settings.thumbnailExt = ".THN";
        f.apply(script);
        QVERIFY(f.make(rowsOf({ "R.JPG sum=K", "A.JPG sum=K", "B.JPG sum=K", "C.JPG sum=K" }), true));
        const QString dst = f.dir.file("dst/");
        QVERIFY(QDir().mkpath(dst));
        if (script.contains("taken"))
            QVERIFY(writeFile(dst + "B.JPG", "another"));
        EngineMoveDialog dialog(f.prompter, f.volumes);
        dialog.to = script.contains("cancel") ? QString() : "[ROOT] " + dst;
        f.open();
        f.review->setDialogs(ReviewDialogs { &dialog, nullptr });
        f.review->firstActivation();
        for (QChar answer : script.section('?', 1).section(' ', 0, 0))
            f.prompter.queueAnswer(answer == 'Y' ? MsgAnswer::Yes : MsgAnswer::No);
        f.prompter.clear();
        run(*f.review, script);

        auto local = [&](QString text) { return text.replace(dst, "DST/").replace(f.tree(), "TREE/"); };
        const ImageFacts& shown = f.review->thumbnails()[2];
        QCOMPARE(
            local(QStringList { shown.PATH, shown.NAME, shown.REFNAME, shown.WHOLENAME, f.view.thumbs[2].caption }.join(
                ' ')),
            slot);
        auto db = CatalogueDatabase::open(f.databasePath());
        const QVariantList stored { db->queryValue("SELECT PATH FROM FILES WHERE RECNUM = 3"),
            db->queryValue("SELECT WHOLENAME FROM FILES WHERE RECNUM = 3"),
            db->queryValue("SELECT RTAG FROM FILES WHERE RECNUM = 3") };
        QCOMPARE(local(stored[0].toString() + " " + stored[1].toString() + " " + stored[2].toString()), row);
        QStringList texts = f.prompter.texts();
        for (QString& text : texts)
            text = local(text);
        QCOMPARE(texts, messages);
        QCOMPARE(f.review->pair().reference.filePath(), f.review->thumbnails()[0].filePath());
        // The file is where the slot says, unless it was deleted.
        if (!shown.NAME.isEmpty())
            QVERIFY(QFile::exists(shown.filePath()));
        QVERIFY(f.view.controlsEnabled);
    }

    void deleteRequestForOneFileCataloguedTwice()
    {
        // Two records of one file: the group shows it once, and the request deletes it once; the
        // other record, which names nothing now, is tagged with it.
        SnapshotFixture f;
        f.settings.mode = ComparisonMode::Checksum;
        f.settings.noConfirm = true;
        QVERIFY(f.make(rowsOf({ "R.JPG sum=K", "A.JPG sum=K", "A.JPG sum=K" }), true));
        ScriptedViewer viewer;
        viewer.tree = f.tree();
        viewer.answer = "A.JPG";
        f.open();
        f.review->setDialogs(ReviewDialogs { nullptr, &viewer });
        f.review->firstActivation();
        QCOMPARE(f.group(), QString("1 2"));
        run(*f.review, "H1 V");
        QCOMPARE(f.tags(), QString(" DD"));
        QCOMPARE(f.session.NumberDeleted, 1);
        QVERIFY(!QFile::exists(f.tree() + "A.JPG"));
    }
};

QTEST_MAIN(tst_SnapshotPads)
#include "tst_SnapshotPads.moc"
