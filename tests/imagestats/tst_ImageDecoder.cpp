#include "imagestats/ImageDecoder.h"

#include "ImageSampleWriters.h"
#include "ImageSamples.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <memory>
#include <thread>

#include <sys/stat.h>

namespace {

// True when the expected pixel and its eight neighbours are one colour.
bool awayFromEdges(const QImage& expected, int x, int y)
{
    if (x == 0 || y == 0 || x + 1 >= expected.width() || y + 1 >= expected.height())
        return false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (expected.pixel(x + dx, y + dy) != expected.pixel(x, y))
                return false;
    return true;
}

QString firstMismatch(const QImage& actual, const QImage& expected, int tolerance, bool drawn = false)
{
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            if (drawn && !awayFromEdges(expected, x, y))
                continue;
            const QRgb a = actual.pixel(x, y);
            const QRgb e = expected.pixel(x, y);
            if (std::abs(qRed(a) - qRed(e)) > tolerance || std::abs(qGreen(a) - qGreen(e)) > tolerance
                || std::abs(qBlue(a) - qBlue(e)) > tolerance)
                return QStringLiteral("(%1,%2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(actual.pixel(x, y), 8, 16)
                    .arg(expected.pixel(x, y), 8, 16);
        }
    return {};
}

void verifyDecodes(const QString& path, const QImage& expected, int tolerance, bool drawn = false)
{
    const DecodeResult result = decodeImageFile(path);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.image.format(), QImage::Format_RGB32);
    QCOMPARE(result.image.size(), expected.size());
    const QString mismatch = firstMismatch(result.image, expected, tolerance, drawn);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

} // namespace

