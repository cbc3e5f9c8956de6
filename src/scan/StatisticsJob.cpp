#include "scan/StatisticsJob.h"

#include "imagestats/CapturePixels.h"
#include "imagestats/ImageDecoder.h"
#include "imagestats/MeasureImage.h"
#include "imagestats/PixelArray.h"
#include "imagestats/decoders/DecoderLimits.h"
#include "imagestats/decoders/GraphicsMagickDecoder.h"
#include "platform/Conventions.h"
#include "scan/DirectoryListing.h"
#include "scan/PixelBudget.h"
#include "scan/ScanValues.h"

#include <cmath>

namespace {

// The largest picture the decoder library accepts, at its peak, fits the budget: it may run alone.
static_assert(
    DecoderLimits::maxLibraryPixels * GraphicsMagickDecoder::PeakBytesPerPixel <= PixelBudget::DefaultPixels * 4);

constexpr int PreviewTwips = 600;

} // namespace

qint64 decodedPixels(const StatisticsJob& job)
{
    if (!job.wantColour && !job.wantPattern)
        return 0;
    const ImageProbe probe = probeImageFile(job.filePath);
    if (!probe.readable)
        return 0;
    const qint64 declared = probe.declared.isValid()
        ? qMin(qint64(probe.declared.width()) * probe.declared.height(), DecoderLimits::maxPixels)
        : DecoderLimits::maxPixels;
    // In 4-byte pixels; the file's bytes are held while it is decoded. The pattern then keeps a
    // grey byte a pixel beside the 32-bit picture.
    const qint64 decoding = declared * probe.peakBytesPerPixel + probe.fileBytes * probe.fileCopies;
    const qint64 measuring = job.wantPattern ? declared * 5 : 0;
    return qMax(decoding, measuring) / 4;
}

QSize previewSize(int width, int height)
{
    if (width < 1 || height < 1)
        return {};
    const int box = conv::twipsToPixels(PreviewTwips);
    const int fittedHeight = qMax(1, int(std::lround(double(box) * height / width)));
    if (fittedHeight <= box)
        return { box, fittedHeight };
    return { qMax(1, int(std::lround(double(box) * width / height))), box };
}

StatisticsResult computeStatistics(const StatisticsJob& job)
{
    StatisticsResult result;
    result.checksum = job.checksum;
    result.stats = job.stats;
    bool readFailed = false;
    if (job.wantChecksum) {
        // A file that cannot be read keeps the checksum it had (a blank for a new record), so the
        // next scan measures it again.
        const std::optional<QString> checksum = checksumText(job.fileType, job.length, job.filePath);
        if (checksum)
            result.checksum = *checksum;
        else
            readFailed = true;
    }
    if (job.wantColour || job.wantPattern) {
        DecodeResult decoded = decodeImageFile(job.filePath);
        if (!decoded.ok()) {
            readFailed = true;
        } else {
            PixelArray pixels;
            if (CapturePixels(pixels, decoded.image)) {
                ImageStats measured = result.stats;
                MeasureImage(pixels, job.wantColour, job.wantPattern, measured);
                measured.X = pixels.width();
                measured.Y = pixels.height();
                result.stats = measured;
                if (job.wantPreview) {
                    const QSize size = previewSize(pixels.width(), pixels.height());
                    result.preview = decoded.image.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
                }
            }
        }
    }
    if (readFailed && !fileFacts(job.filePath))
        result.vanished = true;
    return result;
}
