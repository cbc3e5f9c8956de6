#include "dialogs/frmVIEWIMAGES.h"
#include "review/snapshot/HoverFacts.h"
#include "review/snapshot/frmDOWHAT.h"
#include "review/snapshot/frmNAME.h"
#include "review/snapshot/frmSNAPSHOT.h"
#include "widgets/ImageBox.h"

#include "ImageSamples.h"
#include "SnapshotFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

// A prompter that runs a script while its question is up, inside the action that asked.
class InterruptingPrompter : public ScriptedPrompter
{
public:
    MsgAnswer ask(const Message& message) override
    {
        if (whileAsking)
            std::exchange(whileAsking, {})();
        return ScriptedPrompter::ask(message);
    }
    std::function<void()> whileAsking;
};

// The snapshot window over real pictures: R, A, B and C one group (slots 0 to 3), E and F the
// next one.
struct Window
{
    SnapshotFixture f;
    InterruptingPrompter prompter;
    ScriptedViewer viewer;
    QWidget mainWindow;
    QPointer<frmSNAPSHOT> window;

    explicit Window(bool confirm = false)
    {
        f.settings.mode = ComparisonMode::Checksum;
        f.settings.noConfirm = !confirm;
        const QStringList rows { "R.JPG sum=K", "A.JPG sum=K", "B.JPG sum=K", "C.JPG sum=K", "E.JPG sum=L",
            "F.JPG sum=L" };
        if (!f.make(rowsOf(rows), true))
            return;
        for (int k = 0; k < rows.size(); ++k)
            ImageSamples::photo(60 + 10 * k, 40, k).save(f.tree() + rows[k].section(' ', 0, 0), "JPG");
        viewer.tree = f.tree();
        window = new frmSNAPSHOT(f.settings, f.session, f.dir.path(),
            frmSNAPSHOT::Services { prompter, f.sound, f.volumes, f.writer }, &mainWindow);
        window->review().setDialogs(ReviewDialogs { nullptr, &viewer });
        window->show();
        QApplication::setActiveWindow(window);
        QTest::qWait(0); // the first activation shows the first group
    }
    ~Window() { delete window.data(); }

    QString group() const { return f.group(&window->review()); }
    frmDOWHAT* pad() const { return window->actionPad(); }
    frmNAME* strip() const { return window->hoverStrip(); }
    void hover(int slot)
    {
        ImageBox* image = window->gvbIMAGE[std::size_t(slot)];
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), image->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(image, &move);
    }
    void background()
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), window->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(window, &move);
    }
    void click(int slot) { QTest::mouseClick(window->gvbIMAGE[std::size_t(slot)], Qt::LeftButton); }
    // A key as the user types it: to the focused control of the window, else to the window.
    static void type(QWidget* target, const QString& key)
    {
        QWidget* focus = target->focusWidget() ? target->focusWidget() : target;
        const std::pair<const char*, Qt::Key> named[] { { "PgUp", Qt::Key_PageUp }, { "PgDn", Qt::Key_PageDown },
            { "Del", Qt::Key_Delete } };
        for (const auto& [name, code] : named) {
            if (key == QLatin1String(name)) {
                QTest::keyClick(focus, code);
                return;
            }
        }
        QTest::keyClicks(focus, key);
    }
    // An access letter as the window system delivers it: offered to the focused control's window
    // first, a key press when taken there.
    static void accessKey(QWidget* focus, Qt::Key key)
    {
        QKeyEvent offer(QEvent::ShortcutOverride, key, Qt::AltModifier);
        offer.ignore();
        QApplication::sendEvent(focus, &offer);
        QVERIFY(offer.isAccepted());
        QKeyEvent press(QEvent::KeyPress, key, Qt::AltModifier);
        QApplication::sendEvent(focus, &press);
    }
    // A modal window of the program in front, as the message box and the viewer are, closed once it
    // has the activation (whileUp runs then); the window manager hands the activation back to the
    // review window.
    void modalInFront(const std::function<void()>& whileUp = {})
    {
        QDialog modal;
        QTimer::singleShot(0, &modal, [&] {
            QTRY_VERIFY(modal.isActiveWindow());
            if (whileUp)
                whileUp();
            modal.accept();
        });
        modal.exec();
        QApplication::setActiveWindow(window);
    }
    // What a user sees afterwards.
    QString state() const
    {
        return QStringLiteral("group %1, tags '%2', pad %3, strip %4, beeps %5, views %6")
            .arg(group(), const_cast<SnapshotFixture&>(f).tags())
            .arg(pad()->isVisible())
            .arg(strip()->isVisible())
            .arg(f.sound.beeps)
            .arg(viewer.views.size());
    }
};

