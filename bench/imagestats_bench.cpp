// Decode speed against decode plus statistics (capture, colour statistics and pattern) on
// generated JPEG and PNG photos of 2, 12 and 24 megapixels. Prints megapixels per second.

#include "imagestats/CapturePixels.h"
#include "imagestats/ColourStats.h"
#include "imagestats/ImageDecoder.h"
#include "imagestats/MakePattern.h"
#include "imagestats/MeasureImage.h"
#include "imagestats/ToGreyscale.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

// Smooth gradients with a few soft shapes and sensor-like noise, so the encoders work as hard
// as on a photo.
QImage photo(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    quint32 state = 2463534242u;
    auto noise = [&state]() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return int(state % 25) - 12;
    };
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int dx = x - w / 3, dy = y - h / 2;
            const bool disc = qint64(dx) * dx + qint64(dy) * dy < qint64(h / 4) * (h / 4);
            const int r = x * 200 / w + (disc ? 40 : 0) + noise();
            const int g = y * 180 / h + 30 + noise();
            const int b = (x + y) * 150 / (w + h) + (disc ? 0 : 60) + noise();
            line[x] = qRgb(qBound(0, r, 255), qBound(0, g, 255), qBound(0, b, 255));
        }
    }
    return image;
}

// Seconds per run: the median-free simple mean of enough runs to fill about a second.
double secondsPerRun(const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    int runs = 1;
    const qint64 first = timer.nsecsElapsed();
    const int wanted = first > 500'000'000 ? 1 : qBound(2, int(1'000'000'000 / qMax<qint64>(first, 1)), 20);
    timer.restart();
    for (int i = 0; i < wanted; ++i)
        run();
    runs = wanted;
    return double(timer.nsecsElapsed()) / 1e9 / runs;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const struct
    {
        const char* name;
        int w, h;
    } sizes[] = { { "2 MP", 1632, 1224 }, { "12 MP", 4000, 3000 }, { "24 MP", 6000, 4000 } };

    std::printf("%-6s %-5s %12s %18s %14s %12s %16s\n", "size", "type", "decode MP/s", "decode+stats MP/s", "stats ms",
        "stats/decode", "separate stats ms");
    for (const auto& size : sizes) {
        const QImage source = photo(size.w, size.h);
        const double mp = double(size.w) * size.h / 1e6;
        for (const char* format : { "JPG", "PNG" }) {
            const QString path = dir.filePath(QStringLiteral("photo_%1.%2").arg(size.w).arg(QLatin1String(format)));
            if (!source.save(path, format, format[0] == 'J' ? 90 : -1)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
            const double decode = secondsPerRun([&] { (void)decodeImageFile(path); });
            ImageStats stats;
            const double whole = secondsPerRun([&] {
                PixelArray pixels;
                CapturePixels(pixels, decodeImageFile(path).image);
                MeasureImage(pixels, true, true, stats);
            });
            const QImage decoded = decodeImageFile(path).image;
            const double statsOnly = secondsPerRun([&] {
                PixelArray pixels;
                CapturePixels(pixels, decoded);
                MeasureImage(pixels, true, true, stats);
            });
            // The step-by-step route (colour statistics, grey copy, pattern), for comparison.
            const double separate = secondsPerRun([&] {
                PixelArray pixels;
                CapturePixels(pixels, decoded);
                ImageStats s;
                ColourStats(pixels, s);
                ToGreyscale(pixels);
                MakePattern(pixels, s);
            });
            std::printf("%-6s %-5s %12.1f %18.1f %14.1f %11.0f%% %16.1f\n", size.name, format, mp / decode, mp / whole,
                statsOnly * 1e3, 100.0 * statsOnly / decode, separate * 1e3);
            std::fflush(stdout);
        }
    }
    return 0;
}
