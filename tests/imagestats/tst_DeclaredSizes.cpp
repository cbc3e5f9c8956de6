#include "imagestats/ImageDecoder.h"
#include "imagestats/decoders/DecoderLimits.h"
#include "imagestats/decoders/GraphicsMagickDecoder.h"

#include "BestCompressionWriters.h"
#include "FileSystemFixtures.h"
#include "ImageSampleWriters.h"
#include "SampleBytes.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

#include <Magick++.h>
#include <sys/resource.h>

using W = ImageSampleWriters;
namespace Best = BestCompression;

namespace {

// More address space, and a larger file, than any of these small pictures needs: the declared
// picture needs far more.
constexpr qint64 MostGrowthKb = 128 * 1024;

// Under the address sanitizer every eight bytes the program touches have a shadow byte.
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 TouchedEighths = 9;
#else
constexpr qint64 TouchedEighths = 8;
#endif

QImage solid(int width, int height, QImage::Format format)
{
    QImage image(width, height, format);
    if (format == QImage::Format_Indexed8) {
        image.setColorTable({ qRgb(0, 0, 0), qRgb(255, 255, 255) });
        image.fill(1);
    } else {
        image.fill(format == QImage::Format_Mono ? 1 : 0xFF808080);
    }
    return image;
}

// The picture as GraphicsMagick itself reads the file, with its coder named.
QImage libraryReading(const QByteArray& bytes, const QByteArray& coder)
{
    Magick::Image picture;
    picture.magick(coder.toStdString());
    picture.read(Magick::Blob(bytes.constData(), size_t(bytes.size())));
    QImage image(int(picture.columns()), int(picture.rows()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        picture.write(0, y, unsigned(image.width()), 1, "BGRA", Magick::CharPixel, image.scanLine(y));
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] |= 0xFF000000;
    }
    return image;
}

// A picture of one colour in the type GraphicsMagick's own writer makes of it; converted from a
// file of the type from, if given, as a bitmap read from a file holds both its colours.
QByteArray libraryWritten(
    int width, int height, const char* colour, Magick::ImageType type, const char* coder, const char* from = nullptr)
{
    Magick::Image picture { Magick::Geometry(unsigned(width), unsigned(height)), Magick::Color(colour) };
    if (from) {
        picture.magick(from);
        Magick::Blob file;
        picture.write(&file);
        picture.read(file);
    }
    picture.type(type);
    picture.magick(coder);
    Magick::Blob blob;
    picture.write(&blob);
    return QByteArray(static_cast<const char*>(blob.data()), qsizetype(blob.length()));
}

QList<QByteArray> lines(int count, int bytes, char value)
{
    return QList<QByteArray>(count, QByteArray(bytes, value));
}

} // namespace