// Runs a function on every event of the objects it watches.
class EventWatch : public QObject
{
public:
    explicit EventWatch(std::function<void(QEvent*)> seen)
        : m_seen(std::move(seen))
    {
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        m_seen(event);
        return false;
    }

private:
    std::function<void(QEvent*)> m_seen;
};

int px(int twips)
{
    return twips / 15;
}

} // namespace

class tst_frmSNAPSHOT : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void hoverClickAndBackground()
    {
        Window w;
        QCOMPARE(w.group(), QString("1 2 3 4"));
        w.hover(2);
        QVERIFY(w.strip()->isVisible());
        QCOMPARE(w.strip()->lblNAME->text(), w.f.tree() + "  B.JPG");
        QCOMPARE(w.strip()->lblDIM->text(), QString("80 x 40"));
        QCOMPARE(w.window->lblNAME->text(), w.strip()->lblNAME->text());
        // The box stands round the thumbnail, just outside it.
        const QRect image = w.window->gvbIMAGE[2]->geometry();
        const QRect top = w.window->boxLINE[0]->geometry();
        const QRect bottom = w.window->boxLINE[1]->geometry();
        const QRect left = w.window->boxLINE[2]->geometry();
        const QRect right = w.window->boxLINE[3]->geometry();
        QVERIFY(w.window->boxLINE[3]->isVisible());
        for (int gap : { image.top() - top.bottom(), bottom.top() - image.bottom(), image.left() - left.right(),
                 right.left() - image.right() })
            QVERIFY2(gap >= 0 && gap <= 2, qPrintable(QString::number(gap)));
        QVERIFY(top.left() < image.left() && top.right() >= image.right() - 1);
        // The strip lies below the window on a wide screen, centred across it.
        QCOMPARE(w.strip()->y(), w.window->frameGeometry().bottom() + 1 + px(100));

        w.click(0);
        QVERIFY(w.pad()->isVisible());
        QCOMPARE(w.pad()->txtNEWNAME->text(), QString("R"));
        QVERIFY(!w.pad()->txtNEWNAME->isVisible());
        const QPoint corner = w.window->frameGeometry().topLeft();
        const QPoint thumbnail = w.window->gvbIMAGE[0]->pos() * 15;
        QCOMPARE(w.pad()->pos(), corner + QPoint(px(thumbnail.x() + 280), px(thumbnail.y() + 560)));

        w.background();
        QVERIFY(!w.pad()->isVisible());
        QVERIFY(!w.strip()->isVisible());
        QVERIFY(!w.window->boxLINE[0]->isVisible());
        QCOMPARE(w.window->lblNAME->text(), QString());
        QCOMPARE(w.window->lblDELSTATUS->text(), QString(" 0 files deleted,  0 total..."));
        QCOMPARE(w.window->review().WHICHIMAGE, 0);
    }

    // The strip's row of facts shows every text whole, the widest date of the clock among them,
    // each beside the next and within the strip.
    void stripFactsShownWhole()
    {
        Window w;
        w.hover(2);
        HoverFacts facts;
        facts.name = w.f.tree() + "  B.JPG";
        facts.dimensions = QStringLiteral("12000 x 12000");
        facts.size = QStringLiteral(" 2147483647 bytes");
        facts.date = QStringLiteral("12/31/2026 12:59:59 PM");
        facts.counters = QStringLiteral(" 999 files deleted,  9999 total...");
        w.strip()->showFacts(facts, Qt::black);
        const frmNAME& strip = *w.strip();
        int right = -1;
        for (const QLabel* label : { strip.lblDIM, strip.lblSIZE, strip.lblDATE, strip.lblDELSTATUS }) {
            QVERIFY2(label->contentsRect().width() >= label->fontMetrics().horizontalAdvance(label->text()),
                qPrintable(label->text()));
            QVERIFY2(label->x() > right, qPrintable(label->text()));
            right = label->geometry().right();
        }
        QVERIFY(right < strip.width());
    }

    void outerSize_data()
    {
        // The outer size the user gives the window (none: as it opens), then the grid's last slot.
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<int>("lastSlot");
        QTest::newRow("as it opens: 9615 x 6750 twips, the small grid") << QSize() << 23;
        QTest::newRow("made 12000 twips wide: the large grid") << QSize(800, 500) << 27;
    }
    void outerSize()
    {
        QFETCH(QSize, outer);
        QFETCH(int, lastSlot);
        Window w;
        const QMargins frame = w.window->windowHandle()->frameMargins();
        QVERIFY(!frame.isNull());
        if (outer.isValid()) {
            w.window->resize(outer.shrunkBy(frame));
        } else {
            outer = QSize(px(9615), px(6750));
            const QSize screen = w.window->screen()->size() * 15;
            QCOMPARE(w.window->frameGeometry().topLeft(),
                QPoint(px((screen.width() - 9615) / 2), px((screen.height() - 6750) / 4)));
        }
        QTRY_COMPARE(w.window->frameGeometry().size(), outer);
        // The layout reads the outer size, at the opening as at every later resize.
        QCOMPARE(w.window->cmdNEXT->y(), px(outer.height() * 15 - 890));
        QCOMPARE(w.window->review().LastSlot, lastSlot);
        // The tip is seen whole where the group leaves its place free: nothing stands over it.
        QLabel* tip = w.window->lblTIP;
        QVERIFY(tip->height() >= tip->sizeHint().height() && tip->width() >= tip->sizeHint().width());
        for (int y = tip->y(); y <= tip->geometry().bottom(); ++y) {
            for (int x = tip->x(); x <= tip->geometry().right(); x += 4)
                QVERIFY2(w.window->childAt(x, y) == tip, qPrintable(QString("%1, %2").arg(x).arg(y)));
        }
    }

    void keys_data()
    {
        // "click" for the pad, "hover" for the strip; "at window": typed before the window manager
        // has handed the pad the keyboard
        QTest::addColumn<QString>("pointer");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("state");
        const QString shown = "group 1 2 3 4, tags '      ', ";
        QTest::newRow("pad V: the view, the pad stays") << "click"
                                                        << "v" << shown + "pad 1, strip 0, beeps 0, views 1";
        QTest::newRow("pad T: the tag's beep") << "click"
                                               << "T" << shown + "pad 1, strip 0, beeps 1, views 0";
        QTest::newRow("pad D without a question: deleted, the pad goes")
            << "click"
            << "d"
            << "group 1 2 4, tags '  D   ', pad 0, strip 0, beeps 0, views 0";
        QTest::newRow("pad Delete key") << "click"
                                        << "Del"
                                        << "group 1 2 4, tags '  D   ', pad 0, strip 0, beeps 0, views 0";
        QTest::newRow("pad N: both pads go, the next group")
            << "click"
            << "n"
            << "group 5 6, tags '      ', pad 0, strip 0, beeps 1, views 0";
        QTest::newRow("pad Page Down") << "click"
                                       << "PgDn"
                                       << "group 5 6, tags '      ', pad 0, strip 0, beeps 1, views 0";
        QTest::newRow("pad T typed at the window") << "click at window"
                                                   << "T" << shown + "pad 1, strip 0, beeps 1, views 0";
        QTest::newRow("pad Page Down at the window") << "click at window"
                                                     << "PgDn"
                                                     << "group 5 6, tags '      ', pad 0, strip 0, beeps 1, views 0";
        QTest::newRow("strip D typed at the window") << "hover at window"
                                                     << "D"
                                                     << "group 1 2 4, tags '  D   ', pad 0, strip 0, beeps 0, views 0";
        QTest::newRow("strip D: the hovered file, the strip goes")
            << "hover"
            << "D"
            << "group 1 2 4, tags '  D   ', pad 0, strip 0, beeps 0, views 0";
        QTest::newRow("strip V") << "hover"
                                 << "v" << shown + "pad 0, strip 1, beeps 0, views 1";
        QTest::newRow("strip N: the strip goes") << "hover"
                                                 << "n"
                                                 << "group 5 6, tags '      ', pad 0, strip 0, beeps 1, views 0";
        QTest::newRow("strip Page Up: the search back, the strip goes")
            << "hover"
            << "PgUp"
            << "group 4 3 2 1, tags '      ', pad 0, strip 0, beeps 1, views 0";
    }
    void keys()
    {
        QFETCH(QString, pointer);
        QFETCH(QString, key);
        QFETCH(QString, state);
        Window w;
        const bool clicked = pointer.startsWith("click");
        clicked ? w.click(2) : w.hover(2);
        w.f.sound.beeps = 0;
        QWidget* pad = clicked ? static_cast<QWidget*>(w.pad()) : w.strip();
        Window::type(pointer.endsWith("at window") ? static_cast<QWidget*>(w.window) : pad, key);
        QCOMPARE(w.state(), state);
    }

    void renameBox_data()
    {
        // How the focus leaves the box, the questions asked, the pad afterwards.
        QTest::addColumn<QString>("leave");
        QTest::addColumn<bool>("padUp");
        QTest::newRow("to Ok") << "ok" << true;
        QTest::newRow("by Tab") << "tab" << true;
        QTest::newRow("Cancel by its access letter: renamed first, then the pad goes") << "alt+c" << false;
        QTest::newRow("the pointer on another thumbnail: the box's own slot renamed") << "hover" << false;
        QTest::newRow("the focus to Ok and Cancel's letter at once: one rename") << "ok+alt+c" << false;
    }
    void renameBox()
    {
        QFETCH(QString, leave);
        QFETCH(bool, padUp);
        Window w;
        w.click(2);
        QTRY_VERIFY(w.pad()->isActiveWindow());
        Window::type(w.pad(), "r");
        QLineEdit* box = w.pad()->txtNEWNAME;
        QVERIFY(box->isVisible() && box->hasFocus());
        QCOMPARE(w.pad()->height(), 2250 / 15);
        box->selectAll();
        // Letters go into the box: D deletes nothing while it is open.
        QTest::keyClicks(box, " Dd1 ");
        // While the question is up, whatever the loss of focus left queued runs: no second rename.
        w.prompter.whileAsking = [&] { QTest::qWait(0); };
        w.prompter.queueAnswer(MsgAnswer::Yes);
        if (leave == "ok")
            QTest::mouseClick(w.pad()->cmdOK, Qt::LeftButton);
        else if (leave == "tab")
            QTest::keyClick(box, Qt::Key_Tab);
        else if (leave == "alt+c")
            Window::accessKey(box, Qt::Key_C);
        else if (leave == "ok+alt+c") {
            w.pad()->cmdOK->setFocus(Qt::MouseFocusReason);
            Window::accessKey(w.pad()->cmdOK, Qt::Key_C);
        } else
            w.hover(3);
        QTRY_COMPARE(w.prompter.texts(), QStringList { "Rename file to - Dd1" });
        QCOMPARE(w.prompter.texts().size(), 1);
        QVERIFY(QFile::exists(w.f.tree() + "Dd1.JPG"));
        QCOMPARE(w.window->review().thumbnails()[2].REFNAME, QString("Dd1"));
        QCOMPARE(w.window->lblREFNAME[2]->text(), QString("Dd1"));
        QCOMPARE(w.f.tags(), QString("      "));
        QCOMPARE(box->text(), QString("Dd1"));
        QVERIFY(!box->isVisible());
        QCOMPARE(w.pad()->isVisible(), padUp);
        // The letters act again once the box is closed.
        if (padUp) {
            w.f.sound.beeps = 0;
            Window::type(w.pad(), "t");
            QCOMPARE(w.f.sound.beeps, 1);
        }
    }

    // Lines pasted into the box: told why, nothing asked, and the box offers the present name again.
    void renameBoxRefusesLines()
    {
        Window w;
        w.click(2);
        QTRY_VERIFY(w.pad()->isActiveWindow());
        Window::type(w.pad(), "r");
        QLineEdit* box = w.pad()->txtNEWNAME;
        const QString present = box->text();
        QGuiApplication::clipboard()->setText("a\nb");
        box->selectAll();
        box->paste();
        QTest::mouseClick(w.pad()->cmdOK, Qt::LeftButton);
        QTRY_COMPARE(w.prompter.texts().size(), 1);
        QVERIFY2(w.prompter.texts()[0].contains("line break"), qPrintable(w.prompter.texts()[0]));
        QCOMPARE(box->text(), present);
        QCOMPARE(w.window->review().thumbnails()[2].REFNAME, present);
    }

    void stripCount()
    {
        Window w;
        w.hover(1);
        QString shown;
        QTimer::singleShot(0, [&] {
            if (QWidget* notice = QApplication::activeModalWidget()) {
                shown = notice->objectName();
                notice->close();
            }
        });
        Window::type(w.strip(), "c");
        QCOMPARE(shown, QString("frmCOUNT"));
    }

    // Another window of the program in front parks the pads: a question asked from one does not
    // stand under it. Once the question is declined the pad comes back, placed again.
    void padsParkUnderAQuestion_data()
    {
        QTest::addColumn<bool>("clicked"); // the pad, else the hover strip
        QTest::newRow("the pad's Delete declined") << true;
        QTest::newRow("the strip's Delete declined") << false;
    }
    void padsParkUnderAQuestion()
    {
        QFETCH(bool, clicked);
        Window w(true);
        clicked ? w.click(2) : w.hover(2);
        QWidget* pad = clicked ? static_cast<QWidget*>(w.pad()) : w.strip();
        pad->activateWindow();
        QTRY_VERIFY(pad->isActiveWindow());
        const QPoint placed = pad->pos();
        bool upDuring = true;
        w.prompter.whileAsking = [&] { w.modalInFront([&] { upDuring = pad->isVisible(); }); };
        w.prompter.queueAnswer(MsgAnswer::No);
        Window::type(pad, "d");
        QCOMPARE(w.prompter.messages().size(), 1);
        QCOMPARE(w.f.tags(), QString("      "));
        QVERIFY(!upDuring);
        QTRY_VERIFY(pad->isVisible() && pad->isActiveWindow());
        QCOMPARE(pad->pos(), placed);
        // Deactivated by the review window itself, it stays away.
        QApplication::setActiveWindow(w.window);
        QTRY_VERIFY(!pad->isVisible());
        QTest::qWait(20);
        QVERIFY(!pad->isVisible());
    }

    // Once a delete has taken a file of the group, neither pad comes up again until the pointer
    // brings one, whichever way the delete came and whatever parked the pads for it (the question,
    // the viewer), and the counters read the delete.
    void noPadAfterADelete_data()
    {
        QTest::addColumn<QString>("from"); // "pad" (a click on slot 2), "strip" (a hover over it)
        QTest::addColumn<QString>("keys"); // there: D, View then 1 in the viewer, Alt+A
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("deleted");
        for (const bool confirm : { true, false }) {
            const char* how = confirm ? ", Yes" : ", No Confirm";
            for (const char* from : { "pad", "strip" }) {
                const QByteArray name = QByteArray(from) + " ";
                QTest::newRow(name + "D" + how) << from << "d" << confirm << "1 2 4" << 1;
                QTest::newRow(name + "View, 1 in the viewer" + how) << from << "v1" << confirm << "1 2 4" << 1;
                QTest::newRow(name + "Delete all" + how) << from << "alt+a" << confirm << "-" << 4;
            }
        }
    }
    void noPadAfterADelete()
    {
        QFETCH(QString, from);
        QFETCH(QString, keys);
        QFETCH(bool, confirm);
        QFETCH(QString, group);
        QFETCH(int, deleted);
        Window w(confirm);
        w.window->review().setDialogs(ReviewDialogs { nullptr, w.window->viewer() });
        from == "pad" ? w.click(2) : w.hover(2);
        QWidget* pad = from == "pad" ? static_cast<QWidget*>(w.pad()) : w.strip();
        pad->activateWindow();
        QTRY_VERIFY(pad->isActiveWindow());
        // Every showing of a pad once a file of the group has gone.
        const QDir tree(w.f.tree());
        int shownAfter = 0;
        EventWatch watch([&](QEvent* event) {
            if (event->type() == QEvent::Show && tree.entryList(QDir::Files).size() < 6)
                ++shownAfter;
        });
        for (QWidget* watched : { static_cast<QWidget*>(w.pad()), static_cast<QWidget*>(w.strip()) })
            watched->installEventFilter(&watch);
        std::function<void()> question = [&] {
            w.modalInFront();
            w.prompter.whileAsking = question;
        };
        w.prompter.whileAsking = question;
        for (int k = 0; k < 4; ++k)
            w.prompter.queueAnswer(MsgAnswer::Yes);
        if (keys == "v1") {
            // The viewer on the slot's file, "1" asks for its delete; the review window has the
            // activation back only afterwards.
            QTimer::singleShot(0, w.window, [&] {
                QTRY_VERIFY(w.window->viewer()->isActiveWindow());
                QTest::keyClicks(w.window->viewer(), "1");
            });
            Window::type(pad, "v");
        } else if (keys == "alt+a") {
            Window::accessKey(pad->focusWidget() ? pad->focusWidget() : pad, Qt::Key_A);
        } else {
            Window::type(pad, keys);
        }
        QCOMPARE(w.group(), group);
        QCOMPARE(w.prompter.messages().size(), confirm ? deleted : 0);
        QVERIFY(!w.pad()->isVisible() && !w.strip()->isVisible());
        // Nor later, when the window manager hands the activation back to the review window.
        QApplication::setActiveWindow(w.window);
        QTest::qWait(20);
        QCOMPARE(shownAfter, 0);
        QVERIFY(!w.pad()->isVisible() && !w.strip()->isVisible());
        const QString counters = QString(" %1 files deleted,  %1 total...").arg(deleted);
        QCOMPARE(w.strip()->lblDELSTATUS->text(), counters);
        QCOMPARE(w.window->lblDELSTATUS->text(), counters);
    }

    void busyGuard_data()
    {
        // What is pressed while the delete's question is up, and whether the review ends.
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<bool>("closed");
        QTest::newRow("pad N, T, D and strip N: nothing") << "padN padT padD stripN stripD" << false;
        QTest::newRow("the window's Exit: nothing") << "windowExit" << false;
        QTest::newRow("pad Exit: a stop, then the review ends") << "padExit" << true;
    }
    void busyGuard()
    {
        QFETCH(QString, pressed);
        QFETCH(bool, closed);
        Window w(true);
        w.click(1);
        w.prompter.whileAsking = [&] {
            for (const QString& press : pressed.split(' ')) {
                if (press == "padExit")
                    w.pad()->cmdEXIT->click();
                else if (press == "windowExit")
                    w.window->cmdEXIT->click();
                else
                    Window::type(press.startsWith("pad") ? static_cast<QWidget*>(w.pad()) : w.strip(), press.right(1));
            }
        };
        w.prompter.queueAnswer(MsgAnswer::Yes);
        w.f.sound.beeps = 0;
        Window::type(w.pad(), "d");
        QCOMPARE(w.prompter.messages().size(), 1); // one question: the other presses did nothing
        QCOMPARE(w.f.tags(), QString(" D    "));
        QCOMPARE(w.group(), QString("1 3 4"));
        QCOMPARE(w.f.sound.beeps, 0);
        QTest::qWait(0);
        QCOMPARE(w.window.isNull() || !w.window->isVisible(), closed);
        QCOMPARE(w.mainWindow.isVisible(), closed);
    }

    void exitEndsTheReview_data()
    {
        QTest::addColumn<bool>("fromPad");
        QTest::newRow("the window's Exit") << false;
        // The window's Exit has the same letter: the pad's own comes first while it is in front.
        QTest::newRow("the pad's Exit by its access letter") << true;
    }
    void exitEndsTheReview()
    {
        QFETCH(bool, fromPad);
        Window w;
        if (fromPad) {
            w.click(1);
            QTRY_VERIFY(w.pad()->isActiveWindow());
            Window::accessKey(w.pad()->focusWidget() ? w.pad()->focusWidget() : w.pad(), Qt::Key_X);
        } else {
            w.window->cmdEXIT->click();
        }
        QTest::qWait(0);
        QVERIFY(w.window.isNull() || !w.window->isVisible());
        QVERIFY(w.mainWindow.isVisible());
    }
};

QTEST_MAIN(tst_frmSNAPSHOT)
#include "tst_frmSNAPSHOT.moc"
