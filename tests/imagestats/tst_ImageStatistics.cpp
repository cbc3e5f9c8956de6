#include "ReferencePattern.h"

#include "imagestats/CapturePixels.h"
#include "imagestats/ColourStats.h"
#include "imagestats/GreyRow.h"
#include "imagestats/ImageDecoder.h"
#include "imagestats/MakePattern.h"
#include "imagestats/MeasureImage.h"
#include "imagestats/ToGreyscale.h"
#include "platform/Yielder.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <functional>
#include <numeric>
#include <thread>

namespace {

// A picture painted by a function of (x, y), both 1-based, y counted from the BOTTOM.
QImage paint(int w, int h, const std::function<QRgb(int, int)>& colourAt)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 1; y <= h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(h - y));
        for (int x = 1; x <= w; ++x)
            line[x - 1] = colourAt(x, y);
    }
    return image;
}

QRgb greyColour(int grey) // a colour that ToGreyscale turns into the given grey
{
    switch (grey) {
    case 0:
        return qRgb(0, 0, 0);
    case 127:
        return qRgb(128, 128, 128);
    case 254:
        return qRgb(255, 255, 255);
    }
    qFatal("no colour for grey %d", grey);
}

QImage noisy(int w, int h, quint32 seed)
{
    QRandomGenerator random(seed);
    const int frame = int(random.bounded(0, 30));
    const QRgb frameColour = random.generate() & 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    return paint(w, h, [&](int x, int y) {
        if (x <= frame || y <= frame / 2 || x > w - frame || y > h - frame / 2)
            return frameColour;
        const int base = (x * 255 / w + y * 128 / h) & 0xFF;
        return qRgb(qBound(0, base + int(random.bounded(-40, 40)), 255), int(random.bounded(256)),
            qBound(0, 255 - base + int(random.bounded(-20, 20)), 255));
    });
}

} // namespace

class tst_ImageStatistics : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_counter = 0;

    // Saves the picture as PNG or BMP, decodes it and captures it, as the scan does.
    PixelArray captured(const QImage& picture, const char* format = "PNG")
    {
        const QString path
            = m_dir.filePath(QStringLiteral("p%1.%2").arg(++m_counter).arg(QString::fromLatin1(format).toLower()));
        if (!picture.save(path, format))
            qFatal("cannot save %s", qPrintable(path));
        const DecodeResult decoded = decodeImageFile(path);
        PixelArray pixels;
        if (!CapturePixels(pixels, decoded.image))
            qFatal("cannot capture %s", qPrintable(path));
        return pixels;
    }

