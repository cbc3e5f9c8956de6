#include "imagestats/ImageDecoder.h"

#include "FileSystemFixtures.h"
#include "ImageSampleWriters.h"
#include "SampleBytes.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

using W = ImageSampleWriters;

namespace {

// A figure of this process from /proc/self/status, in kB.
qint64 statusKb(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// More address space, and a larger file, than any of these small pictures needs: the declared
// picture needs far more.
constexpr qint64 MostGrowthKb = 128 * 1024;

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

} // namespace

class tst_DeclaredSizes : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString put(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        return writeFile(path, bytes) ? path : QString();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // A few bytes that declare 20000 x 20000 pixels are refused at once: no memory is reserved for
    // the picture and nothing is written into the temporary directory.
    void shortFileDeclaringALargePictureIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        constexpr int Side = 20000;
        SampleBytes gem;
        gem.be16(1).be16(8).be16(1).be16(1).be16(85).be16(85).be16(Side).be16(Side);
        QTest::newRow("GEM header alone") << "a.img" << gem.data;
        // 65535 blocks announced, one there: a run of 65535 bytes.
        SampleBytes pic;
        pic.le16(0x1234).le16(Side).le16(Side).le16(0).le16(0).u8(0x08).u8(0xFF).u8(0).le16(0).le16(0);
        pic.le16(0xFFFF).le16(10).le16(0xFFFF).u8(0).raw(QByteArray("\0\0\xFF\xFF\x07", 5));
        QTest::newRow("PIC, many blocks announced") << "a.pic" << pic.data;
        // A row of 2^31 pixels of 65535 bits: its bytes times its height pass 64 bits.
        SampleBytes bmp;
        bmp.raw("BM").le32(70).le32(0).le32(54).le32(40).le32(0x7FFFFFFF).le32(0x7FFFFFFF).le16(1).le16(0xFFFF);
        QTest::newRow("BMP, row size times height beyond 64 bits")
            << "a.bmp" << bmp.le32(0).fill(20).fill(16, 0x11).data;
    }
    void shortFileDeclaringALargePictureIsRefused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString path = put(name, bytes);
        const QString scratch = m_dir.filePath(name + ".tmp");
        QVERIFY(QDir().mkpath(scratch));
        const QString answer = runInChild(
            [&] {
                qputenv("TMPDIR", QFile::encodeName(scratch));
                // A larger file written ends the child (SIGXFSZ).
                const rlimit fileSize { MostGrowthKb * 1024, MostGrowthKb * 1024 };
                setrlimit(RLIMIT_FSIZE, &fileSize);
                const qint64 before = statusKb("VmSize");
                const DecodeResult result = decodeImageFile(path);
                const qint64 growth = statusKb("VmPeak") - before;
                if (result.ok())
                    return QStringLiteral("decoded");
                if (before < 0 || growth > MostGrowthKb)
                    return QStringLiteral("address space grew by %1 kB").arg(growth);
                return QString();
            },
            60);
        QVERIFY2(answer.isEmpty(), qPrintable(answer));
        QCOMPARE(QDir(scratch).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    // Files written at their type's best compression are as short as a file of that picture can
    // be, and still decode.
    void fileAtBestCompressionDecodes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        const QImage grey = solid(1280, 40, QImage::Format_Indexed8);
        const QImage mono = solid(2040 * 8, 300, QImage::Format_Mono);
        QTest::newRow("PIC") << "a.pic" << W::pcPaint(grey, true, false) << grey.size();
        // Lines of eight-byte patterns repeated 255 times, each line repeated 255 times.
        SampleBytes gem;
        gem.be16(1).be16(8).be16(1).be16(8).be16(85).be16(85).be16(mono.width()).be16(mono.height());
        for (int group = 0; group < 2; ++group)
            gem.u8(0).u8(0).u8(0xFF).u8(group == 0 ? 255 : 45).u8(0).u8(255).fill(8, 0x5A);
        QTest::newRow("GEM") << "a.img" << gem.data << mono.size();
    }
    void fileAtBestCompressionDecodes()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        const DecodeResult result = decodeImageFile(put(name, bytes));
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.size(), size);
    }
};

QTEST_GUILESS_MAIN(tst_DeclaredSizes)
#include "tst_DeclaredSizes.moc"
