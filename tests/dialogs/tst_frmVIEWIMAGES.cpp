#include "dialogs/frmALTVIEW.h"
#include "dialogs/frmVIEWIMAGES.h"
#include "session/Session.h"
#include "widgets/ImageBox.h"

#include "FakeVolumes.h"
#include "ImageSamples.h"
#include "ModalScript.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <memory>

namespace {

void pressExit(QWidget* launcher)
{
    launcher->findChild<QPushButton*>(QStringLiteral("cmdEXIT"))->click();
}

} // namespace

class tst_frmVIEWIMAGES : public QObject
{
    Q_OBJECT

    TemporaryProgramDirectory m_home;
    QString m_big; // 800 x 1000: taller and wider than a frame
    QString m_wide; // 1000 x 200
    QString m_small; // 100 x 100
    QString m_icon;
    QString m_broken;
    Session m_session;
    FakeVolumes m_volumes;
    ScriptedPrompter m_prompter;
    std::unique_ptr<frmALTVIEW> m_launcher;

    QString picture(const QString& name, int width, int height)
    {
        const QString path = m_home.file(name);
        ImageSamples::photo(width, height).save(path);
        return path;
    }

    // A viewer whose frames are about 417 by 480 pixels.
    std::unique_ptr<frmVIEWIMAGES> viewer()
    {
        auto v = std::make_unique<frmVIEWIMAGES>(*m_launcher);
        v->resize(900, 600);
        return v;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_big = picture(QStringLiteral("big.png"), 800, 1000);
        m_wide = picture(QStringLiteral("wide.png"), 1000, 200);
        m_small = picture(QStringLiteral("small.png"), 100, 100);
        picture(QStringLiteral("error.bmp"), 30, 20);
        m_icon = ImageSamples::writeSample(m_home.path(), QStringLiteral(".ICO"));
        m_broken = m_home.file(QStringLiteral("broken.jpg"));
        QVERIFY(writeFile(m_broken, "not a picture"));
        m_launcher = std::make_unique<frmALTVIEW>(m_session, m_volumes, m_prompter);
    }

    void layoutOfAView()
    {
        auto v = viewer();
        QVERIFY(v->prepare({ m_big, QStringLiteral("123 bytes") }, { m_icon, QStringLiteral("45 bytes") }));
        v->show();
        // Laid out from the window's outer size.
        const QSize outer = v->frameGeometry().size() * 15;
        const QSize frame((outer.width() / 2 - 495) / 15, (outer.height() - 1800) / 15);
        QCOMPARE(v->Picturebox[0]->geometry(), QRect(QPoint(8, 8), frame));
        QCOMPARE(v->Picturebox[1]->geometry(), QRect(QPoint(outer.width() / 2 / 15, 8), frame));
        QCOMPARE(v->lblSIZE[0]->text(), QStringLiteral("123 bytes,  800 x 1000"));
        // An icon shows in its own box: no pixel size, nothing to scroll.
        QCOMPARE(v->lblSIZE[1]->text(), QStringLiteral("45 bytes"));
        QVERIFY(v->picIMAGE[1]->isVisible() && !v->picIMAGE[1]->pixmap().isNull() && !v->Picture[1]->isVisible());
        QCOMPARE(v->HScroll[1]->maximum(), 0);
        QVERIFY(v->lblFILE[0]->width() <= v->Picturebox[0]->width());
        QVERIFY(v->lblFILE[0]->text().endsWith(QStringLiteral("big.png")));
        QCOMPARE(v->VScroll[0]->maximum(), (1000 - frame.height()) * 15);
        QCOMPARE(v->HScroll[0]->maximum(), (800 - frame.width()) * 15);
        QCOMPARE(v->VScroll[1]->maximum(), 0);
        QCOMPARE(v->cmdRETURN->geometry().right(), v->VScroll[1]->geometry().right());
        QVERIFY(v->cmdDELETE[1]->isVisible() && v->cmdVIEW[1]->isVisible());
    }

