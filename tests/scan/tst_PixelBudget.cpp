// The measuring threads share a pixel budget: what they hold decoded at one time stays within it,
// a picture larger than the budget is measured alone, the loop looks ahead only as far as the
// budget allows, and the results still come in file order.

#include "imagestats/ImageDecoder.h"
#include "imagestats/decoders/DecoderLimits.h"
#include "scan/PixelBudget.h"
#include "scan/StatisticsPipeline.h"

#include "ImageSampleWriters.h"
#include "ImageSamples.h"
#include "SampleBytes.h"
#include "TestSupport.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

constexpr qint64 LookAheadBudget = 2048 * 100;

// A decoder stand-in: a job's "picture" is as many pixels as its length says; measuring holds
// them for a moment and notes the most held at once.
struct FakeDecoder
{
    std::atomic<qint64> held { 0 };
    std::atomic<qint64> mostHeld { 0 };
    std::atomic<qint64> heldBesideLargest { -1 }; // what else was held while a too-large one ran

    StatisticsPipeline::Measurer measurer(qint64 budget)
    {
        StatisticsPipeline::Measurer m;
        m.pixels = [](const StatisticsJob& job) { return job.length; };
        m.compute = [this, budget](const StatisticsJob& job) {
            const qint64 now = held += job.length;
            qint64 most = mostHeld;
            while (now > most && !mostHeld.compare_exchange_weak(most, now)) { }
            if (job.length > budget)
                heldBesideLargest = now - job.length;
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
            held -= job.length;
            StatisticsResult result;
            result.checksum = job.filePath;
            return result;
        };
        return m;
    }
};

} // namespace

