// The peak memory of decoding one large picture through the decoder library: a one-grey picture
// of each type given (--types TGA,PCX,SUN,RLE,ART,CUT) at --size WxH (20000x20000 unless told) is
// written at its best compression, then decoded by a child process of this program; the child's
// peak resident memory is printed, whole and per pixel, with the decode's outcome.
// With --decode FILE it decodes that one file itself and prints the outcome.

#include "ImageSampleWriters.h"
#include "TestSupport.h"
#include "imagestats/ImageDecoder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace {

QString option(const QStringList& args, const QString& name, const QString& fallback)
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

// A figure of this process from /proc/self/status, in MB.
double statusMb(const QByteArray& field)
{
    return double(processStatusKb(field)) / 1024.0;
}

int decodeOne(const QString& path)
{
    const double sizeBefore = statusMb("VmSize");
    QElapsedTimer timer;
    timer.start();
    const DecodeResult result = decodeImageFile(path);
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%s  %.1f s  peak %.0f MB, address space grew by %.0f MB\n",
        result.ok() ? qPrintable(QStringLiteral("decoded %1 x %2").arg(result.image.width()).arg(result.image.height()))
                    : qPrintable("refused: " + result.error),
        double(timer.elapsed()) / 1000.0, double(usage.ru_maxrss) / 1024.0, statusMb("VmPeak") - sizeBefore);
    return result.ok() ? 0 : 3;
}

// The child's peak resident memory in kB, or -1; its output goes to this program's.
long peakOfChild(const char* self, const QString& path)
{
    std::fflush(stdout);
    const QByteArray file = QFile::encodeName(path);
    const pid_t child = fork();
    if (child == 0) {
        execl(self, self, "--decode", file.constData(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child)
        return -1;
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString single = option(args, QStringLiteral("--decode"), QString());
    if (!single.isEmpty())
        return decodeOne(single);

    const QStringList size = option(args, QStringLiteral("--size"), QStringLiteral("20000x20000")).split('x');
    const int width = size.value(0).toInt();
    const int height = size.value(1).toInt();
    const QStringList types
        = option(args, QStringLiteral("--types"), QStringLiteral("TGA,PCX,SUN,RLE,ART,CUT")).split(',');
    if (width < 1 || height < 1) {
        std::fprintf(stderr, "usage: librarypeak_bench [--size WxH] [--types TGA,PCX,...] | --decode FILE\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString self = QCoreApplication::applicationFilePath();
    for (const QString& type : types) {
        const QString path
            = dir.filePath("large." + (type == QLatin1String("SUN") ? QStringLiteral("ras") : type.toLower()));
        {
            const QByteArray bytes = ImageSampleWriters::solid(qPrintable(type), width, height);
            QFile out(path);
            if (bytes.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
            std::printf("%-4s %d x %d, %lld bytes: ", qPrintable(type), width, height, qint64(bytes.size()));
        }
        const long peakKb = peakOfChild(qPrintable(self), path);
        std::printf("     child peak %.0f MB, %.2f bytes a pixel\n", double(peakKb) / 1024.0,
            double(peakKb) * 1024.0 / (double(width) * height));
        std::fflush(stdout);
        QFile::remove(path);
    }
    return 0;
}