    // A click on either picture, or on a frame's bare background, toggles both sides between
    // their natural size and a fit to their frames.
    void zoom_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("clickOn");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QList<int>>("modes"); // side 1 and 2 after each of three clicks
        const QPoint corner(10, 10);
        QTest::newRow("both too large") << m_big << m_wide << "picture 2" << corner << QList<int> { 3, 2, 1, 1, 3, 2 };
        QTest::newRow("both fit") << m_small << m_small << "picture 1" << corner << QList<int> { 1, 1, 1, 1, 1, 1 };
        QTest::newRow("one fits") << m_small << m_wide << "picture 1" << corner << QList<int> { 1, 2, 1, 1, 1, 2 };
        QTest::newRow("frame background")
            << m_small << m_big << "frame 1" << QPoint(410, 470) << QList<int> { 1, 3, 1, 1, 1, 3 };
        QTest::newRow("single picture") << m_big << QString() << "picture 1" << corner
                                        << QList<int> { 3, 1, 1, 1, 3, 1 };
        // Below what the fitted picture covers: the click still toggles once.
        QTest::newRow("low on a wide picture")
            << m_wide << m_big << "picture 1" << QPoint(10, 150) << QList<int> { 2, 3, 1, 1, 2, 3 };
    }
    void zoom()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, clickOn);
        QFETCH(QPoint, at);
        QFETCH(QList<int>, modes);
        auto v = viewer();
        QVERIFY(v->prepare({ first, QStringLiteral("1 bytes") }, { second, second.isEmpty() ? "" : "2 bytes" }));
        v->show();
        for (int click = 0; click < 3; ++click) {
            if (clickOn == QLatin1String("frame 1"))
                QTest::mouseClick(v->Picturebox[0], Qt::LeftButton, {}, at);
            else
                QTest::mouseClick(v->gvbIMAGE[clickOn == QLatin1String("picture 2") ? 1 : 0], Qt::LeftButton, {}, at);
            for (int k = 0; k < 2; ++k) {
                QCOMPARE(v->gvbIMAGE[k]->displayMode(), modes[click * 2 + k]);
                if (!v->gvbIMAGE[k]->isHidden() && modes[click * 2 + k] != 1) {
                    QVERIFY(v->gvbIMAGE[k]->width() <= v->Picturebox[k]->width());
                    QVERIFY(v->gvbIMAGE[k]->height() <= v->Picturebox[k]->height());
                    QCOMPARE(v->VScroll[k]->maximum(), 0);
                }
            }
        }
    }

    // The keys, the buttons and the close box end a view; the delete request names a side's file.
    void endingAView_data()
    {
        QTest::addColumn<bool>("twoSides");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("side"); // whose file DelPic holds, 0 none
        QTest::newRow("key 1") << true << "1" << 1;
        QTest::newRow("key 2") << true << "2" << 2;
        QTest::newRow("key 2 with one side") << false << "2" << 0;
        QTest::newRow("key r") << true << "r" << 0;
        QTest::newRow("key V") << true << "V" << 0;
        QTest::newRow("key /") << true << "/" << 0;
        QTest::newRow("key x does nothing, then R") << true << "xR" << 0;
        QTest::newRow("delete button 2") << true << "cmdDELETE2" << 2;
        QTest::newRow("return button") << true << "cmdRETURN" << 0;
        QTest::newRow("close box") << true << "close" << 0;
        QTest::newRow("escape") << true << "\x1b" << 0;
    }
    void endingAView()
    {
        QFETCH(bool, twoSides);
        QFETCH(QString, action);
        QFETCH(int, side);
        auto v = viewer();
        const ViewSide one { m_small, QStringLiteral("1 bytes") };
        const ViewSide two { twoSides ? m_wide : QString(), twoSides ? QStringLiteral("2 bytes") : QString() };
        ModalScript script({ [&](QWidget* modal) {
            if (action.startsWith(QLatin1String("cmd")))
                modal->findChild<QPushButton*>(action)->click();
            else if (action == QLatin1String("close"))
                modal->close();
            else
                QTest::keyClicks(modal, action);
        } });
        const ViewResult result = v->view(one, two);
        QVERIFY(result.shown);
        QCOMPARE(result.DelPic, side == 1 ? m_small : side == 2 ? m_wide : QString());
        QVERIFY(!v->isVisible());
        QVERIFY(v->gvbIMAGE[0]->file().isEmpty() && v->gvbIMAGE[1]->file().isEmpty());
    }

    // A side that cannot be drawn goes to the launcher before the viewer and shows error.bmp.
    void sidesThatCannotBeDrawn_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("windows");
        QTest::newRow("second broken") << m_small << m_broken << QStringList { "frmALTVIEW", "frmVIEWIMAGES" };
        QTest::newRow("both broken") << m_broken << m_broken << QStringList { "frmALTVIEW", "frmALTVIEW" };
        QTest::newRow("first missing") << m_home.file(QStringLiteral("gone.png")) << QString()
                                       << QStringList { "frmALTVIEW" };
    }
    void sidesThatCannotBeDrawn()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QStringList, windows);
        auto v = viewer();
        QStringList offered;
        QString errorSide;
        auto exitLauncher = [&](QWidget* modal) {
            offered << static_cast<frmALTVIEW*>(modal)->file();
            pressExit(modal);
        };
        ModalScript script({ exitLauncher, [&](QWidget* modal) {
                                if (modal == v.get()) {
                                    errorSide = v->gvbIMAGE[1]->file();
                                    v->cmdRETURN->click();
                                } else {
                                    exitLauncher(modal);
                                }
                            } });
        const ViewResult result = v->view({ first, QStringLiteral("1 bytes") }, { second, QStringLiteral("2 bytes") });
        QCOMPARE(script.seen, windows);
        QCOMPARE(result.shown, windows.contains(QStringLiteral("frmVIEWIMAGES")));
        QCOMPARE(offered.first(), m_broken == first || second.isEmpty() ? first : second);
        if (result.shown)
            QCOMPARE(errorSide, m_home.file(QStringLiteral("error.bmp")));
        QVERIFY(result.DelPic.isEmpty());
    }

    // The zoom carries over to the next view after a click on an icon, not after Return.
    void zoomCarriesOverAnIconClick()
    {
        auto v = viewer();
        ModalScript script({ [&](QWidget*) {
                                QTest::mouseClick(v->gvbIMAGE[0], Qt::LeftButton, {}, QPoint(10, 10));
                                QTest::mouseClick(v->picIMAGE[1], Qt::LeftButton);
                            },
            [&](QWidget*) { v->cmdRETURN->click(); }, [&](QWidget*) { v->cmdRETURN->click(); } });
        v->view({ m_big, QString() }, { m_icon, QString() });
        QCOMPARE(v->gvbIMAGE[0]->displayMode(), int(ImageBox::FitHeight));
        v->view({ m_big, QString() }, { m_icon, QString() });
        QCOMPARE(v->gvbIMAGE[0]->displayMode(), int(ImageBox::NaturalSize));
        v->view({ m_big, QString() }, { QString(), QString() });
        QCOMPARE(v->gvbIMAGE[0]->displayMode(), int(ImageBox::NaturalSize));
    }

    // Side 1's scroll bars drag side 2's along; side 2's move it alone.
    void scrolling()
    {
        auto v = viewer();
        QVERIFY(v->prepare({ m_big, QString() }, { m_big, QString() }));
        v->show();
        const int max = v->VScroll[0]->maximum();
        v->VScroll[0]->setValue(max / 2);
        QCOMPARE(v->VScroll[1]->value(), max / 2);
        QCOMPARE(v->Picture[0]->y(), -(max / 2) / 15);
        QCOMPARE(v->Picture[1]->y(), -(max / 2) / 15);
        v->HScroll[1]->setValue(300);
        QCOMPARE(v->Picture[1]->x(), -20);
        QCOMPARE(v->Picture[0]->x(), 0);
        // A zoom lays out again and scrolls back to the top left corner.
        QTest::mouseClick(v->gvbIMAGE[0], Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(v->Picture[0]->pos(), QPoint(0, 0));
        QCOMPARE(v->VScroll[1]->value(), 0);
    }
};

QTEST_MAIN(tst_frmVIEWIMAGES)
#include "tst_frmVIEWIMAGES.moc"
