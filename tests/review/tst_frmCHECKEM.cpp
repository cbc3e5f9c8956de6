#include "dialogs/frmMOVEIT.h"
#include "dialogs/frmVIEWIMAGES.h"
#include "review/pair/frmCHECKEM.h"
#include "widgets/ImageBox.h"
#include "widgets/MessageBoxPrompter.h"

#include "ModalScript.h"
#include "PairReviewFixture.h"
#include "PatternRows.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// A review window over pictures on disk: a.jpg twice, b.png twice, c.jpg once (SIZE mode pairs
// the two of each name, which are the same size and type).
struct Window
{
    PairReviewFixture f;
    QWidget mainWindow;
    QPointer<frmCHECKEM> window;
    QString tree;

    explicit Window(const std::function<void(MainSettings&)>& adjust = {}, bool open = true,
        Prompter* prompter = nullptr, qint64 firstSize = 1000)
    {
        f.settings.mode = ComparisonMode::Size;
        if (adjust)
            adjust(f.settings);
        tree = f.dir.file("tree/");
        QList<CatalogueRecord> rows;
        const QStringList names { "a1.jpg", "a2.jpg", "b1.png", "b2.png", "c.jpg" };
        for (int i = 0; open && i < 5; ++i) {
            const QString& name = names[i % 5];
            QImage image(40 + 10 * (i / 2), 30, QImage::Format_RGB32);
            image.fill(QColor(30 * i, 90, 200));
            const QString file = tree + QString::number(i / 5) + name;
            QDir().mkpath(tree);
            image.save(file);
            CatalogueRecord row = fileRow(i + 1, QString::number(i / 5) + name, tree);
            row.SIZE = firstSize + i / 2;
            rows << row;
        }
        if (!open)
            return;
        f.make(rows);
        window = new frmCHECKEM(
            f.settings, f.session, f.dir.path(), prompter ? *prompter : f.prompter, f.sound, f.writer, &mainWindow);
        window->show();
        QApplication::setActiveWindow(window);
        QTest::qWait(0); // the first activation
        // Keys come to the focused control first; a button that an action disables hands its
        // focus on, and the key must still act once.
        window->cmdNEXT->setFocus();
    }
    ~Window() { delete window.data(); }
    // A key typed as the user types it: to the focused control, else to the window.
    void type(int key, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.data();
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
    QString shown() const { return window->lblFILE[0]->text() + "|" + window->lblFILE[1]->text(); }
};

} // namespace

