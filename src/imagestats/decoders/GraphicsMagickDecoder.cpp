#include "imagestats/decoders/GraphicsMagickDecoder.h"

#include "imagestats/decoders/CompletenessCheck.h"
#include "imagestats/decoders/DecoderLimits.h"

#include <Magick++.h>

#include <climits>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

// Only the coders we read through the library stay registered (with the bitmap readers a
// metafile's embedded pictures need). A picture file may carry another format inside, such as
// PostScript in a WordPerfect graphic; with its coder gone it cannot start an interpreter or
// reach files other than the one given.
void keepOnlyPictureCoders()
{
    static const std::set<std::string> kept { "ART", "CUT", "HRZ", "MAC", "PCX", "SUN", "RAS", "RLE", "TGA", "WMF",
        "WPG", "BMP", "BMP2", "BMP3", "DIB" };
    MagickLib::ExceptionInfo exception;
    MagickLib::GetExceptionInfo(&exception);
    std::vector<std::string> unwanted;
    if (MagickLib::MagickInfo** all = MagickLib::GetMagickInfoArray(&exception)) {
        for (MagickLib::MagickInfo** info = all; *info; ++info) {
            if (!kept.count((*info)->name))
                unwanted.emplace_back((*info)->name);
        }
        MagickLib::MagickFree(all);
    }
    MagickLib::DestroyExceptionInfo(&exception);
    for (const std::string& name : unwanted)
        MagickLib::UnregisterMagickInfo(name.c_str());
}

void initialiseOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        keepOnlyPictureCoders();
        // Some readers apply this limit when only asked for the size: a lower one would hide the
        // size of a picture the decoder then refuses in its own words.
        MagickLib::SetMagickResourceLimit(MagickLib::PixelsResource, DecoderLimits::maxPixels);
        // The library's pixels and its readers' buffers stay in memory, within what the scan's
        // pixel budget charges the largest acceptable picture, so every picture the size check
        // accepts fits. A picture that would need more is refused rather than spilled to a file:
        // nothing is written to the temporary directory.
        MagickLib::SetMagickResourceLimit(
            MagickLib::MemoryResource, DecoderLimits::maxLibraryPixels * GraphicsMagickDecoder::PeakBytesPerPixel);
        MagickLib::SetMagickResourceLimit(MagickLib::MapResource, 0);
        MagickLib::SetMagickResourceLimit(MagickLib::DiskResource, 0);
        // Callers decode many files side by side; one worker per decode avoids oversubscription.
        MagickLib::SetMagickResourceLimit(MagickLib::ThreadsResource, 1);
    });
}

DecodeResult failure(const QString& why)
{
    DecodeResult result;
    result.error = why;
    return result;
}

// Some writers store 32-bit pixels with an alpha channel they never fill.
bool everyPixelTransparent(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 0)
                return false;
    }
    return true;
}

} // namespace

QSize GraphicsMagickDecoder::ping(const QByteArray& data, const char* coder)
{
    initialiseOnce();
    if (data.isEmpty())
        return {};
    try {
        Magick::Image picture;
        picture.magick(coder);
        picture.fileName(std::string(coder) + ":");
        picture.subImage(0);
        picture.subRange(1);
        picture.ping(Magick::Blob(data.constData(), size_t(data.size())));
        const qint64 width = picture.columns();
        const qint64 height = picture.rows();
        if (width > 0 && height > 0 && width <= INT_MAX && height <= INT_MAX)
            return QSize(int(width), int(height));
    } catch (const std::exception&) {
    }
    return {};
}

DecodeResult GraphicsMagickDecoder::decode(const QByteArray& data, const char* coder)
{
    initialiseOnce();
    if (data.isEmpty())
        return failure(QStringLiteral("The file is empty"));
    if (!CompletenessCheck::libraryPicture(data, data.size(), coder))
        return failure(QStringLiteral("The file is incomplete"));
    // The library's limits would refuse a picture this large only once it had filled them, at a
    // cost of gigabytes and seconds: its declared size refuses it at once.
    if (const QSize declared = ping(data, coder); declared.isValid()
        && !DecoderLimits::sizeAcceptable(declared.width(), declared.height(), DecoderLimits::maxLibraryPixels))
        return failure(DecoderLimits::sizeRefused(declared.width(), declared.height()));
    Magick::Image picture;
    try {
        // The coder is named in the file name too: otherwise the library would follow whatever
        // format the content resembles, including ones that run interpreters or read other files.
        picture.magick(coder);
        picture.fileName(std::string(coder) + ":");
        picture.subImage(0);
        picture.subRange(1);
        picture.read(Magick::Blob(data.constData(), size_t(data.size())));
    } catch (const Magick::Warning& warning) {
        // A damaged file may still yield pixels with a warning; only a whole read is accepted.
        return failure(QString::fromLocal8Bit(warning.what()));
    } catch (const std::exception& error) {
        return failure(QString::fromLocal8Bit(error.what()));
    }
    const qint64 width = picture.columns();
    const qint64 height = picture.rows();
    // Without a matte channel GraphicsMagick's alpha values are undefined, so only colour is taken.
    const bool matte = picture.matte();
    // A picture whose size could not be told beforehand and that fitted the library's memory.
    if (!DecoderLimits::sizeAcceptable(width, height, DecoderLimits::maxLibraryPixels))
        return failure(DecoderLimits::sizeRefused(width, height));
    QString error;
    // Exported straight into 32-bit pixels, so the picture is not held in a second format too.
    QImage image
        = DecoderLimits::makeCanvas(width, height, matte ? QImage::Format_ARGB32 : QImage::Format_RGB32, &error);
    if (image.isNull())
        return failure(error);
    try {
        static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "pixel export assumes little-endian ARGB32");
        for (int y = 0; y < int(height); ++y) {
            // 32-bit pixels are B, G, R, A in memory on a little-endian machine.
            picture.write(0, y, unsigned(width), 1, "BGRA", Magick::CharPixel, image.scanLine(y));
            if (!matte) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < int(width); ++x)
                    row[x] |= 0xFF000000;
            }
        }
    } catch (const std::exception& exportError) {
        return failure(QString::fromLocal8Bit(exportError.what()));
    }
    if (matte && everyPixelTransparent(image)) {
        // An alpha channel left at zero was never used: the picture is opaque.
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] |= 0xFF000000;
        }
    }
    DecodeResult result;
    result.image = image;
    return result;
}