class tst_PixelBudget : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void heldPixelsStayWithinTheBudget_data()
    {
        QTest::addColumn<QList<qint64>>("pictures");
        QTest::addColumn<qint64>("budget");
        QTest::addColumn<qint64>("mostAllowed");
        QTest::addColumn<qint64>("leastExpected"); // the threads still work side by side
        const QList<qint64> huge(8, 400); // eight pictures of 20000 x 20000, in megapixels
        QTest::newRow("eight huge pictures, one at a time") << huge << qint64(600) << qint64(400) << qint64(0);
        QTest::newRow("small pictures side by side")
            << QList<qint64>(24, 50) << qint64(600) << qint64(300) << qint64(100);
        QTest::newRow("one larger than the budget runs alone")
            << QList<qint64> { 100, 200, 900, 100, 300, 100 } << qint64(600) << qint64(900) << qint64(0);
        QTest::newRow("mixed sizes") << QList<qint64> { 500, 50, 50, 500, 90, 10, 600, 1, 1 } << qint64(600)
                                     << qint64(600) << qint64(0);
    }
    void heldPixelsStayWithinTheBudget()
    {
        QFETCH(QList<qint64>, pictures);
        QFETCH(qint64, budget);
        QFETCH(qint64, mostAllowed);
        QFETCH(qint64, leastExpected);
        FakeDecoder decoder;
        QStringList order;
        {
            StatisticsPipeline pipeline(6, decoder.measurer(budget), budget);
            QList<StatisticsPipeline::TicketPtr> tickets;
            for (int i = 0; i < pictures.size(); ++i) {
                StatisticsJob job;
                job.filePath = QString::number(i);
                job.length = pictures.at(i);
                tickets << pipeline.submit(job);
            }
            for (const StatisticsPipeline::TicketPtr& ticket : tickets)
                order << pipeline.take(ticket).checksum;
        }
        QStringList expected;
        for (int i = 0; i < pictures.size(); ++i)
            expected << QString::number(i);
        QCOMPARE(order, expected);
        QVERIFY2(decoder.mostHeld <= mostAllowed, qPrintable(QString::number(decoder.mostHeld)));
        QVERIFY2(decoder.mostHeld >= leastExpected, qPrintable(QString::number(decoder.mostHeld)));
        if (mostAllowed > budget)
            QCOMPARE(decoder.heldBesideLargest.load(), qint64(0));
    }

    // The loop looks ahead while the jobs it has submitted and not yet taken leave room in the
    // budget: a job counts its picture's pixels once a worker has read the header, and at least
    // a 2048th of the budget, so that files without pixels cannot pile up; a job taken or dropped
    // gives its share back.
    void lookAheadStaysWithinTheBudget_data()
    {
        QTest::addColumn<qint64>("pixels"); // each picture's
        QTest::addColumn<int>("ahead"); // jobs submitted before the budget is full
        QTest::newRow("pictures of a quarter of the budget") << LookAheadBudget / 4 << 4;
        QTest::newRow("a picture larger than the budget") << 3 * LookAheadBudget << 1;
        QTest::newRow("files without pixels") << qint64(0) << 2048;
    }
    void lookAheadStaysWithinTheBudget()
    {
        QFETCH(qint64, pixels);
        QFETCH(int, ahead);
        constexpr int Threads = 6;
        std::atomic<int> started { 0 };
        std::promise<void> gate;
        StatisticsPipeline::Measurer measurer;
        measurer.pixels = [](const StatisticsJob& job) { return job.length; };
        measurer.compute = [&started, open = gate.get_future().share()](const StatisticsJob& job) {
            ++started;
            open.wait();
            return StatisticsResult { false, job.filePath, {}, {} };
        };
        StatisticsPipeline pipeline(Threads, measurer, LookAheadBudget);
        auto opening = qScopeGuard([&] { gate.set_value(); }); // before the pipeline waits for its workers
        QList<StatisticsPipeline::TicketPtr> tickets;
        while (pipeline.hasRoom() && tickets.size() <= 4096) {
            StatisticsJob job;
            job.filePath = QString::number(tickets.size());
            job.length = pixels;
            tickets << pipeline.submit(job);
            // A free worker takes the job at once; the others wait in the queue, unread.
            if (tickets.size() <= Threads)
                QTRY_COMPARE(started.load(), int(tickets.size()));
        }
        QCOMPARE(int(tickets.size()), ahead);
        pipeline.discard(tickets.takeLast());
        QVERIFY(pipeline.hasRoom());
        opening.dismiss();
        gate.set_value();
        for (int i = 0; i < tickets.size(); ++i)
            QCOMPARE(pipeline.take(tickets.at(i)).checksum, QString::number(i));
    }

    // What the budget counts for a file is read from its header, not its size: the sample of each
    // type, a tiny file declaring a huge picture; a header the library cannot read counts at the
    // largest picture the decoders accept, one Qt cannot read decodes nothing.
    void countsWhatTheHeaderDeclares_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("least");
        QTest::addColumn<qint64>("most");
        for (const QString& type : ImageSamples::types()) {
            const ImageSample sample = ImageSamples::sample(type);
            const qint64 pixels = qint64(sample.expected.width()) * sample.expected.height();
            QTest::newRow(qPrintable(type))
                << "sample" + type.toLower() << sample.bytes << pixels << 4 * pixels + sample.bytes.size() / 2;
        }
        // The library's pixels and the picture exported from them, 15 bytes a pixel; a picture
        // past the library's largest is refused unread.
        const auto tga = [](int width, int height) {
            return SampleBytes().u8(0).u8(0).u8(10).fill(9).le16(width).le16(height).u8(24).u8(0).fill(742).data;
        };
        const qint64 largest = DecoderLimits::maxLibraryPixels;
        QTest::newRow("TGA header at the library's largest")
            << "largest.tga" << tga(12800, 12500) << 15 * largest / 4 << 15 * largest / 4 + 380;
        QTest::newRow("TGA header past the library's largest")
            << "past.tga" << tga(12800, 12501) << qint64(0) << 2 * qint64(760) / 4;
        QByteArray jpeg = ImageSampleWriters::qtWrite(ImageSamples::photo(16, 16), "jpeg");
        const qsizetype sof = jpeg.indexOf("\xFF\xC0");
        for (const int at : { 5, 7 }) {
            jpeg[sof + at] = char(20000 >> 8);
            jpeg[sof + at + 1] = char(20000 & 0xFF);
        }
        const qint64 huge = qint64(20000) * 20000;
        QTest::newRow("760 bytes of JPEG declaring 20000 x 20000") << "huge.jpg" << jpeg.left(760) << huge << 2 * huge;
        // A legal GIF: a 1 x 1 frame drawn on a 3746 x 65280 screen.
        const QByteArray canvasGif = QByteArray::fromHex(
            "474946383961a20e00ff800000000000ffffff2c0000000001000100" "0002024c01003b");
        const qint64 screen = qint64(3746) * 65280;
        QTest::newRow("35 bytes of GIF on a large screen") << "canvas.gif" << canvasGif << screen << 4 * screen;
        QTest::newRow("JPEG header unreadable") << "garbage.jpg" << QByteArray(760, 'x') << qint64(190) << qint64(190);
        QTest::newRow("TGA header unreadable")
            << "garbage.tga" << QByteArray(760, 'x') << DecoderLimits::maxPixels << 4 * DecoderLimits::maxPixels;
    }
    void countsWhatTheHeaderDeclares()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, least);
        QFETCH(qint64, most);
        QTemporaryDir dir;
        StatisticsJob job;
        job.wantColour = true;
        job.filePath = dir.filePath(name);
        QVERIFY(writeFile(job.filePath, bytes));
        const qint64 pixels = decodedPixels(job);
        QVERIFY2(pixels >= least && pixels <= most, qPrintable(QString::number(pixels)));
    }
};

QTEST_GUILESS_MAIN(tst_PixelBudget)
#include "tst_PixelBudget.moc"