class tst_frmCHECKEM : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstPairOnShow()
    {
        Window w;
        QCOMPARE(w.shown(), QString("0a1|0a2"));
        QCOMPARE(w.window->lblSTATUS->text(), QString());
        QCOMPARE(w.window->lblTYPE[1]->text(), QString(".JPG"));
        QCOMPARE(w.window->lblDIM[0]->text(), QString("40 x 30"));
        QVERIFY(w.window->lblCHKSIZE[0]->isVisibleTo(w.window) && w.window->lblCHKDIM[1]->isVisibleTo(w.window));
        QVERIFY(!w.window->lblCHKNAME[0]->isVisibleTo(w.window));
        QVERIFY(w.window->cmdNEXT->isEnabled() && w.window->cmdDELETE[1]->isEnabled());
        QVERIFY(w.window->keyPreview());
        QVERIFY(!w.window->cmdSTOP->isVisibleTo(w.window));
        QVERIFY(w.window->cmdCOUNT->geometry().right() < 0); // out of sight
        QVERIFY(w.window->gvbIMAGE[0]->hasImage());
        QCOMPARE(w.f.writer.written, QList<qint32> { 1 });
    }

    // The row of the size shows each text whole: a size wider than its place pushes the date
    // to the right, within the window.
    void sizeRowShownWhole_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("four digits") << qint64(1000);
        QTest::newRow("eight digits") << qint64(11207346);
        QTest::newRow("ten digits") << qint64(2147483647);
    }
    void sizeRowShownWhole()
    {
        QFETCH(qint64, size);
        Window w({}, true, nullptr, size);
        for (std::size_t i = 0; i < 2; ++i) {
            const QLabel* sizeLabel = w.window->lblSIZE[i];
            const QLabel* date = w.window->lblDATE[i];
            const auto* caption = w.window->findChild<QLabel*>(i == 0 ? "Label6" : "Label12");
            QCOMPARE(sizeLabel->text(), QString::number(size));
            for (const QLabel* fact : { sizeLabel, date })
                QVERIFY(fact->contentsRect().width() >= fact->fontMetrics().horizontalAdvance(fact->text()));
            QVERIFY(caption->x() > sizeLabel->geometry().right());
            QVERIFY(w.window->lblCHKDATE[i]->x() > caption->geometry().right());
            QVERIFY(date->x() > w.window->lblCHKDATE[i]->geometry().right() - 1);
            QVERIFY(date->geometry().right() < w.window->width());
        }
    }

    // Each key of the window, typed as the user types it; deletes go unasked.
    void keys_data()
    {
        QTest::addColumn<QList<int>>("keys"); // key codes; a negative one is typed with Alt
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("searches");
        QTest::addColumn<QStringList>("windows"); // the modal windows that came up
        const QStringList none;
        QTest::newRow("n") << QList<int> { Qt::Key_N } << "n"
                           << "0a2|0b1" << 2 << none;
        QTest::newRow("N then -") << QList<int> { Qt::Key_N, Qt::Key_Minus } << "N-"
                                  << "0a2|0a1" << 3 << none;
        QTest::newRow("+ then P") << QList<int> { Qt::Key_Plus, Qt::Key_P } << "+P"
                                  << "0a2|0a1" << 3 << none;
        QTest::newRow("Page Down") << QList<int> { Qt::Key_PageDown } << ""
                                   << "0a2|0b1" << 2 << none;
        QTest::newRow("Page Down then Page Up") << QList<int> { Qt::Key_PageDown, Qt::Key_PageUp } << ""
                                                << "0a2|0a1" << 3 << none;
        QTest::newRow("1") << QList<int> { Qt::Key_1 } << "1"
                           << "|0a2" << 1 << none;
        QTest::newRow("2") << QList<int> { Qt::Key_2 } << "2"
                           << "0a1|" << 1 << none;
        QTest::newRow("3") << QList<int> { Qt::Key_3 } << "3"
                           << "|" << 1 << none;
        QTest::newRow("v") << QList<int> { Qt::Key_V } << "v"
                           << "0a1|0a2" << 1 << QStringList { "frmVIEWIMAGES" };
        QTest::newRow("/") << QList<int> { Qt::Key_Slash } << "/"
                           << "0a1|0a2" << 1 << QStringList { "frmVIEWIMAGES" };
        QTest::newRow("c") << QList<int> { Qt::Key_C } << "c"
                           << "0a1|0a2" << 1 << QStringList { "frmCOUNT" };
        // Alt+N is the access key of Next (the button's own shortcut), never a typed N.
        QTest::newRow("Alt+N is no typed N") << QList<int> { -Qt::Key_N } << "n"
                                             << "0a1|0a2" << 1 << none;
        QTest::newRow("other keys do nothing") << QList<int> { Qt::Key_Q, Qt::Key_Z } << "qz"
                                               << "0a1|0a2" << 1 << none;
    }
    void keys()
    {
        QFETCH(QList<int>, keys);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(int, searches);
        QFETCH(QStringList, windows);
        Window w([](MainSettings& s) {
            s.mode = ComparisonMode::Checksum;
            s.noConfirm = true;
        });
        QCOMPARE(w.shown(), QString("0a1|0a2"));
        const auto close = [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); };
        ModalScript script({ close, close });
        for (int i = 0; i < keys.size(); ++i) {
            if (keys[i] < 0)
                w.type(-keys[i], "n", Qt::AltModifier);
            else
                w.type(keys[i], i < text.size() ? QString(text[i]) : QString());
        }
        QCOMPARE(w.shown(), shown);
        QCOMPARE(w.f.writer.written.size(), searches);
        QCOMPARE(script.seen, windows);
    }

    // Move through the run's move dialog, placed in the window's lower left corner; the pair is
    // shown again, a half emptied by a delete staying empty.
    void moveFromTheWindow_data()
    {
        QTest::addColumn<bool>("image2Deleted");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("shown");
        QTest::newRow("moved") << false << false << "File moved..."
                               << "0a1|0a2";
        QTest::newRow("moved with image 2 deleted") << true << false << "File moved..."
                                                    << "0a1|";
        QTest::newRow("cancelled") << false << true << "File not moved..."
                                   << "0a1|0a2";
    }
    void moveFromTheWindow()
    {
        QFETCH(bool, image2Deleted);
        QFETCH(bool, cancel);
        QFETCH(QString, status);
        QFETCH(QString, shown);
        Window w([](MainSettings& s) { s.noConfirm = true; });
        const QString dst = w.f.dir.file("dst/");
        QVERIFY(QDir().mkpath(dst));
        frmMOVEIT dialog(w.f.settings, w.f.session, w.f.volumes, w.f.prompter);
        w.window->setMoveDialog(&dialog);
        if (image2Deleted)
            QTest::mouseClick(w.window->cmdDELETE[1], Qt::LeftButton);
        QPoint placed;
        ModalScript script({ [&](QWidget* moveIt) {
            placed = moveIt->pos();
            dialog.pointBrowserAt(dst);
            (cancel ? dialog.cmdCANCEL : dialog.cmdADDDIR)->click();
        } });
        QTest::mouseClick(w.window->cmdMOVE[0], Qt::LeftButton);
        QCOMPARE(script.seen, QStringList { "frmMOVEIT" });
        QCOMPARE(placed, MoveFileEngine::placement(w.window->frameGeometry(), dialog.frameGeometry().size()));
        QCOMPARE(w.window->lblSTATUS->text(), status);
        QCOMPARE(w.shown(), shown);
        QCOMPARE(w.window->lblPATH[0]->text(), cancel ? w.tree : dst);
        QVERIFY(QFileInfo::exists((cancel ? w.tree : dst) + "0a1.jpg"));
        QVERIFY(w.window->gvbIMAGE[0]->hasImage() && w.window->cmdNEXT->isEnabled());
    }

    // Rename: the box opens on the button and applies, once, when the focus goes to another
    // control of the window, though its own message boxes take the focus meanwhile.
    void renameFromTheWindow_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("boxes"); // the message boxes answered
        QTest::addColumn<QString>("shown"); // the file label afterwards
        QTest::addColumn<QString>("boxAfter");
        QTest::newRow("renamed") << "dog" << QStringList { "Rename file to - dog" } << "dog"
                                 << "dog";
        QTest::newRow("taken name: the box stays open")
            << "0a2" << QStringList { "Rename file to - 0a2", "Unable to Rename file - <tree>0a1.jpg" } << "0a1"
            << "0a2";
        QTest::newRow("two lines: told why, the box shows the name again")
            << "dog\ncat"
            << QStringList { "This name was not taken: it holds a line break, and a file's name stays on one "
                             "line...\n\ndog\u21b5cat" }
            << "0a1"
            << "0a1";
    }
    void renameFromTheWindow()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, boxes);
        QFETCH(QString, shown);
        QFETCH(QString, boxAfter);
        MessageBoxPrompter boxPrompter;
        Window w({}, true, &boxPrompter);
        QLineEdit* box = w.window->txtNEWNAME[0];
        QStringList answered;
        const auto answer = [&](QWidget* shownBox) {
            auto* message = static_cast<QMessageBox*>(shownBox);
            answered << message->text().replace(w.tree, "<tree>");
            (message->button(QMessageBox::Yes) ? message->button(QMessageBox::Yes) : message->button(QMessageBox::Ok))
                ->click();
        };
        ModalScript script({ answer, answer, answer });
        QVERIFY(QTest::qWaitForWindowActive(w.window));
        QTest::mouseClick(w.window->cmdRENAME[0], Qt::LeftButton);
        QVERIFY(box->isVisible() && box->hasFocus() && w.window->cmdOK[0]->isVisible() && !w.window->keyPreview());
        box->setText(" " + typed + " ");
        w.window->cmdOK[0]->setFocus(Qt::TabFocusReason);
        QCOMPARE(answered, boxes);
        QCOMPARE(w.window->lblFILE[0]->text(), shown);
        QCOMPARE(box->text(), boxAfter);
        const bool open = shown != typed;
        QCOMPARE(box->isVisible(), open);
        QVERIFY(!w.window->cmdOK[0]->isVisible() && w.window->keyPreview());
        QCOMPARE(w.window->focusWidget(), open ? static_cast<QWidget*>(box) : w.window->cmdNEXT);
        QVERIFY(QFileInfo::exists(w.tree + shown + ".jpg"));
    }

    // View: both images in the viewer, a half emptied by a delete not at all; a delete asked for
    // there comes back as Delete 1 or Delete 2.
    void viewFromTheWindow_data()
    {
        QTest::addColumn<bool>("image2Deleted");
        QTest::addColumn<int>("deleteSide"); // 0: Return
        QTest::addColumn<QString>("shown");
        QTest::newRow("delete 1 asked") << false << 1 << "|0a2";
        QTest::newRow("delete 2 asked") << false << 2 << "0a1|";
        QTest::newRow("image 2 deleted before") << true << 0 << "0a1|";
    }
    void viewFromTheWindow()
    {
        QFETCH(bool, image2Deleted);
        QFETCH(int, deleteSide);
        QFETCH(QString, shown);
        Window w([](MainSettings& s) { s.noConfirm = true; });
        if (image2Deleted)
            QTest::mouseClick(w.window->cmdDELETE[1], Qt::LeftButton);
        QString loaded;
        ModalScript script({ [&](QWidget* shownViewer) {
            auto* viewer = static_cast<frmVIEWIMAGES*>(shownViewer);
            loaded
                = QString::number(viewer->gvbIMAGE[0]->hasImage()) + QString::number(viewer->gvbIMAGE[1]->hasImage());
            (deleteSide ? viewer->cmdDELETE[std::size_t(deleteSide - 1)] : viewer->cmdRETURN)->click();
        } });
        QTest::mouseClick(w.window->gvbIMAGE[0], Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(script.seen, QStringList { "frmVIEWIMAGES" });
        QCOMPARE(loaded, image2Deleted ? QString("10") : QString("11"));
        QCOMPARE(w.shown(), shown);
        QCOMPARE(w.f.session.NumberDeleted, int(image2Deleted) + int(deleteSide > 0));
        QVERIFY(w.window->cmdNEXT->isEnabled() && w.window->lblSTATUS->text() != "Loading image 2...");
    }

    // Closing the window while a pattern search runs stops the search; the window unloads once,
    // when the search has returned.
    void closingMidSearchStops_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("during the first search") << false;
        QTest::newRow("during a search started by a key") << true;
    }
    void closingMidSearchStops()
    {
        QFETCH(bool, byKey);
        Window w(
            [](MainSettings& s) {
                s.mode = ComparisonMode::Pattern;
                s.tolerance = "0";
            },
            false);
        PatternRowOptions distinct;
        distinct.duplicateShare = 0;
        QVERIFY(w.f.make(makePatternRows(400, randomBases(8, 3), 3, distinct)));
        QPointer<frmCHECKEM> window = new frmCHECKEM(
            w.f.settings, w.f.session, w.f.dir.path(), w.f.prompter, w.f.sound, w.f.writer, &w.mainWindow);
        bool closedWhileBusy = false;
        auto closeSoon = [&] {
            QTimer::singleShot(0, window, [&] {
                closedWhileBusy = window->review().busy();
                window->close();
            });
        };
        window->show();
        if (byKey) {
            // Past the first search (it stores its place once), then past the window's pause
            // between yields, so the next search's first yield runs the close.
            QTRY_COMPARE(w.f.writer.written.size(), 1);
            QTest::qWait(30);
            QApplication::setActiveWindow(window);
            window->cmdPREVIOUS->setFocus();
            closeSoon();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_P, Qt::NoModifier, "p");
            QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : window.data(), &press);
        } else {
            closeSoon();
        }
        QTRY_VERIFY(window.isNull());
        QVERIFY(closedWhileBusy);
        QVERIFY(w.mainWindow.isVisible());
        // Each search stored its place once: the first, and the one stopped by the close.
        QCOMPARE(w.f.writer.written.size(), byKey ? 2 : 1);
        QCOMPARE(w.f.session.StoppedAtRecord, w.f.writer.written.last());
        // Only a search that ran to its end says so; a stopped one shows what it had in hand.
        QCOMPARE(w.f.prompter.texts(), byKey ? QStringList { "No more matches..." } : QStringList {});
    }
};

QTEST_MAIN(tst_frmCHECKEM)
#include "tst_frmCHECKEM.moc"
