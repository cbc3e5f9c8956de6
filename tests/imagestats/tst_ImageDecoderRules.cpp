#include "imagestats/ImageDecoder.h"

#include "ImageSampleWriters.h"
#include "ImageSamples.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

using W = ImageSampleWriters;

namespace {

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

int largestDifference(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            worst = std::max(
                { worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q)) });
        }
    return worst;
}

QList<QRgb> egaColours()
{
    return { qRgb(0, 0, 0), qRgb(0, 0, 170), qRgb(0, 170, 0), qRgb(0, 170, 170), qRgb(170, 0, 0), qRgb(170, 0, 170),
        qRgb(170, 85, 0), qRgb(170, 170, 170), qRgb(85, 85, 85), qRgb(85, 85, 255), qRgb(85, 255, 85),
        qRgb(85, 255, 255), qRgb(255, 85, 85), qRgb(255, 85, 255), qRgb(255, 255, 85), qRgb(255, 255, 255) };
}

// A picture with transparent, half-covered and opaque parts.
QImage translucent(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(200 - 3 * x, 40 + 5 * y, 120, (x * 255) / (width - 1)));
    return image;
}

uint32_t crc32(const QByteArray& bytes)
{
    uint32_t crc = 0xFFFFFFFF;
    for (char c : bytes) {
        crc ^= uint8_t(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

QByteArray be32(uint32_t v)
{
    QByteArray b(4, 0);
    for (int i = 0; i < 4; ++i)
        b[i] = char(uint8_t(v >> (24 - 8 * i)));
    return b;
}

// A PNG signature and header declaring the given size, followed by nothing useful.
QByteArray pngDeclaring(uint32_t width, uint32_t height)
{
    const QByteArray ihdr = QByteArray("IHDR") + be32(width) + be32(height) + QByteArray("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + be32(13) + ihdr + be32(crc32(ihdr)) + be32(0) + "IEND"
        + be32(crc32("IEND"));
}

} // namespace

class tst_ImageDecoderRules : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString put(const QString& name, const QByteArray& bytes) { return writeFileIn(m_dir, name, bytes); }

private Q_SLOTS:
    void variantsDecode_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QImage>("expected");

        const QImage photo = ImageSamples::photo(23, 14, 9);
        const QImage mapped = ImageSamples::indexed(27, 13, ImageSamples::palette(50, { 0, 70, 140, 210, 255 }), 1);
        QList<QRgb> greys;
        for (int i = 0; i < 256; ++i)
            greys.append(qRgb(i, i, i));
        QImage grey = ImageSamples::indexed(25, 12, greys.mid(0, 180), 2);
        grey.setColorTable(greys);
        const QImage alpha = translucent(20, 10);
        QTest::newRow("TGA uncompressed") << "a.tga" << W::tga(photo, W::TgaKind::Truecolour) << photo;
        QTest::newRow("TGA top-down") << "b.tga" << W::tga(photo, W::TgaKind::Truecolour, true) << photo;
        QTest::newRow("TGA with alpha") << "c.tga" << W::tga(alpha, W::TgaKind::Alpha) << ImageSamples::onWhite(alpha);
        QImage unfilled = photo.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < unfilled.height(); ++y)
            for (int x = 0; x < unfilled.width(); ++x)
                unfilled.setPixel(x, y, unfilled.pixel(x, y) & 0x00FFFFFF);
        QTest::newRow("TGA with alpha left at zero") << "z.tga" << W::tga(unfilled, W::TgaKind::Alpha) << photo;
        QTest::newRow("TGA colour-mapped") << "d.tga" << W::tga(mapped, W::TgaKind::Mapped) << rgb(mapped);
        QTest::newRow("TGA colour-mapped RLE") << "e.tga" << W::tga(mapped, W::TgaKind::MappedRle) << rgb(mapped);
        QTest::newRow("TGA grey") << "f.tga" << W::tga(grey, W::TgaKind::Grey) << rgb(grey);
        QTest::newRow("TGA grey RLE") << "g.tga" << W::tga(grey, W::TgaKind::GreyRle) << rgb(grey);

        const QImage mono = ImageSamples::mono(61, 17, 4);
        QTest::newRow("MSP version 1") << "a.msp" << W::msp(mono, 1) << rgb(mono);

        const QImage vga = ImageSamples::indexed(33, 15, ImageSamples::palette(256, { 0, 85, 170, 255 }, 5), 2);
        const QImage ega = ImageSamples::indexed(29, 11, egaColours(), 3);
        QTest::newRow("PIC raw") << "a.pic" << W::pcPaint(vga, false, false) << rgb(vga);
        QTest::newRow("PIC EGA planes") << "b.pic" << W::pcPaint(ega, true, true) << rgb(ega);

        const QList<QRgb> desktop { qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0) };
        const QImage twoPlanes = ImageSamples::indexed(40, 9, desktop, 1);
        const QImage eightPlanes = ImageSamples::indexed(21, 8, ImageSamples::palette(256, { 0, 40, 90, 255 }, 2), 4);
        QTest::newRow("GEM two planes, no palette") << "a.img" << W::gemImg(twoPlanes, 2, false) << rgb(twoPlanes);
        QTest::newRow("GEM eight planes, XIMG") << "b.img" << W::gemImg(eightPlanes, 8, true) << rgb(eightPlanes);

        const QImage planar = ImageSamples::indexed(35, 10, ImageSamples::palette(32, { 0, 33, 200, 255 }, 6), 2);
        QList<QRgb> halfBrite = ImageSamples::palette(32, { 0, 64, 130, 254 }, 1);
        for (int i = 0; i < 32; ++i)
            halfBrite.append(qRgb(qRed(halfBrite[i]) / 2, qGreen(halfBrite[i]) / 2, qBlue(halfBrite[i]) / 2));
        const QImage ehb = ImageSamples::indexed(30, 9, halfBrite, 3);
        QList<QRgb> withHole = ImageSamples::palette(32, { 0, 90, 180 }, 2);
        withHole[0] = qRgba(0, 0, 0, 0);
        const QImage masked = ImageSamples::indexed(26, 9, withHole, 0);
        const QImage chunky = ImageSamples::indexed(31, 7, ImageSamples::palette(256, { 0, 50, 100, 150, 255 }, 3), 1);
        QTest::newRow("ILBM uncompressed") << "a.lbm" << W::iff(planar, W::IffKind::Planar, false) << rgb(planar);
        QTest::newRow("ILBM extra half-brite") << "b.iff" << W::iff(ehb, W::IffKind::ExtraHalfBrite, true) << rgb(ehb);
        QTest::newRow("ILBM 24-bit") << "c.iff" << W::iff(photo, W::IffKind::TrueColour, true) << photo;
        QTest::newRow("ILBM with mask") << "d.iff" << W::iff(masked, W::IffKind::PlanarMasked, true)
                                        << ImageSamples::onWhite(masked);
        QTest::newRow("PBM compressed") << "e.lbm" << W::iff(chunky, W::IffKind::Chunky, true) << rgb(chunky);

        // Hold-and-modify: each code keeps two channels of the pixel to its left.
        QList<QRgb> hamBase(16, qRgb(0, 0, 0));
        hamBase[1] = qRgb(17, 34, 51);
        hamBase[2] = qRgb(255, 0, 0);
        QImage ham(6, 2, QImage::Format_Indexed8);
        ham.setColorTable(hamBase);
        const uchar codes[2][6] = { { 0x01, 0x2F, 0x30, 0x18, 0x02, 0x1F }, { 0x25, 0x00, 0x3A, 0x11, 0x01, 0x20 } };
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 6; ++x)
                ham.scanLine(y)[x] = codes[y][x]; // codes lie beyond the colour table
        QImage hamExpected(6, 2, QImage::Format_RGB32);
        const QRgb row0[6] = { qRgb(17, 34, 51), qRgb(255, 34, 51), qRgb(255, 0, 51), qRgb(255, 0, 136),
            qRgb(255, 0, 0), qRgb(255, 0, 255) };
        const QRgb row1[6]
            = { qRgb(85, 0, 0), qRgb(0, 0, 0), qRgb(0, 170, 0), qRgb(0, 170, 17), qRgb(17, 34, 51), qRgb(0, 34, 51) };
        for (int x = 0; x < 6; ++x) {
            hamExpected.setPixel(x, 0, row0[x]);
            hamExpected.setPixel(x, 1, row1[x]);
        }
        QTest::newRow("ILBM HAM6") << "f.iff" << W::iff(ham, W::IffKind::Ham6, true) << hamExpected;

        // A bitmap without its file header, as the clipboard keeps it.
        QTest::newRow("DIB without file header") << "bare.dib" << W::qtWrite(mapped, "bmp").mid(14) << rgb(mapped);
        QTest::newRow("DIB 24-bit without file header") << "bare24.dib" << W::qtWrite(photo, "bmp").mid(14) << photo;
    }
    void variantsDecode()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QImage, expected);
        const DecodeResult result = decodeImageFile(put(name, bytes));
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.format(), QImage::Format_RGB32);
        QCOMPARE(result.image.size(), expected.size());
        QVERIFY2(largestDifference(result.image, expected) <= 1, qPrintable(name));
    }

    // The content decides where the extension names another type.
    void contentOverridesExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("realType");
        QTest::newRow("PNG named .BMP") << "png.bmp"
                                        << ".PNG";
        QTest::newRow("GIF named .JPG") << "gif.jpg"
                                        << ".GIF";
        QTest::newRow("PNG named .GIF") << "png.gif"
                                        << ".PNG";
        QTest::newRow("BMP named .PCX") << "bmp.pcx"
                                        << ".BMP";
        QTest::newRow("IFF named .IMG") << "iff.img"
                                        << ".IFF";
        QTest::newRow("MSP named .PIC") << "msp.pic"
                                        << ".MSP";
        QTest::newRow("Windows RLE named .RLE") << "win.rle"
                                                << ".RLE";
        QTest::newRow("Utah RLE named .RLE") << "utah.rle"
                                             << "utah";
        QTest::newRow("ICO named .CUR") << "ico.cur"
                                        << ".ICO";
        QTest::newRow("JPEG named .TGA") << "jpeg.tga"
                                         << ".JPG";
        QTest::newRow("unknown extension") << "png.xyz"
                                           << ".PNG";
    }
    void contentOverridesExtension()
    {
        QFETCH(QString, name);
        QFETCH(QString, realType);
        ImageSample sample;
        if (realType == "utah") {
            sample.expected = ImageSamples::photo(19, 11, 3);
            sample.bytes = W::utahRle(sample.expected);
        } else {
            sample = ImageSamples::sample(realType);
        }
        const DecodeResult result = decodeImageFile(put(name, sample.bytes));
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.size(), sample.expected.size());
        QVERIFY(largestDifference(result.image, sample.expected) <= sample.tolerance);
    }

    // Types read through the library are read by their own coder only: content that resembles
    // another format, or another format carried inside, is not followed.
    void libraryReadsOnlyTheNamedType_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("portable pixmap named .TGA")
            << "ppm.tga" << QByteArray("P6\n2 2\n255\n") + QByteArray(12, char(0x40));
        QTest::newRow("vector script named .PCX") << "mvg.pcx" << QByteArray("viewbox 0 0 9 9\nrectangle 0 0 9 9\n");
        const QByteArray postScript("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\n"
                                    "0 0 1 setrgbcolor 0 0 10 10 rectfill showpage\n");
        const QByteArray record = QByteArray(8, 0) + postScript;
        QByteArray wpg = QByteArray("\xFFWPC\x10\0\0\0\x01\x16\x01\0\0\0\0\0", 16);
        wpg += QByteArray("\x0F\x06\x01\0\0\0\0\0", 8);
        wpg += QByteArray("\x11\xFF", 2) + char(record.size() & 0xFF) + char(record.size() >> 8) + record;
        wpg += QByteArray("\x10\0", 2);
        QTest::newRow("PostScript inside a WordPerfect graphic") << "ps.wpg" << wpg;
    }
    void libraryReadsOnlyTheNamedType()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const DecodeResult result = decodeImageFile(put(name, bytes));
        QVERIFY(!result.ok());
        QVERIFY(!result.error.isEmpty());
    }

    void transparencyLiesOnWhite_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("png") << QByteArray("png");
        QTest::newRow("tiff") << QByteArray("tiff");
    }
    void transparencyLiesOnWhite()
    {
        QFETCH(QByteArray, format);
        const QImage picture = translucent(30, 12);
        const DecodeResult result = decodeImageFile(put("alpha." + format, W::qtWrite(picture, format)));
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.format(), QImage::Format_RGB32);
        QVERIFY(largestDifference(result.image, ImageSamples::onWhite(picture)) <= 1);
        QCOMPARE(result.image.pixel(0, 5), qRgb(255, 255, 255)); // fully transparent column
    }

    void sixteenBitChannelsBecomeEight_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("imageFormat");
        QTest::newRow("png RGB") << QByteArray("png") << int(QImage::Format_RGBX64);
        QTest::newRow("png grey") << QByteArray("png") << int(QImage::Format_Grayscale16);
        QTest::newRow("tiff RGBA") << QByteArray("tiff") << int(QImage::Format_RGBA64);
    }
    void sixteenBitChannelsBecomeEight()
    {
        QFETCH(QByteArray, format);
        QFETCH(int, imageFormat);
        // Levels that are exact multiples of 257 have one right 8-bit value.
        const QImage eight = ImageSamples::photo(17, 9, 2);
        const QImage wide = imageFormat == QImage::Format_Grayscale16
            ? eight.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_Grayscale16)
            : eight.convertToFormat(QImage::Format(imageFormat));
        const QByteArray bytes = W::qtWrite(wide, format);
        QImageReader probe(put("probe." + format, bytes));
        QVERIFY(probe.imageFormat() == QImage::Format_Grayscale16 || probe.read().depth() == 64);
        const DecodeResult result = decodeImageFile(put("wide." + format, bytes));
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.format(), QImage::Format_RGB32);
        QCOMPARE(largestDifference(result.image, rgb(wide)), 0);
    }

    // Converting in place keeps every pixel exactly as converting into a copy gave it.
    void flattenedExactlyAsAConvertedCopy_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("imageFormat");
        QTest::newRow("png RGBA") << QByteArray("png") << int(QImage::Format_ARGB32);
        QTest::newRow("png 16-bit RGB") << QByteArray("png") << int(QImage::Format_RGBX64);
        QTest::newRow("png palette with transparency") << QByteArray("png") << int(QImage::Format_Indexed8);
        QTest::newRow("tiff 16-bit RGBA") << QByteArray("tiff") << int(QImage::Format_RGBA64);
    }
    void flattenedExactlyAsAConvertedCopy()
    {
        QFETCH(QByteArray, format);
        QFETCH(int, imageFormat);
        QImage picture(37, 23, QImage::Format_RGBA64);
        quint32 seed = 12345;
        const auto next = [&] { return quint16((seed = seed * 1103515245u + 12345u) >> 8); };
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixelColor(x, y, QColor::fromRgba64(next(), next(), next(), x % 3 ? next() : 65535));
        picture = imageFormat == QImage::Format_Indexed8
            ? picture.convertToFormat(QImage::Format_ARGB32).convertToFormat(QImage::Format_Indexed8)
            : picture.convertToFormat(QImage::Format(imageFormat));
        const QString path = put("flat." + format, W::qtWrite(picture, format));
        const QImage decoded = QImageReader(path).read();
        QImage copy = decoded.convertToFormat(QImage::Format_RGB32);
        if (decoded.hasAlphaChannel()) {
            const QImage premultiplied = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < copy.height(); ++y)
                for (int x = 0; x < copy.width(); ++x) {
                    const QRgb p = premultiplied.pixel(x, y);
                    const int cover = 255 - qAlpha(p);
                    copy.setPixel(x, y, qRgb(qRed(p) + cover, qGreen(p) + cover, qBlue(p) + cover));
                }
        }
        const DecodeResult result = decodeImageFile(path);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(largestDifference(result.image, copy), 0);
    }

    void orientationTagIsIgnored()
    {
        const QImage picture = ImageSamples::photo(40, 20, 1);
        const QByteArray bytes = W::withExifOrientation(W::qtWrite(picture, "jpeg", 95), 6);
        QBuffer buffer;
        buffer.setData(bytes);
        QImageReader rotating(&buffer);
        rotating.setAutoTransform(true);
        QCOMPARE(rotating.read().size(), QSize(20, 40)); // the tag is real
        const DecodeResult result = decodeImageFile(put("turned.jpg", bytes));
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.size(), QSize(40, 20));
        QVERIFY(largestDifference(result.image, picture) <= 16);
    }

    void animatedGifGivesFirstFrameEvenWhenCutInTheSecond()
    {
        const ImageSample sample = ImageSamples::sample(".GIF");
        const DecodeResult whole = decodeImageFile(put("anim.gif", sample.bytes));
        QVERIFY2(whole.ok(), qPrintable(whole.error));
        QCOMPARE(whole.image, sample.expected);
        const DecodeResult cut = decodeImageFile(put("cut.gif", sample.bytes.left(sample.bytes.size() - 200)));
        QVERIFY2(cut.ok(), qPrintable(cut.error));
        QCOMPARE(cut.image, sample.expected);
    }

    void iconGivesItsLargestImage_data()
    {
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("chosen");
        QTest::newRow("largest last") << QList<int> { 16, 32 } << 1;
        QTest::newRow("largest first") << QList<int> { 48, 16, 32 } << 0;
        QTest::newRow("largest between") << QList<int> { 16, 64, 24 } << 1;
        QTest::newRow("first of equals") << QList<int> { 32, 32 } << 0;
    }
    void iconGivesItsLargestImage()
    {
        QFETCH(QList<int>, sizes);
        QFETCH(int, chosen);
        QList<QImage> images;
        for (int i = 0; i < sizes.size(); ++i) {
            QImage image(sizes[i], sizes[i], QImage::Format_ARGB32);
            image.fill(qRgba(40 * i, 200 - 40 * i, 90, 255));
            images.append(image);
        }
        for (const bool cursor : { false, true }) {
            const DecodeResult result = decodeImageFile(put(cursor ? "x.cur" : "x.ico", W::iconFile(images, cursor)));
            QVERIFY2(result.ok(), qPrintable(result.error));
            QCOMPARE(result.image.size(), images[chosen].size());
            QCOMPARE(result.image.pixel(0, 0), images[chosen].pixel(0, 0));
        }
    }

    // Declared sizes beyond the limit are refused before any pixel memory is taken.
    void absurdSizesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        auto patch
            = [](QByteArray bytes, int at, const QByteArray& with) { return bytes.replace(at, with.size(), with); };
        const QByteArray huge16le("\xFF\xFF\xFF\xFF", 4);
        QTest::newRow("MSP") << "big.msp" << patch(ImageSamples::sample(".MSP").bytes, 4, huge16le);
        QTest::newRow("PIC") << "big.pic" << patch(ImageSamples::sample(".PIC").bytes, 2, huge16le);
        QTest::newRow("GEM") << "big.img" << patch(ImageSamples::sample(".IMG").bytes, 12, huge16le);
        QTest::newRow("IFF") << "big.iff" << patch(ImageSamples::sample(".IFF").bytes, 20, huge16le);
        QTest::newRow("TGA") << "big.tga" << patch(ImageSamples::sample(".TGA").bytes, 12, huge16le);
        // Within the limit, but far more than the file can hold: refused before allocating.
        const QByteArray large16le("\x20\x4E\x20\x4E", 4);
        const QByteArray large16be("\x4E\x20\x4E\x20", 4);
        QTest::newRow("MSP short") << "short.msp" << patch(ImageSamples::sample(".MSP").bytes, 4, large16le);
        QTest::newRow("PIC short") << "short.pic" << patch(ImageSamples::sample(".PIC").bytes, 2, large16le);
        QTest::newRow("IFF short") << "short.iff" << patch(ImageSamples::sample(".IFF").bytes, 20, large16be);
        QTest::newRow("LBM short") << "short.lbm" << patch(ImageSamples::sample(".LBM").bytes, 20, large16be);
        QTest::newRow("PNG") << "big.png" << pngDeclaring(100000, 100000);
        QTest::newRow("PNG wide") << "wide.png" << pngDeclaring(0x7FFFFFFF, 1);
    }
    void absurdSizesAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const DecodeResult result = decodeImageFile(put(name, bytes));
        QVERIFY(!result.ok());
        QVERIFY(!result.error.isEmpty());
    }

    // A 100-megapixel photograph is within Qt's raised allocation limit.
    void hundredMegapixelsLoad()
    {
        QImage big(12500, 8000, QImage::Format_Grayscale8);
        big.fill(90);
        const DecodeResult result = decodeImageFile(put("big.png", W::qtWrite(big, "png")));
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.size(), QSize(12500, 8000));
        QCOMPARE(result.image.pixel(12499, 7999), qRgb(90, 90, 90));
    }
};

QTEST_GUILESS_MAIN(tst_ImageDecoderRules)
#include "tst_ImageDecoderRules.moc"
