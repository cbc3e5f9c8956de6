#include "dialogs/ViewerLayout.h"

#include <QTest>

namespace {

// Every character 100 twips wide.
int fixedWidth(const QString& text)
{
    return int(text.size()) * 100;
}

} // namespace

class tst_ViewerLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scrollRange_data()
    {
        QTest::addColumn<int>("control");
        QTest::addColumn<int>("frame");
        QTest::addColumn<bool>("hasImage");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("smallChange");
        QTest::addColumn<int>("largeChange");
        QTest::newRow("300 taller, 2000 tall") << 2000 << 1700 << true << 300 << 40 << 200;
        QTest::newRow("exactly as tall fits") << 1700 << 1700 << true << 0 << 1 << 1;
        QTest::newRow("no image") << 5000 << 1700 << false << 0 << 1 << 1;
        QTest::newRow("halves to even, down") << 2125 << 1000 << true << 1125 << 42 << 212;
        QTest::newRow("halves to even, up") << 2175 << 1000 << true << 1175 << 44 << 218;
        QTest::newRow("a 100-megapixel photograph") << 180000 << 9000 << true << 171000 << 3600 << 18000;
    }
    void scrollRange()
    {
        QFETCH(int, control);
        QFETCH(int, frame);
        QFETCH(bool, hasImage);
        QFETCH(int, max);
        QFETCH(int, smallChange);
        QFETCH(int, largeChange);
        QCOMPARE(ViewerLayout::scrollRange(control, frame, hasImage), (ScrollRange { max, smallChange, largeChange }));
    }

    void dragValue_data()
    {
        QTest::addColumn<int>("value1");
        QTest::addColumn<int>("max1");
        QTest::addColumn<int>("max2");
        QTest::addColumn<int>("value2"); // -1: no drag
        QTest::newRow("half way") << 50 << 200 << 100 << 25;
        QTest::newRow("to the end") << 200 << 200 << 37 << 37;
        QTest::newRow("a half to even") << 1 << 4 << 2 << 0;
        QTest::newRow("side 1 fits its frame") << 0 << 0 << 100 << -1;
        QTest::newRow("side 2 fits its frame") << 120 << 200 << 0 << 0;
        QTest::newRow("beyond side 1's range") << 300 << 200 << 100 << -1;
    }
    void dragValue()
    {
        QFETCH(int, value1);
        QFETCH(int, max1);
        QFETCH(int, max2);
        QFETCH(int, value2);
        QCOMPARE(ViewerLayout::dragValue(value1, max1, max2).value_or(-1), value2);
    }

    void shortenPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fits") << "/home/a.jpg" << 1100 << "/home/a.jpg";
        QTest::newRow("one pass: characters 4 to 7 go") << "/home/pics/a.jpg" << 1500 << "/ho...ics/a.jpg";
        QTest::newRow("keeps the end") << "/home/pics/holiday/a.jpg" << 1200 << "/ho.../a.jpg";
        QTest::newRow("one character short") << "/home/pics/holiday/a.jpg" << 1399 << "/ho...y/a.jpg";
        QTest::newRow("exactly as wide") << "/home/pics/holiday/a.jpg" << 1400 << "/ho...ay/a.jpg";
        QTest::newRow("stops at six characters") << "/home/pics/a.jpg" << 100 << "/ho...";
        QTest::newRow("shorter than seven") << "/a.jpg" << 300 << "/a....";
        QTest::newRow("empty") << "" << 0 << "";
    }
    void shortenPath()
    {
        QFETCH(QString, path);
        QFETCH(int, width);
        QFETCH(QString, shown);
        QCOMPARE(ViewerLayout::shortenPath(path, width, fixedWidth), shown);
    }

    // The layout of a 12000 by 9000 twip window: frames, bars, labels, buttons; a side without a
    // file, an icon side and image sides of different sizes.
    void layout_data()
    {
        QTest::addColumn<bool>("secondFile");
        QTest::addColumn<bool>("secondIsIcon");
        QTest::addColumn<QSize>("control1");
        QTest::addColumn<QString>("size1");
        QTest::addColumn<QString>("size2");
        QTest::addColumn<ScrollRange>("vertical1");
        QTest::addColumn<ScrollRange>("horizontal1");
        QTest::newRow("two pictures") << true << false << QSize(9000, 10000) << "123 bytes,  600 x 667"
                                      << "45 bytes,  40 x 30" << ScrollRange { 2800, 200, 1000 }
                                      << ScrollRange { 3495, 180, 900 };
        QTest::newRow("a single picture that fits") << false << false << QSize(3000, 1500) << "123 bytes,  600 x 667"
                                                    << "" << ScrollRange() << ScrollRange();
        QTest::newRow("an icon on side 2, side 1 just fits")
            << true << true << QSize(5505, 7200) << "123 bytes,  600 x 667"
            << "45 bytes" << ScrollRange() << ScrollRange();
    }
    void layout()
    {
        QFETCH(bool, secondFile);
        QFETCH(bool, secondIsIcon);
        QFETCH(QSize, control1);
        QFETCH(QString, size1);
        QFETCH(QString, size2);
        QFETCH(ScrollRange, vertical1);
        QFETCH(ScrollRange, horizontal1);
        std::array<ViewerSideState, 2> sides;
        sides[0] = { true, control1, QSize(600, 667), QStringLiteral("/p/one.jpg"), QStringLiteral("123 bytes") };
        if (secondFile)
            sides[1] = { !secondIsIcon, QSize(600, 450), QSize(40, 30), QStringLiteral("/p/two.ico"),
                QStringLiteral("45 bytes") };
        const ViewerLayoutResult result = ViewerLayout::layout(QSize(12000, 9000), sides, fixedWidth);
        const ViewerSideLayout& one = result.sides[0];
        const ViewerSideLayout& two = result.sides[1];
        QCOMPARE(one.frame, QRect(120, 120, 5505, 7200));
        QCOMPARE(two.frame, QRect(6000, 120, 5505, 7200));
        QCOMPARE(one.verticalBar, QRect(5625, 120, 255, 7200));
        QCOMPARE(one.horizontalBar, QRect(120, 7320, 5505, 255));
        QCOMPARE(one.corner, QRect(5625, 7320, 255, 255));
        QCOMPARE(one.fileLabel, QPoint(120, 7695));
        QCOMPARE(one.sizeLabel, QPoint(120, 7975));
        QCOMPARE(one.deleteButton, QPoint(120, 8260));
        QCOMPARE(one.viewButton, QPoint(1335, 8260));
        QCOMPARE(two.deleteButton, QPoint(6000, 8260));
        // Return's right edge on side 2's vertical bar's, whether side 2 has a file or not.
        QCOMPARE(result.returnButton, QPoint(11760 - 1215, 8260));
        QCOMPARE(one.sizeText, size1);
        QCOMPARE(two.sizeText, size2);
        QCOMPARE(one.vertical, vertical1);
        QCOMPARE(one.horizontal, horizontal1);
        QCOMPARE(two.vertical, ScrollRange());
        QVERIFY(one.buttonsVisible && one.holderVisible);
        QCOMPARE(two.buttonsVisible, secondFile);
        QCOMPARE(two.holderVisible, secondFile && !secondIsIcon);
        QCOMPARE(two.fileText, secondFile ? QStringLiteral("/p/two.ico") : QString());
    }
};

QTEST_APPLESS_MAIN(tst_ViewerLayout)
#include "tst_ViewerLayout.moc"
