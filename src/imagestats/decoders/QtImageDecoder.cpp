#include "imagestats/decoders/QtImageDecoder.h"

#include "imagestats/decoders/CompletenessCheck.h"
#include "imagestats/decoders/DecoderLimits.h"

#include <QBuffer>
#include <QImageReader>

#include <mutex>

namespace {

// Qt refuses images above 256 MB by default; a 100-megapixel photograph needs more.
constexpr int allocationLimitMegabytes = 2048;
// An icon file lists at most this many images worth looking at.
constexpr int maxIconImages = 64;

void raiseAllocationLimitOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(allocationLimitMegabytes); });
}

DecodeResult failure(const QString& why)
{
    DecodeResult result;
    result.error = why;
    return result;
}

QImage readCurrent(QImageReader& reader, QString* error, QSize* natural = nullptr)
{
    const QSize declared = reader.size();
    if (declared.isValid() && !DecoderLimits::sizeAcceptable(declared.width(), declared.height())) {
        *error = QStringLiteral("Image size %1 x %2 is not acceptable").arg(declared.width()).arg(declared.height());
        return {};
    }
    if (natural)
        *natural = declared;
    QImage image = reader.read();
    if (image.isNull())
        *error = reader.errorString();
    return image;
}

} // namespace

DecodeResult QtImageDecoder::decode(const QByteArray& data, const QByteArray& format, QSize bound)
{
    raiseAllocationLimitOnce();
    const bool complete = format == "jpeg"   ? CompletenessCheck::jpeg(data)
        : format == "bmp"                    ? CompletenessCheck::bmp(data)
        : format == "gif"                    ? CompletenessCheck::gifFirstFrame(data)
        : format == "ico" || format == "cur" ? CompletenessCheck::iconDirectory(data)
                                             : true;
    if (!complete)
        return failure(QStringLiteral("The file is incomplete"));
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(false);
    reader.setDecideFormatFromContent(format.isEmpty());

    DecodeResult result;
    if (format == "ico" || format == "cur") {
        // One image of the file: the largest; the first of equals.
        const int count = std::min(reader.imageCount(), maxIconImages);
        qint64 bestArea = -1;
        for (int i = 0; i < count; ++i) {
            if (!reader.jumpToImage(i))
                break;
            QString error;
            QImage candidate = readCurrent(reader, &error);
            if (candidate.isNull()) {
                result.error = error;
                continue;
            }
            const qint64 area = qint64(candidate.width()) * candidate.height();
            if (area > bestArea) {
                bestArea = area;
                result.image = candidate;
            }
        }
        if (!result.image.isNull())
            result.error.clear();
        else if (result.error.isEmpty())
            result.error = QStringLiteral("The icon file holds no image");
        return result;
    }
    // The JPEG reader decodes at a fraction of the size when asked for a smaller picture.
    if (bound.isValid() && format == "jpeg") {
        const QSize declared = reader.size();
        if (declared.isValid() && (declared.width() > bound.width() || declared.height() > bound.height()))
            reader.setScaledSize(declared.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    }
    result.image = readCurrent(reader, &result.error, &result.naturalSize);
    return result;
}