class tst_ImageDecoder : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString put(const QString& name, const QByteArray& bytes) { return writeFileIn(m_dir, name, bytes); }

    void addTypeRows()
    {
        QTest::addColumn<QString>("type");
        for (const QString& type : ImageSamples::types())
            QTest::newRow(qPrintable(type)) << type;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void decodesSampleOfEachType_data() { addTypeRows(); }
    void decodesSampleOfEachType()
    {
        QFETCH(QString, type);
        const ImageSample sample = ImageSamples::sample(type);
        QVERIFY(!sample.bytes.isEmpty());
        verifyDecodes(put("sample" + type.toLower(), sample.bytes), sample.expected, sample.tolerance, sample.drawn);
        // The extension is matched without regard to case.
        verifyDecodes(put("SAMPLE" + type, sample.bytes), sample.expected, sample.tolerance, sample.drawn);
    }

    void refusesTruncatedFile_data() { addTypeRows(); }
    void refusesTruncatedFile()
    {
        QFETCH(QString, type);
        const QByteArray bytes = ImageSamples::sample(type).bytes;
        for (const qsizetype length : { bytes.size() / 2, bytes.size() / 3, qsizetype(10), qsizetype(1) }) {
            const DecodeResult result = decodeImageFile(put("cut" + type.toLower(), bytes.left(length)));
            QVERIFY2(!result.ok(), qPrintable(QStringLiteral("accepted %1 of %2 bytes").arg(length).arg(bytes.size())));
            QVERIFY(result.image.isNull());
            QVERIFY(!result.error.isEmpty());
        }
    }

    void refusesGarbage_data() { addTypeRows(); }
    void refusesGarbage()
    {
        QFETCH(QString, type);
        QRandomGenerator random(uint(qHash(type)));
        for (const int length : { 3000, 200000 }) {
            QByteArray garbage(length, 0);
            for (char& c : garbage)
                c = char(random.bounded(256));
            const DecodeResult result = decodeImageFile(put("junk" + type.toLower(), garbage));
            QVERIFY2(!result.ok(), qPrintable(QStringLiteral("accepted %1 random bytes").arg(length)));
            QVERIFY(!result.error.isEmpty());
        }
        const DecodeResult empty = decodeImageFile(put("empty" + type.toLower(), QByteArray()));
        QVERIFY(!empty.ok());
    }

    // Damaged copies are either refused or decoded to a proper picture, never a crash or hang.
    void damagedFilesAreHandled_data() { addTypeRows(); }
    void damagedFilesAreHandled()
    {
        QFETCH(QString, type);
        const QByteArray bytes = ImageSamples::sample(type).bytes;
        QRandomGenerator random(uint(qHash(type)) ^ 0x5A5A);
        for (int round = 0; round < 40; ++round) {
            QByteArray damaged = bytes;
            const int changes = 1 + int(random.bounded(8));
            for (int i = 0; i < changes; ++i) {
                // Headers matter most: half the changes fall in the first 64 bytes.
                const qsizetype span = (i % 2 == 0) ? std::min<qsizetype>(64, damaged.size()) : damaged.size();
                damaged[qsizetype(random.bounded(int(span)))] = char(random.bounded(256));
            }
            const DecodeResult result = decodeImageFile(put("damaged" + type.toLower(), damaged));
            if (result.ok()) {
                QCOMPARE(result.image.format(), QImage::Format_RGB32);
            } else {
                QVERIFY(result.image.isNull());
                QVERIFY(!result.error.isEmpty());
            }
        }
    }

    // What stands at a picture's name but is no picture file is refused at once: a FIFO or a
    // device must neither hold the open nor feed the read without end.
    void whatIsNotAFileIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : { "absent", "directory", "fifo", "link to /dev/zero", "link to /dev/urandom" })
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void whatIsNotAFileIsRefused()
    {
        QFETCH(QString, kind);
        const QString path = m_dir.filePath(kind.right(4) + ".jpg");
        if (kind == "directory")
            QVERIFY(QDir().mkdir(path));
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind.startsWith("link"))
            QVERIFY(QFile::link(kind.mid(8), path));
        auto decoded = std::make_shared<std::promise<DecodeResult>>();
        std::future<DecodeResult> answer = decoded->get_future();
        std::thread([decoded, path] { decoded->set_value(decodeImageFile(path)); }).detach();
        QVERIFY2(answer.wait_for(std::chrono::seconds(10)) == std::future_status::ready, "the decode never ended");
        const DecodeResult result = answer.get();
        QVERIFY(!result.ok());
        QVERIFY(!result.error.isEmpty());
    }

    // A picture decoded for display fits its bound with its proportions, reports its own size,
    // and looks like the whole picture scaled down.
    void decodesWithinABound_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<QSize>("bound");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("large JPEG, wide")
            << QByteArray("jpeg") << QSize(1600, 800) << QSize(200, 200) << QSize(200, 100);
        QTest::newRow("large JPEG, tall")
            << QByteArray("jpeg") << QSize(600, 1800) << QSize(300, 300) << QSize(100, 300);
        QTest::newRow("large PNG") << QByteArray("png") << QSize(900, 600) << QSize(300, 300) << QSize(300, 200);
        QTest::newRow("inside the bound") << QByteArray("jpeg") << QSize(120, 80) << QSize(300, 300) << QSize(120, 80);
    }
    void decodesWithinABound()
    {
        QFETCH(QByteArray, format);
        QFETCH(QSize, natural);
        QFETCH(QSize, bound);
        QFETCH(QSize, expected);
        const QImage photo = ImageSamples::photo(natural.width(), natural.height(), 7);
        const QString path = put(QStringLiteral("bound/%1.%2").arg(QTest::currentDataTag(), QString(format)),
            ImageSampleWriters::qtWrite(photo, format.constData(), 90));
        const DecodeResult whole = decodeImageFile(path);
        const DecodeResult shown = decodeImageFile(path, bound);
        QVERIFY(shown.ok());
        QCOMPARE(shown.image.size(), expected);
        QCOMPARE(shown.naturalSize, natural);
        QCOMPARE(whole.naturalSize, natural);
        QCOMPARE(shown.image.format(), QImage::Format_RGB32);
        const QImage reference = whole.image.scaled(expected, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        qint64 difference = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x) {
                const QRgb a = shown.image.pixel(x, y), b = reference.pixel(x, y);
                difference += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
            }
        QVERIFY2(difference / (3 * qint64(expected.width()) * expected.height()) <= 6, "scaled picture differs");
    }

    // Many threads decoding at once give exactly what one thread gives.
    void eightThreadsEqualOne()
    {
        const QStringList types = ImageSamples::types();
        QStringList paths;
        for (int i = 0; i < 200; ++i) {
            const QString type = types[i % types.size()];
            QByteArray bytes;
            if (type == ".PNG" || type == ".JPG" || type == ".TGA" || type == ".PCX") {
                const QImage photo = ImageSamples::photo(60 + i % 13, 40 + i % 7, i);
                bytes = type == ".PNG" ? ImageSampleWriters::qtWrite(photo, "png")
                    : type == ".JPG"   ? ImageSampleWriters::qtWrite(photo, "jpeg", 80)
                    : type == ".TGA"   ? ImageSampleWriters::tga(photo, ImageSampleWriters::TgaKind::TruecolourRle)
                                       : ImageSampleWriters::pcx(photo);
            } else {
                bytes = ImageSamples::sample(type).bytes;
            }
            paths.append(put(QStringLiteral("many/%1%2").arg(i).arg(type), bytes));
        }
        QList<QImage> single;
        for (const QString& path : paths)
            single.append(decodeImageFile(path).image);

        QList<QImage> parallel(paths.size());
        std::vector<std::thread> workers;
        for (int t = 0; t < 8; ++t) {
            workers.emplace_back([&, t] {
                for (int i = t; i < paths.size(); i += 8)
                    parallel[i] = decodeImageFile(paths[i]).image;
            });
        }
        for (std::thread& worker : workers)
            worker.join();
        for (int i = 0; i < paths.size(); ++i) {
            QVERIFY2(!single[i].isNull(), qPrintable(paths[i]));
            QVERIFY2(parallel[i] == single[i], qPrintable(paths[i]));
        }
    }
};

QTEST_GUILESS_MAIN(tst_ImageDecoder)
#include "tst_ImageDecoder.moc"