private Q_SLOTS:
    void greyscale_data()
    {
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<int>("grey");
        QTest::newRow("white") << qRgb(255, 255, 255) << 254;
        QTest::newRow("red") << qRgb(255, 0, 0) << 76;
        QTest::newRow("green") << qRgb(0, 255, 0) << 150;
        QTest::newRow("blue") << qRgb(0, 0, 255) << 28;
        QTest::newRow("grey 128") << qRgb(128, 128, 128) << 127;
        QTest::newRow("black") << qRgb(0, 0, 0) << 0;
        QTest::newRow("red 1 rounds down") << qRgb(1, 0, 0) << 0;
        QTest::newRow("red 2 rounds up") << qRgb(2, 0, 0) << 1;
    }
    void greyscale()
    {
        QFETCH(QRgb, colour);
        QFETCH(int, grey);
        PixelArray pixels = captured(paint(2, 2, [&](int, int) { return colour; }), "BMP");
        ToGreyscale(pixels);
        const quint32 expected = quint32(grey) * 0x010101u;
        QCOMPARE(pixels.at(1, 1), expected);
        QCOMPARE(pixels.at(2, 2), expected);
    }

    void fastGreyEqualsTablesForEveryColour()
    {
        const GreyTables& t = greyTables();
        std::vector<quint32> row(4099); // not a multiple of the vector width
        std::vector<std::uint8_t> grey(row.size());
        quint32 colour = 0;
        while (colour < (1u << 24)) {
            std::uint64_t expectedSum = 0;
            for (quint32& p : row) {
                p = 0xFF000000u | (colour++ & 0xFFFFFFu);
                expectedSum += greyOf(p, t);
            }
            QCOMPARE(greyRow(row.data(), int(row.size()), grey.data()), expectedSum);
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (grey[i] != greyOf(row[i], t))
                    QFAIL(qPrintable(QStringLiteral("colour %1").arg(row[i] & 0xFFFFFF, 6, 16, QLatin1Char('0'))));
            }
        }
        QCOMPARE(sumBytes(grey.data(), 37), std::accumulate(grey.begin(), grey.begin() + 37, std::uint64_t(0)));
    }

    void captureIsBottomUp()
    {
        // 3 by 2: bottom row red, green, blue; top row white, grey, black.
        const QRgb colours[2][3] = { { qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255) },
            { qRgb(255, 255, 255), qRgb(128, 128, 128), qRgb(0, 0, 0) } };
        PixelArray pixels = captured(paint(3, 2, [&](int x, int y) { return colours[y - 1][x - 1]; }));
        QCOMPARE(pixels.width(), 3);
        QCOMPARE(pixels.height(), 2);
        QCOMPARE(pixels.at(1, 1), 0xFF0000u);
        QCOMPARE(pixels.at(3, 1), 0x0000FFu);
        QCOMPARE(pixels.at(1, 2), 0xFFFFFFu);
        QCOMPARE(pixels.at(3, 2), 0x000000u);
        // A second, smaller capture leaves nothing of the first.
        QVERIFY(CapturePixels(pixels, paint(1, 1, [](int, int) { return qRgb(1, 2, 3); })));
        QCOMPARE(pixels.width(), 1);
        QCOMPARE(pixels.height(), 1);
        QCOMPARE(pixels.at(1, 1), 0x010203u);
        // Nothing to capture: the array is empty, not the previous picture.
        QVERIFY(!CapturePixels(pixels, QImage()));
        QVERIFY(pixels.isEmpty());
    }

    void pattern_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("dark");
        const QString spaces(100, QLatin1Char(' '));
        const QString halves = QString(50, QLatin1Char('*')) + QString(50, QLatin1Char(' '));
        auto withStar = [&](int position) {
            QString s = spaces;
            s[position - 1] = QLatin1Char('*');
            return s;
        };
        auto leftBlack = [](int x, int) { return x <= 50 ? greyColour(0) : greyColour(254); };
        QTest::newRow("100 by 99 is too small")
            << paint(100, 99, leftBlack) << QStringLiteral("Image too small...") << 0;
        QTest::newRow("99 by 100 is too small")
            << paint(99, 100, leftBlack) << QStringLiteral("Image too small...") << 0;
        QTest::newRow("left black, right white") << paint(100, 100, leftBlack) << halves << 50;
        QString odd;
        for (int i = 0; i < 100; ++i)
            odd += i % 2 == 0 ? QLatin1Char('*') : QLatin1Char(' ');
        QTest::newRow("ten bands, bottom black")
            << paint(100, 100, [](int, int y) { return ((y - 1) / 10) % 2 == 0 ? greyColour(0) : greyColour(254); })
            << odd << 50;
        QTest::newRow("uniform 200 by 200") << paint(200, 200, [](int, int) { return greyColour(127); }) << spaces << 0;
        QTest::newRow("framed 140 by 120") << paint(140, 120, [](int x, int y) {
            if (x < 21 || x > 120 || y < 11 || y > 110)
                return greyColour(254);
            return x - 20 <= 50 ? greyColour(0) : greyColour(127);
        }) << halves << 50;
        auto square = [](int x0, int y0) {
            return paint(100, 100, [=](int x, int y) {
                return x > x0 && x <= x0 + 10 && y > y0 && y <= y0 + 10 ? greyColour(0) : greyColour(254);
            });
        };
        QTest::newRow("square bottom-left") << square(0, 0) << withStar(1) << 1;
        QTest::newRow("square top-left") << square(0, 90) << withStar(10) << 1;
        QTest::newRow("square bottom-right") << square(90, 0) << withStar(91) << 1;
        // Trims that would overflow 16 bits: 64-bit arithmetic resets them and measures.
        QTest::newRow("uniform 1400 by 1400")
            << paint(1400, 1400, [](int, int) { return greyColour(254); }) << spaces << 0;
    }
    void pattern()
    {
        QFETCH(QImage, picture);
        QFETCH(QString, expected);
        QFETCH(int, dark);
        const PixelArray colour = captured(picture);
        PixelArray grey = colour;
        ToGreyscale(grey);
        ImageStats stats;
        MakePattern(grey, stats);
        QCOMPARE(stats.PXLRAY, expected);
        QCOMPARE(stats.PXLNUM, dark);
        QCOMPARE(stats.X, picture.width());
        QCOMPARE(stats.Y, picture.height());
        QCOMPARE(stats.pattern.has_value(), expected.size() == 100);
        // The one-pass measure and the plain reference agree.
        ImageStats fused;
        MeasureImage(colour, false, true, fused);
        QCOMPARE(fused, stats);
        const ImageStats literal = reference::makePattern(grey);
        QCOMPARE(literal.PXLRAY, expected);
    }

    void patternYieldsOnceUnlessTooSmall()
    {
        struct Counting : Yielder
        {
            int yields = 0;
            void yield() override { ++yields; }
            void sleep(int) override { }
        } counting;
        ImageStats stats;
        PixelArray pixels;
        pixels.resize(120, 100);
        MakePattern(pixels, stats, &counting);
        QCOMPARE(counting.yields, 1);
        pixels.resize(120, 99);
        MakePattern(pixels, stats, &counting);
        QCOMPARE(counting.yields, 1);
    }

    void colour_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QString>("rgb");
        QTest::addColumn<QString>("softRgb");
        QTest::addColumn<QString>("qrgb");
        QTest::addColumn<QString>("softQrgb");
        QTest::addColumn<double>("ratio");
        const QRgb mix = qRgb(200, 100, 50);
        auto plain = [](int w, int h, QRgb c) { return paint(w, h, [c](int, int) { return c; }); };
        QTest::newRow("white 100 by 100") << plain(100, 100, qRgb(255, 255, 255)) << "R255 G255 B255"
                                          << "R000 G000 B000"
                                          << "R244 254 254 265 G244 254 254 265 B244 254 254 265"
                                          << "R000 000 000 000 G000 000 000 000 B000 000 000 000" << 1.0;
        QTest::newRow("101 by 101 of one colour") << plain(101, 101, mix) << "R200 G100 B050"
                                                  << "R150 G100 B050"
                                                  << "R196 199 199 203 G098 099 099 101 B049 049 049 050"
                                                  << "R147 150 150 153 G098 100 100 102 B049 050 050 051" << 1.0;
        QTest::newRow("4 by 2, bottom quadrants empty") << plain(4, 2, mix) << "R200 G100 B050"
                                                        << "R150 G100 B050"
                                                        << "R000 000 200 600 G000 000 100 300 B000 000 050 150"
                                                        << "R000 000 150 450 G000 000 100 300 B000 000 050 150" << 2.0;
        QTest::newRow("white 1 by 1, four-digit quadrant")
            << plain(1, 1, qRgb(255, 255, 255)) << "R255 G255 B255"
            << "R000 G000 B000"
            << "R000 000 000 1020 G000 000 000 1020 B000 000 000 1020"
            << "R000 000 000 000 G000 000 000 000 B000 000 000 000" << 1.0;
        QTest::newRow("grey has no soft differences") << plain(30, 20, qRgb(77, 77, 77)) << "R077 G077 B077"
                                                      << "R000 G000 B000"
                                                      << "R064 073 079 090 G064 073 079 090 B064 073 079 090"
                                                      << "R000 000 000 000 G000 000 000 000 B000 000 000 000" << 1.5;
    }
    void colour()
    {
        QFETCH(QImage, picture);
        QFETCH(QString, rgb);
        QFETCH(QString, softRgb);
        QFETCH(QString, qrgb);
        QFETCH(QString, softQrgb);
        QFETCH(double, ratio);
        const PixelArray pixels = captured(picture, "BMP");
        ImageStats stats;
        ColourStats(pixels, stats);
        QCOMPARE(stats.RGB, rgb);
        QCOMPARE(stats.SOFTRGB, softRgb);
        QCOMPARE(stats.QRGB, qrgb);
        QCOMPARE(stats.SOFTQRGB, softQrgb);
        QCOMPARE(stats.XYRATIO, ratio);
        QCOMPARE(stats.X, picture.width());
        QCOMPARE(stats.Y, picture.height());
        ImageStats fused;
        MeasureImage(pixels, true, false, fused);
        QCOMPARE(fused, stats);
    }

    void largePhotoGetsItsStatistics()
    {
        // 25 megapixels of white: every channel sum is far beyond 32 bits.
        PixelArray pixels;
        QVERIFY(CapturePixels(pixels, paint(5000, 5000, [](int, int) { return qRgb(255, 255, 255); })));
        ImageStats stats;
        MeasureImage(pixels, true, true, stats);
        QCOMPARE(stats.RGB, QStringLiteral("R255 G255 B255"));
        QCOMPARE(stats.PXLRAY, QString(100, QLatin1Char(' ')));
    }

    void fastPatternMatchesReference_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<quint32>("seed");
        const int sizes[][2] = { { 100, 100 }, { 101, 137 }, { 105, 105 }, { 250, 160 }, { 333, 101 }, { 640, 480 } };
        quint32 seed = 7;
        for (const auto& s : sizes) {
            for (int n = 0; n < 3; ++n, ++seed)
                QTest::addRow("%dx%d #%d", s[0], s[1], n) << s[0] << s[1] << seed;
        }
    }
    void fastPatternMatchesReference()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(quint32, seed);
        PixelArray colour;
        QVERIFY(CapturePixels(colour, noisy(w, h, seed)));
        PixelArray grey = colour;
        ToGreyscale(grey);
        ImageStats fast;
        MakePattern(grey, fast);
        const ImageStats literal = reference::makePattern(grey);
        QCOMPARE(fast.PXLRAY, literal.PXLRAY);
        QCOMPARE(fast.PXLNUM, literal.PXLNUM);
        ImageStats separate;
        ColourStats(colour, separate);
        MakePattern(grey, separate);
        ImageStats fused;
        MeasureImage(colour, true, true, fused);
        QCOMPARE(fused, separate);
    }

    void threadsGiveTheSameStatistics()
    {
        QStringList files;
        for (int i = 0; i < 200; ++i) {
            const QString path = m_dir.filePath(QStringLiteral("t%1.png").arg(i));
            QVERIFY(noisy(100 + (i * 37) % 300, 100 + (i * 53) % 250, quint32(1000 + i)).save(path));
            files << path;
        }
        auto measure = [&](int index) {
            PixelArray pixels;
            ImageStats stats;
            if (CapturePixels(pixels, decodeImageFile(files[index]).image))
                MeasureImage(pixels, true, true, stats);
            return stats;
        };
        QList<ImageStats> single(files.size());
        for (int i = 0; i < files.size(); ++i)
            single[i] = measure(i);
        QList<ImageStats> parallel(files.size());
        std::atomic<int> next { 0 };
        std::vector<std::thread> workers;
        for (int t = 0; t < 8; ++t) {
            workers.emplace_back([&] {
                for (int i = next++; i < files.size(); i = next++)
                    parallel[i] = measure(i);
            });
        }
        for (auto& worker : workers)
            worker.join();
        for (int i = 0; i < files.size(); ++i) {
            QVERIFY2(single[i].PXLRAY.size() == 100, qPrintable(files[i]));
            QCOMPARE(parallel[i], single[i]);
        }
    }
};

QTEST_GUILESS_MAIN(tst_ImageStatistics)
#include "tst_ImageStatistics.moc"