class tst_DeclaredSizes : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString put(const QString& name, const QByteArray& bytes) { return writeFileIn(m_dir, name, bytes); }

    // What a decode may grow by: its address space (nothing reserved at all), or its resident
    // memory (what a picture decoded really takes; the library reserves more than it fills).
    enum class Growth { AddressSpace, Resident };

    // Decodes the file in a child process whose temporary directory is a fresh one and whose
    // files may not grow past MostGrowthKb (a larger write ends it); empty when the outcome is
    // the one wanted (refused with the refusal given, if any), the growth was at most
    // mostGrowthKb and nothing was left in the temporary directory.
    QString decodeInChild(const QString& path, bool wanted, qint64 mostGrowthKb, Growth measured = Growth::AddressSpace,
        const QString& refusal = {})
    {
        const bool resident = measured == Growth::Resident;
        const QString scratch = path + ".tmp";
        if (!QDir().mkpath(scratch))
            return QStringLiteral("no temporary directory");
        const QString answer = runInChild(
            [&] {
                qputenv("TMPDIR", QFile::encodeName(scratch));
                const rlimit fileSize { MostGrowthKb * 1024, MostGrowthKb * 1024 };
                setrlimit(RLIMIT_FSIZE, &fileSize);
                const qint64 before = processStatusKb(resident ? "VmRSS" : "VmSize");
                const DecodeResult result = decodeImageFile(path);
                const qint64 growth = processStatusKb(resident ? "VmHWM" : "VmPeak") - before;
                if (result.ok() != wanted)
                    return result.ok() ? QStringLiteral("decoded") : result.error;
                if (!wanted && !refusal.isEmpty() && result.error != refusal)
                    return "refused with: " + result.error;
                if (before < 0 || growth > mostGrowthKb)
                    return QStringLiteral("%1 grew by %2 kB")
                        .arg(resident ? "resident memory" : "address space")
                        .arg(growth);
                return QString();
            },
            60);
        const QStringList left = QDir(scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        return answer.isEmpty() && !left.isEmpty() ? "left in the temporary directory: " + left.join(", ") : answer;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        Magick::InitializeMagick(nullptr);
    }

    // A few bytes that declare 20000 x 20000 pixels, or a file one byte short of the least its
    // picture needs, are refused at once: no memory is reserved for the picture and nothing is
    // written into the temporary directory.
    void shortFileDeclaringALargePictureIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        constexpr int Side = 20000;
        const auto repeated
            = [](const char* packet, int length, int count) { return QByteArray(packet, length).repeated(count); };
        SampleBytes gem;
        gem.be16(1).be16(8).be16(1).be16(1).be16(85).be16(85).be16(Side).be16(Side);
        QTest::newRow("GEM header alone") << "a.img" << gem.data;
        // 65535 blocks announced, one there: a run of 65535 bytes.
        SampleBytes pic;
        pic.le16(0x1234).le16(Side).le16(Side).le16(0).le16(0).u8(0x08).u8(0xFF).u8(0).le16(0).le16(0);
        pic.le16(0xFFFF).le16(10).le16(0xFFFF).u8(0).raw(QByteArray("\0\0\xFF\xFF\x07", 5));
        QTest::newRow("PIC, many blocks announced") << "a.pic" << pic.data;
        const auto tga = [&](int type, int depth, const QByteArray& body) {
            return SampleBytes().u8(0).u8(0).u8(type).fill(9).le16(Side).le16(Side).u8(depth).u8(0).data + body;
        };
        QTest::newRow("TGA grey, run-length") << "a.tga" << tga(11, 8, repeated("\xFF\x80", 2, 50));
        QTest::newRow("TGA RGB, run-length") << "b.tga" << tga(10, 24, repeated("\xFF\x80\x80\x80", 4, 25));
        QTest::newRow("TGA RGB, uncompressed") << "c.tga" << tga(2, 24, repeated("\x80", 1, 100));
        SampleBytes pcx;
        pcx.u8(0x0A).u8(5).u8(1).u8(8).le16(0).le16(0).le16(Side - 1).le16(Side - 1).fill(53).u8(1).le16(Side);
        pcx.fill(60).raw(repeated("\xFF\x80", 2, 50));
        QTest::newRow("PCX") << "a.pcx" << pcx.data;
        SampleBytes ras;
        ras.be32(0x59A66A95).be32(Side).be32(Side).be32(8).be32(90).be32(2).be32(0).be32(0);
        QTest::newRow("RAS, run-length") << "a.ras" << ras.raw(repeated("\x80\xFF\x80", 3, 30)).data;
        QTest::newRow("ART") << "a.art" << SampleBytes().le16(0).le16(Side).le16(0).le16(Side).fill(100, 0x55).data;
        SampleBytes cut;
        cut.le16(Side).le16(Side).le16(0).le16(5).raw(QByteArray("\xFF\x07\xFF\x07\0", 5));
        QTest::newRow("CUT") << "a.cut" << cut.data;
        // Types without a useful bound (a blank Utah RLE, a WordPerfect bitmap of repeated lines)
        // are bounded by the library's limits.
        SampleBytes utah;
        utah.le16(0xCC52).le16(0).le16(0).le16(Side).le16(Side).u8(2).u8(3).u8(8).fill(3).u8(7).u8(0);
        QTest::newRow("Utah RLE") << "a.rle" << utah.data;
        SampleBytes wpg;
        wpg.raw("\xFFWPC").le32(16).u8(1).u8(0x16).u8(1).fill(5).u8(0x0F).u8(6).u8(1).fill(5);
        wpg.u8(0x0B).u8(0xFF).le16(50).le16(Side).le16(Side).le16(8).le16(75).le16(75);
        QTest::newRow("WPG") << "a.wpg" << wpg.raw(repeated("\xFF\x07", 2, 20)).u8(0x10).u8(0).data;
        // A row of 2^31 pixels of 65535 bits: its bytes times its height pass 64 bits.
        SampleBytes bmp;
        bmp.raw("BM").le32(70).le32(0).le32(54).le32(40).le32(0x7FFFFFFF).le32(0x7FFFFFFF).le16(1).le16(0xFFFF);
        QTest::newRow("BMP, row size times height beyond 64 bits")
            << "a.bmp" << bmp.le32(0).fill(20).fill(16, 0x11).data;
        // A first frame of 3746 x 65280 pixels whose codes fill 37 bytes, in 70 bytes in all.
        const auto gif = [](const char* signature) {
            SampleBytes b;
            b.raw(signature).le16(3746).le16(65280).u8(0x80).u8(0).u8(0).fill(3).fill(3, 0xFF);
            b.u8(0x2C).le16(0).le16(0).le16(3746).le16(65280).u8(0).u8(2);
            return b.u8(37).raw(QByteArray("\x04", 1)).fill(36).u8(0).u8(0x3B).data;
        };
        QTest::newRow("GIF without its signature, first frame beyond its codes") << "a.gif" << gif("GIF8?a");
        QTest::newRow("GIF, first frame beyond its codes") << "b.gif" << gif("GIF89a");

        // One byte under the least size: a file at its type's best compression less its last byte,
        // of a picture the library would reserve hundreds of megabytes for.
        const auto lessItsLastByte = [](QByteArray bytes) {
            bytes.chop(1);
            return bytes;
        };
        QTest::newRow("PCX one byte under its least size") << "b.pcx" << lessItsLastByte(W::solid("PCX", 8064, 8000));
        QTest::newRow("CUT one byte under its least size") << "b.cut" << lessItsLastByte(W::solid("CUT", 8001, 8000));
        QTest::newRow("TGA 1-bit one byte under its least size")
            << "d.tga" << lessItsLastByte(Best::tga(8001, 8000, 1, false, "\xFF"));
        QTest::newRow("TGA run-length one byte under its least size")
            << "e.tga" << lessItsLastByte(Best::tga(8000, 8000, 24, true, "\x60\x60\x60"));
        // The Sun reader refuses data shorter than its header's length before it reserves the
        // picture; here the header tells the shorter length.
        SampleBytes shortSun;
        shortSun.data = lessItsLastByte(W::solid("SUN", 8000, 8000));
        shortSun.setBe32(16, uint32_t(shortSun.data.size() - 32));
        QTest::newRow("RAS one byte under its least size") << "b.ras" << shortSun.data;
        // A first frame whose codes (a clear code, then the first colour's) are one byte fewer than
        // its pixels need at the least; Qt's reader would fill in what they leave out.
        constexpr int FrameSide = 4096;
        constexpr int LeastCodeBytes = FrameSide * FrameSide * 12 / (8 * 4096);
        SampleBytes fewCodes;
        fewCodes.raw("GIF89a").le16(FrameSide).le16(FrameSide).u8(0x80).u8(0).u8(0).fill(3).fill(3, 0xFF);
        fewCodes.u8(0x2C).le16(0).le16(0).le16(FrameSide).le16(FrameSide).u8(0).u8(2);
        const QByteArray codes = QByteArray(1, 0x04) + QByteArray(LeastCodeBytes - 2, 0);
        for (qsizetype i = 0; i < codes.size(); i += 255)
            fewCodes.u8(int(codes.mid(i, 255).size())).raw(codes.mid(i, 255));
        QTest::newRow("GIF, codes one byte fewer than its first frame needs")
            << "c.gif" << fewCodes.u8(0).u8(0x3B).data;
    }
    void shortFileDeclaringALargePictureIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString answer = decodeInChild(put(name, bytes), false, MostGrowthKb);
        QVERIFY2(answer.isEmpty(), qPrintable(answer));
    }

    // A legal picture whose library pixels pass a gigabyte (110 megapixels, of 16-bit channels
    // and an index) is decoded in memory: nothing large is written to the temporary directory.
    void largePictureIsDecodedInMemory()
    {
        const int width = 11000;
        const int height = 10000;
        SampleBytes tga;
        tga.u8(0).u8(0).u8(11).fill(9).le16(width).le16(height).u8(8).u8(0);
        tga.raw(QByteArray("\xFF\x60", 2).repeated(qsizetype(width) * height / 128));
        const QString answer = decodeInChild(put("large.tga", tga.data), true, std::numeric_limits<qint64>::max());
        QVERIFY2(answer.isEmpty(), qPrintable(answer));
    }

    // What the decoder library holds stays within what the scan's budget charges a picture of
    // the library's largest size, and a larger one, or a small file declaring one, is refused
    // before the library reads it.
    void libraryPictureIsBoundedByItsCharge_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("decodes");
        constexpr int Width = 12800;
        constexpr int Height = 12500;
        static_assert(qint64(Width) * Height == DecoderLimits::maxLibraryPixels);
        // A colour-mapped picture, and one whose reader unpacks it whole beside the library's pixels.
        for (const char* type : { "CUT", "PCX" })
            QTest::newRow(qPrintable(QStringLiteral("%1 at the largest size").arg(type)))
                << "largest." + QString(type).toLower() << W::solid(type, Width, Height) << QSize(Width, Height)
                << true;
        for (const char* type : { "PCX", "SUN", "RLE", "ART", "CUT" }) {
            const QString suffix = type == QByteArray("SUN") ? QStringLiteral("ras") : QString(type).toLower();
            QTest::newRow(qPrintable(QStringLiteral("%1 a line past the largest size").arg(type)))
                << "past." + suffix << W::solid(type, Width, Height + 1) << QSize(Width, Height + 1) << false;
        }
        QTest::newRow("TGA at the largest size of other types")
            << "other.tga" << W::solid("TGA", 20000, 20000) << QSize(20000, 20000) << false;
        // One line of runs, then the line repeated for all the others.
        SampleBytes bitmap;
        bitmap.le16(16000).le16(16000).le16(8).le16(75).le16(75).raw(QByteArray("\xFF\x07", 2).repeated(125));
        bitmap.u8(0xFD).u8(0x07).raw(QByteArray("\0\xFF", 2).repeated(62)).u8(0).u8(0xBD);
        SampleBytes wpg;
        wpg.raw("\xFFWPC").le32(16).u8(1).u8(0x16).u8(1).fill(5).u8(0x0F).u8(6).u8(1).fill(5);
        wpg.u8(0x0B).u8(0xFF).le16(int(bitmap.data.size())).raw(bitmap.data).u8(0x10).u8(0);
        QTest::newRow("WPG, 418 bytes declaring 16000 x 16000") << "a.wpg" << wpg.data << QSize(16000, 16000) << false;
        QTest::newRow("WMF, a small file declaring 19000 x 19000")
            << "a.wmf" << W::wmfRectangles(19000, 19000, { { QRect(0, 0, 19000, 19000), qRgb(255, 0, 0) } })
            << QSize(19000, 19000) << false;
    }
    void libraryPictureIsBoundedByItsCharge()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(bool, decodes);
        const QString path = put(name, bytes);
        // The library reads a copy of the file.
        const qint64 charged
            = (GraphicsMagickDecoder::PeakBytesPerPixel * qint64(size.width()) * size.height() + 2 * bytes.size())
            / 1024;
        const qint64 resident = charged * TouchedEighths / 8;
        const QString answer = decodes
            ? decodeInChild(path, true, resident, Growth::Resident)
            : decodeInChild(path, false, MostGrowthKb, Growth::AddressSpace,
                QStringLiteral("Image size %1 x %2 is not acceptable").arg(size.width()).arg(size.height()));
        QVERIFY2(answer.isEmpty(), qPrintable(answer));
    }

    // Files written at their type's best compression are as short as a file of that picture can
    // be, and still decode: as GraphicsMagick reads them, for the types read through it (coder),
    // or to the expected pixels where those are given.
    void fileAtBestCompressionDecodes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QByteArray>("coder");
        QTest::addColumn<QImage>("expected");
        const QImage grey = solid(1280, 40, QImage::Format_Indexed8);
        const QImage mono = solid(2040 * 8, 300, QImage::Format_Mono);
        QTest::newRow("TGA grey, run-length")
            << "a.tga" << W::tga(grey, W::TgaKind::GreyRle) << grey.size() << QByteArray("TGA") << QImage();
        QTest::newRow("PCX") << "a.pcx" << W::pcx(solid(126, 30, QImage::Format_RGB32)) << QSize(126, 30)
                             << QByteArray("PCX") << QImage();
        QTest::newRow("RAS") << "a.ras" << W::sunRaster(solid(64, 30, QImage::Format_RGB32)) << QSize(64, 30)
                             << QByteArray("SUN") << QImage();
        QTest::newRow("ART") << "a.art" << W::art(solid(96, 30, QImage::Format_Mono)) << QSize(96, 30)
                             << QByteArray("ART") << QImage();
        QTest::newRow("CUT") << "a.cut" << W::cut(solid(127 * 8, 30, QImage::Format_Indexed8)) << QSize(127 * 8, 30)
                             << QByteArray("CUT") << QImage();
        QTest::newRow("PIC") << "a.pic" << W::pcPaint(grey, true, false) << grey.size() << QByteArray() << QImage();
        // Lines of eight-byte patterns repeated 255 times, each line repeated 255 times.
        SampleBytes gem;
        gem.be16(1).be16(8).be16(1).be16(8).be16(85).be16(85).be16(mono.width()).be16(mono.height());
        for (int group = 0; group < 2; ++group)
            gem.u8(0).u8(0).u8(0xFF).u8(group == 0 ? 255 : 45).u8(0).u8(255).fill(8, 0x5A);
        QTest::newRow("GEM") << "a.img" << gem.data << mono.size() << QByteArray() << QImage();

        // At the edges of each type's least size: a line or a whole picture of 1, 127, 128 or
        // 129 bytes, data that ends 1 or 2 bytes past a full run. The library takes a CUT's depth
        // from its first line: a bit a pixel for a width of whole bytes, half a byte for an even
        // width, else a byte.
        const auto cut = [](const char* row, int width, const QList<QByteArray>& lines) {
            QTest::newRow(row) << "a.cut" << Best::cut(width, lines) << QSize(width, int(lines.size()))
                               << QByteArray("CUT") << QImage();
        };
        cut("CUT 1x1", 1, lines(1, 1, 0x40));
        cut("CUT 1-bit 128x1 white, 11 bytes", 128, lines(1, 16, '\xFF'));
        cut("CUT 1-bit 1016x3, 127-byte lines", 1016, lines(3, 127, '\xFF'));
        cut("CUT 1-bit 1024x3, 128-byte lines", 1024, lines(3, 128, '\xFF'));
        cut("CUT 1-bit 1032x3, 129-byte lines", 1032, lines(3, 129, 0));
        cut("CUT 1-bit 256x2", 256, lines(2, 32, '\xFF'));
        cut("CUT 1-bit 2000x2000 two-colour", 2000, lines(2000, 250, '\xF0'));
        cut("CUT 4-bit 254x1, a 127-byte line", 254, lines(1, 127, 0x12));
        cut("CUT 4-bit 256x1, a 128-byte line", 256, lines(1, 128, 0x12));
        cut("CUT 4-bit 258x2, 129-byte lines", 258, lines(2, 129, 0x12));
        cut("CUT 4-bit 10000x100", 10000, lines(100, 5000, 0x34));
        cut("CUT 8-bit 127x1", 127, lines(1, 127, 0x40));
        cut("CUT 8-bit 129x1", 129, lines(1, 129, 0x40));
        cut("CUT 8-bit 255x2", 255, lines(2, 255, 0x40));
        // PCX lines are padded to whole 16-bit words; a zero byte alone is a literal.
        const auto pcx = [](const char* row, int width, int height, int bits, int planes, char value) {
            const int lineBytes = (width * bits + 15) / 16 * 2;
            const QByteArray packed(qsizetype(lineBytes) * planes * height, value);
            QTest::newRow(row) << "a.pcx" << Best::pcx(width, height, bits, planes, lineBytes, packed)
                               << QSize(width, height) << QByteArray("PCX") << QImage();
        };
        pcx("PCX 1-bit 1x1", 1, 1, 1, 1, '\xFF');
        pcx("PCX 1-bit 512x1, one byte past a run", 512, 1, 1, 1, 0);
        pcx("PCX 1-bit 1024x1, two bytes past two runs", 1024, 1, 1, 1, 0);
        pcx("PCX 1-bit 254x3", 254, 3, 1, 1, '\xFF');
        pcx("PCX 2-bit 256x1, one byte past a run", 256, 1, 2, 1, 0);
        pcx("PCX 4-bit 128x1, one byte past a run", 128, 1, 4, 1, 0);
        pcx("PCX 4 planes 128x1 solid, 131 bytes", 128, 1, 1, 4, 0);
        pcx("PCX 4 planes 255x2 solid", 255, 2, 1, 4, 0x55);
        pcx("PCX 8-bit 127x1", 127, 1, 8, 1, 0x40);
        pcx("PCX 8-bit 128x1", 128, 1, 8, 1, 0x40);
        pcx("PCX 8-bit 129x1", 129, 1, 8, 1, 0x40);
        pcx("PCX 3 planes 256x2", 256, 2, 8, 3, 0x10);
        const auto library = [](const char* row, const char* coder, int width, int height, const char* colour,
                                 Magick::ImageType type, const char* from = nullptr) {
            const QByteArray suffix = coder == QByteArray("SUN") ? "ras" : QByteArray(coder).toLower();
            QTest::newRow(row) << QString("a." + suffix) << libraryWritten(width, height, colour, type, coder, from)
                               << QSize(width, height) << QByteArray(coder) << QImage();
        };
        library("PCX by the library, 1x1 white", "PCX", 1, 1, "white", Magick::BilevelType);
        library("PCX by the library, 128x1 black", "PCX", 128, 1, "black", Magick::BilevelType);
        library("PCX by the library, 129x2 grey", "PCX", 129, 2, "grey50", Magick::PaletteType);
        library("PCX by the library, 255x3 colour", "PCX", 255, 3, "#204060", Magick::TrueColorType);
        // Sun rows are padded to 16 bits: the data is a whole number of 16-bit words.
        const auto sun = [](const char* row, int width, int height, int depth, const QByteArray& packedRow) {
            QTest::newRow(row) << "a.ras" << Best::sunRle(width, height, depth, packedRow.repeated(height))
                               << QSize(width, height) << QByteArray("SUN") << QImage();
        };
        sun("RAS run-length 8-bit 1x1", 1, 1, 8, QByteArray("\x40\0", 2));
        sun("RAS run-length 1-bit 1x1", 1, 1, 1, QByteArray(2, 0));
        sun("RAS run-length 24-bit 1x1", 1, 1, 24, QByteArray("\x40\x40\x40\0", 4));
        sun("RAS run-length 8-bit 2x129, two bytes past a run", 2, 129, 8, QByteArray(2, 0x40));
        sun("RAS run-length 8-bit 128x2, a whole run", 128, 2, 8, QByteArray(128, 0x40));
        sun("RAS run-length 8-bit 129x2", 129, 2, 8, QByteArray(129, 0x40) + QByteArray(1, 0));
        sun("RAS run-length 8-bit 256x3 of the escape byte", 256, 3, 8, QByteArray(256, '\x80'));
        // The library writes Sun rasters uncompressed only.
        library("RAS by the library, 1x1 white", "SUN", 1, 1, "white", Magick::BilevelType);
        library("RAS by the library, 129x2 colour", "SUN", 129, 2, "#D0E0F0", Magick::TrueColorType);
        // The library writes TGA uncompressed only, a two-colour picture at a bit a pixel with each
        // row starting on a byte of its own.
        library("TGA by the library, 1-bit 128x1 white, 34 bytes", "TGA", 128, 1, "white", Magick::BilevelType, "PBM");
        library("TGA by the library, 1-bit 1000x1000 black", "TGA", 1000, 1000, "black", Magick::BilevelType, "PBM");
        library("TGA by the library, 1-bit 9x3", "TGA", 9, 3, "white", Magick::BilevelType, "PBM");
        library("TGA by the library, 8-bit grey 7x2", "TGA", 7, 2, "grey50", Magick::GrayscaleType);
        library("TGA by the library, mapped 9x2", "TGA", 9, 2, "#204060", Magick::PaletteType);
        library("TGA by the library, 24-bit 333x2", "TGA", 333, 2, "#204060", Magick::TrueColorType);
        library("TGA by the library, 32-bit 1x3", "TGA", 1, 3, "#D0E0F0", Magick::TrueColorMatteType);
        // Run-length packets of up to 128 pixels go on across rows; each of these ends part-way
        // into one.
        const auto tga = [](const char* row, int width, int height, const QByteArray& bytes) {
            QTest::newRow(row) << "a.tga" << bytes << QSize(width, height) << QByteArray("TGA") << QImage();
        };
        tga("TGA run-length 8-bit grey 9x15", 9, 15,
            W::tga(solid(9, 15, QImage::Format_Indexed8), W::TgaKind::GreyRle));
        tga("TGA run-length 24-bit 1x129", 1, 129,
            W::tga(solid(1, 129, QImage::Format_RGB32), W::TgaKind::TruecolourRle));
        tga("TGA run-length 32-bit 333x1", 333, 1, Best::tga(333, 1, 32, true, "\x40\x60\x80\xFF"));
        tga("TGA run-length 16-bit 7x19", 7, 19, Best::tga(7, 19, 16, true, "\x1F\x7C"));
        tga("TGA 15-bit 333x2", 333, 2, Best::tga(333, 2, 15, false, "\xE0\x03"));
        // The smallest GIF, and a large solid one whose codes, once the table is full, each name
        // one of its longest strings.
        const QList<QRgb> blackWhite { qRgb(0, 0, 0), qRgb(255, 255, 255) };
        QImage white(4000, 3000, QImage::Format_RGB32);
        white.fill(Qt::white);
        QTest::newRow("GIF 1x1") << "a.gif" << Best::gif(1, 1, blackWhite, QByteArray(1, 1)) << QSize(1, 1)
                                 << QByteArray() << white.copy(0, 0, 1, 1);
        QTest::newRow("GIF 4000x3000 solid") << "b.gif" << Best::gif(4000, 3000, blackWhite, QByteArray(4000 * 3000, 1))
                                             << white.size() << QByteArray() << white;
    }
    void fileAtBestCompressionDecodes()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(QByteArray, coder);
        QFETCH(QImage, expected);
        const DecodeResult result = decodeImageFile(put(name, bytes));
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.size(), size);
        if (!coder.isEmpty())
            expected = libraryReading(bytes, coder);
        if (!expected.isNull())
            QVERIFY(result.image.convertToFormat(QImage::Format_RGB32) == expected);
    }
};

QTEST_GUILESS_MAIN(tst_DeclaredSizes)
#include "tst_DeclaredSizes.moc"
