#include "TestSupport.h"

#include "widgets/ImageBox.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_ImageBox : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_picture; // 200 by 100: left half red, right half blue

private Q_SLOTS:
    void initTestCase()
    {
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::red);
        for (int y = 0; y < 100; ++y)
            for (int x = 100; x < 200; ++x)
                image.setPixel(x, y, qRgb(0, 0, 255));
        m_picture = m_dir.filePath(QStringLiteral("two.png"));
        QVERIFY(image.save(m_picture));
    }

    void modes_data()
    {
        QTest::addColumn<QSize>("given");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("0 keeps the given size") << QSize(50, 50) << 0 << QSize(50, 50);
        QTest::newRow("1 natural size") << QSize(50, 50) << 1 << QSize(200, 100);
        QTest::newRow("2 height follows the width") << QSize(100, 10) << 2 << QSize(100, 50);
        QTest::newRow("2 wider than the picture") << QSize(600, 10) << 2 << QSize(600, 300);
        QTest::newRow("3 width follows the height") << QSize(10, 40) << 3 << QSize(80, 40);
    }
    void modes()
    {
        QFETCH(QSize, given);
        QFETCH(int, mode);
        QFETCH(QSize, shown);
        ImageBox box;
        QVERIFY(box.setFile(m_picture));
        box.resize(given);
        box.setDisplayMode(mode);
        QCOMPARE(box.size(), shown);
        QCOMPARE(box.imageWidth(), 200);
        QCOMPARE(box.imageHeight(), 100);
        QCOMPARE(box.picture().size(), shown);
    }

    void loadsWithinABound_data()
    {
        QTest::addColumn<QSize>("bound");
        QTest::addColumn<QSize>("drawn");
        QTest::newRow("a thumbnail keeps the proportions") << QSize(96, 96) << QSize(96, 48);
        QTest::newRow("a bound larger than the picture") << QSize(400, 400) << QSize(200, 100);
    }
    void loadsWithinABound()
    {
        QFETCH(QSize, bound);
        QFETCH(QSize, drawn);
        ImageBox box;
        box.setDisplayMode(ImageBox::NaturalSize);
        QVERIFY(box.setFile(m_picture, bound));
        QCOMPARE(box.size(), drawn);
        // The picture's own size, not the size drawn.
        QCOMPARE(QSize(box.imageWidth(), box.imageHeight()), QSize(200, 100));
        QVERIFY(box.setFile(QString(), bound));
        QCOMPARE(box.imageWidth(), 0);
    }

    void fittedWidthFollowsLaterResizes()
    {
        ImageBox box;
        box.setDisplayMode(ImageBox::FitWidth);
        QVERIFY(box.setFile(m_picture));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.resize(300, 20);
        QTRY_COMPARE(box.size(), QSize(300, 150));
    }

    void previewRule()
    {
        // The preview's sizing: 600 wide, or 600 high when that would be taller.
        ImageBox box;
        QImage tall(100, 400, QImage::Format_RGB32);
        tall.fill(Qt::green);
        const QString path = m_dir.filePath(QStringLiteral("tall.bmp"));
        QVERIFY(tall.save(path));
        QVERIFY(box.setFile(path));
        box.setDisplayMode(0);
        box.resize(600, box.height());
        box.setDisplayMode(2);
        QCOMPARE(box.height(), 2400);
        box.setDisplayMode(0);
        box.resize(box.width(), 600);
        box.setDisplayMode(3);
        QCOMPARE(box.size(), QSize(150, 600));
    }

    void loading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("loads");
        QTest::newRow("garbage") << QByteArray("this is no picture") << "bad.jpg" << false;
        QTest::newRow("truncated PNG") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << "cut.png" << false;
        QTest::newRow("missing") << QByteArray() << "" << false;
    }
    void loading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(bool, loads);
        QString path = m_dir.filePath(QStringLiteral("missing.png"));
        if (!name.isEmpty()) {
            path = m_dir.filePath(name);
            QVERIFY(writeFile(path, bytes));
        }
        ImageBox box;
        QVERIFY(box.setFile(m_picture));
        QCOMPARE(box.setFile(path), loads);
        QVERIFY(!box.hasImage());
        QVERIFY(!box.lastError().isEmpty());
        QCOMPARE(box.imageWidth(), 0);
        QVERIFY(box.file().isEmpty());
    }

    void emptyPathShowsNothing()
    {
        ImageBox box;
        QVERIFY(box.setFile(m_picture));
        QVERIFY(box.setFile(QString()));
        QVERIFY(!box.hasImage());
        QCOMPARE(box.imageWidth(), 0);
        QVERIFY(box.lastError().isEmpty());
    }

    void drawsThePicture()
    {
        ImageBox box;
        QVERIFY(box.setFile(m_picture));
        box.resize(40, 40);
        const QImage shot = box.grab().toImage();
        QCOMPARE(shot.pixelColor(5, 20), QColor(Qt::red));
        QCOMPARE(shot.pixelColor(35, 20), QColor(Qt::blue));
    }

    void signals_()
    {
        ImageBox box;
        QVERIFY(box.setFile(m_picture));
        box.setDisplayMode(1);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy clicks(&box, &ImageBox::clicked);
        QSignalSpy moves(&box, &ImageBox::mouseMoved);
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(clicks.count(), 1);
        QTest::mouseMove(&box, QPoint(30, 40));
        QTRY_VERIFY(!moves.isEmpty());
        QCOMPARE(moves.last().at(0).toPoint(), QPoint(30, 40));
    }
};

QTEST_MAIN(tst_ImageBox)
#include "tst_ImageBox.moc"
