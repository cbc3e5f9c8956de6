#include "imagestats/ImageDecoder.h"

#include "imagestats/decoders/DecoderLimits.h"
#include "imagestats/decoders/GemImgDecoder.h"
#include "imagestats/decoders/GraphicsMagickDecoder.h"
#include "imagestats/decoders/IffIlbmDecoder.h"
#include "imagestats/decoders/MspDecoder.h"
#include "imagestats/decoders/PcPaintPicDecoder.h"
#include "imagestats/decoders/QtImageDecoder.h"
#include "platform/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <cstring>
#include <optional>

namespace {

// Larger files are refused unread: no picture of an acceptable size needs more.
constexpr qint64 maxFileBytes = qint64(1) << 30;
// What a picture whose decoded format is not known may cost a pixel: a 64-bit picture and a
// 32-bit copy.
constexpr int UnknownPeakBytes = 12;

enum class Reader { Qt, Magick, Msp, PcPaint, Gem, Iff, Unknown };

struct Choice
{
    Reader reader = Reader::Unknown;
    const char* format = ""; // Qt format or GraphicsMagick coder
};

bool startsWith(const QByteArray& data, const char* magic, qsizetype length)
{
    return data.size() >= length && std::memcmp(data.constData(), magic, size_t(length)) == 0;
}

bool looksLikeBmp(const QByteArray& data)
{
    if (!startsWith(data, "BM", 2) || data.size() < 18)
        return false;
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const uint32_t infoSize = p[14] | (p[15] << 8) | (p[16] << 16) | (uint32_t(p[17]) << 24);
    return infoSize == 12 || infoSize == 16 || infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 64
        || infoSize == 108 || infoSize == 124;
}

// Icon (type 1) or cursor (type 2) directory with at least one entry.
int iconType(const QByteArray& data)
{
    if (data.size() < 22)
        return 0;
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const int count = p[4] | (p[5] << 8);
    const uint32_t firstOffset = p[18] | (p[19] << 8) | (p[20] << 16) | (uint32_t(p[21]) << 24);
    // The first image follows the directory in every writer's files.
    if (p[0] != 0 || p[1] != 0 || p[3] != 0 || (p[2] != 1 && p[2] != 2) || count == 0 || p[9] != 0
        || firstOffset != uint32_t(6 + 16 * count))
        return 0;
    return p[2];
}

// The picture's real type, from magic numbers that cannot be mistaken; Unknown when there is none.
Choice sniff(const QByteArray& data)
{
    if (startsWith(data, "\xFF\xD8\xFF", 3))
        return { Reader::Qt, "jpeg" };
    if (startsWith(data, "\x89PNG\r\n\x1A\n", 8))
        return { Reader::Qt, "png" };
    if (startsWith(data, "GIF87a", 6) || startsWith(data, "GIF89a", 6))
        return { Reader::Qt, "gif" };
    if (startsWith(data, "II*\0", 4) || startsWith(data, "MM\0*", 4))
        return { Reader::Qt, "tiff" };
    if (looksLikeBmp(data))
        return { Reader::Qt, "bmp" };
    if (const int type = iconType(data))
        return { Reader::Qt, type == 1 ? "ico" : "cur" };
    if (startsWith(data, "\x52\xCC", 2))
        return { Reader::Magick, "RLE" };
    if (startsWith(data, "\x59\xA6\x6A\x95", 4))
        return { Reader::Magick, "SUN" };
    if (startsWith(data, "\xD7\xCD\xC6\x9A", 4))
        return { Reader::Magick, "WMF" };
    if (startsWith(data, "\xFFWPC", 4))
        return { Reader::Magick, "WPG" };
    if (MspDecoder::looksLike(data))
        return { Reader::Msp, "" };
    if (IffIlbmDecoder::looksLike(data))
        return { Reader::Iff, "" };
    if (PcPaintPicDecoder::looksLike(data))
        return { Reader::PcPaint, "" };
    return {};
}

// The reader the file's extension names, for files without a telling magic number.
Choice byExtension(const QString& suffix)
{
    const QString ext = suffix.toUpper();
    if (ext == "JPG" || ext == "JPEG")
        return { Reader::Qt, "jpeg" };
    if (ext == "PNG")
        return { Reader::Qt, "png" };
    if (ext == "GIF")
        return { Reader::Qt, "gif" };
    if (ext == "BMP" || ext == "DIB" || ext == "RLE")
        return { Reader::Qt, "bmp" };
    if (ext == "ICO")
        return { Reader::Qt, "ico" };
    if (ext == "CUR")
        return { Reader::Qt, "cur" };
    if (ext == "TIF" || ext == "TIFF")
        return { Reader::Qt, "tiff" };
    if (ext == "ART")
        return { Reader::Magick, "ART" };
    if (ext == "CUT")
        return { Reader::Magick, "CUT" };
    if (ext == "HRZ")
        return { Reader::Magick, "HRZ" };
    if (ext == "MAC")
        return { Reader::Magick, "MAC" };
    if (ext == "PCX")
        return { Reader::Magick, "PCX" };
    if (ext == "RAS")
        return { Reader::Magick, "SUN" };
    if (ext == "TGA")
        return { Reader::Magick, "TGA" };
    if (ext == "WMF")
        return { Reader::Magick, "WMF" };
    if (ext == "WPG")
        return { Reader::Magick, "WPG" };
    if (ext == "MSP")
        return { Reader::Msp, "" };
    if (ext == "PIC")
        return { Reader::PcPaint, "" };
    if (ext == "IMG" || ext == "GEM")
        return { Reader::Gem, "" };
    if (ext == "IFF" || ext == "LBM")
        return { Reader::Iff, "" };
    return {};
}

// A device-independent bitmap saved without its file header (as the clipboard holds it) gets
// one, so the BMP reader can place the pixels.
QByteArray withFileHeader(const QByteArray& dib)
{
    if (dib.size() < 16)
        return dib;
    const auto* p = reinterpret_cast<const uchar*>(dib.constData());
    const uint32_t infoSize = p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
    if (infoSize != 12 && infoSize != 40 && infoSize != 108 && infoSize != 124)
        return dib;
    const int bitCount = infoSize == 12 ? (p[10] | (p[11] << 8)) : (p[14] | (p[15] << 8));
    uint32_t colours = 0;
    uint32_t masks = 0;
    if (infoSize >= 40 && dib.size() >= 36) {
        colours = p[32] | (p[33] << 8) | (p[34] << 16) | (uint32_t(p[35]) << 24);
        const uint32_t compression = p[16] | (p[17] << 8) | (p[18] << 16) | (uint32_t(p[19]) << 24);
        if (infoSize == 40 && compression == 3)
            masks = 12;
    }
    if (colours == 0 && bitCount >= 1 && bitCount <= 8)
        colours = 1u << bitCount;
    if (colours > 256)
        return dib;
    const uint32_t offset = 14 + infoSize + masks + colours * (infoSize == 12 ? 3 : 4);
    const uint32_t total = uint32_t(std::min<qsizetype>(dib.size() + 14, 0x7FFFFFFF));
    QByteArray header("BM", 2);
    for (const uint32_t v : { total, 0u, offset })
        for (int i = 0; i < 4; ++i)
            header.append(char(uint8_t(v >> (8 * i))));
    return header + dib;
}

// Slow-scan pictures have no header: the file is exactly 256 x 240 RGB triples.
constexpr qsizetype hrzFileSize = 256 * 240 * 3;

DecodeResult decodeWith(const Choice& choice, const QByteArray& data, QSize bound)
{
    switch (choice.reader) {
    case Reader::Qt:
        return QtImageDecoder::decode(data, choice.format, bound);
    case Reader::Magick:
        if (std::strcmp(choice.format, "HRZ") == 0 && data.size() != hrzFileSize) {
            DecodeResult wrongSize;
            wrongSize.error = QStringLiteral("Not a slow-scan picture");
            return wrongSize;
        }
        return GraphicsMagickDecoder::decode(data, choice.format);
    case Reader::Msp:
        return MspDecoder::decode(data);
    case Reader::PcPaint:
        return PcPaintPicDecoder::decode(data);
    case Reader::Gem:
        return GemImgDecoder::decode(data);
    case Reader::Iff:
        return IffIlbmDecoder::decode(data);
    case Reader::Unknown:
        break;
    }
    return QtImageDecoder::decode(data, QByteArray());
}

// Every decoder's output ends here: 8 bits a channel, opaque, transparency laid on white. The
// picture is converted where it lies whenever its format allows, so that a large one is not held
// two or three times over.
QImage flattened(QImage image)
{
    // The same pixels with an opaque alpha: the 64-bit formats convert to 32 bits in place.
    if (image.format() == QImage::Format_RGBX64)
        image.reinterpretAsFormat(QImage::Format_RGBA64);
    if (!image.hasAlphaChannel()) {
        image.convertTo(QImage::Format_RGB32);
        return image;
    }
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int cover = 255 - qAlpha(row[x]);
            row[x] = qRgb(qRed(row[x]) + cover, qGreen(row[x]) + cover, qBlue(row[x]) + cover);
        }
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

// Bytes a pixel of the decoded format costs until it is 32-bit and opaque: formats of 32 bits
// and more are converted in place, narrower ones into a new 32-bit picture beside them.
int peakBytesPerPixel(QImage::Format format)
{
    if (format == QImage::Format_Invalid)
        return UnknownPeakBytes;
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    return depth >= 32 ? depth / 8 : (depth + 7) / 8 + 4;
}

// The head of a file read for probing: enough for every header the decoders read first.
constexpr qint64 probeHeadBytes = 64 * 1024;

quint16 le16(const QByteArray& data, qsizetype at)
{
    return data.size() < at + 2 ? 0 : quint16(uchar(data[at]) | (uchar(data[at + 1]) << 8));
}

quint16 be16(const QByteArray& data, qsizetype at)
{
    return data.size() < at + 2 ? 0 : quint16((uchar(data[at]) << 8) | uchar(data[at + 1]));
}

// The sizes our own decoders read from fixed places in their headers.
QSize ownDeclaredSize(Reader reader, const QByteArray& head)
{
    switch (reader) {
    case Reader::Msp:
        return QSize(le16(head, 4), le16(head, 6));
    case Reader::PcPaint:
        return QSize(le16(head, 2), le16(head, 4));
    case Reader::Gem:
        return QSize(be16(head, 12), be16(head, 14));
    case Reader::Iff: {
        const qsizetype at = head.indexOf("BMHD");
        return at < 0 ? QSize() : QSize(be16(head, at + 8), be16(head, at + 10));
    }
    default:
        return {};
    }
}

// Qt's readers read the same header to decode as to tell the size: a picture whose size they
// cannot tell fails before any pixel is allocated, and counts as none.
QSize qtDeclaredSize(QFile& file, const QByteArray& format, int* peakBytes)
{
    file.seek(0);
    QImageReader reader(&file, format);
    reader.setDecideFormatFromContent(format.isEmpty());
    QSize largest(0, 0);
    const bool icons = format == "ico" || format == "cur";
    const int count = icons ? std::min(reader.imageCount(), 64) : 1;
    for (int i = 0; i < count; ++i) {
        if (icons && !reader.jumpToImage(i))
            break;
        const QSize size = reader.size();
        if (!size.isValid())
            continue;
        if (qint64(size.width()) * size.height() > qint64(largest.width()) * largest.height())
            largest = size;
        *peakBytes = std::max(*peakBytes, peakBytesPerPixel(reader.imageFormat()));
    }
    return largest;
}

} // namespace

ImageProbe probeImageFile(const QString& path)
{
    ImageProbe probe;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return probe;
    probe.readable = true;
    probe.fileBytes = file.size();
    const QByteArray head = file.read(probeHeadBytes);
    Choice choice = sniff(head);
    if (choice.reader == Reader::Unknown)
        choice = byExtension(QFileInfo(path).suffix());
    switch (choice.reader) {
    case Reader::Qt:
        probe.peakBytesPerPixel = 0;
        probe.declared = qtDeclaredSize(file, choice.format, &probe.peakBytesPerPixel);
        if (std::strcmp(choice.format, "gif") == 0 && probe.declared.isValid()) {
            // Qt tells the first frame's size but draws it on the logical screen, which a file
            // of a few bytes may declare at hundreds of megapixels.
            const QSize screen(le16(head, 6), le16(head, 8));
            if (qint64(screen.width()) * screen.height() > qint64(probe.declared.width()) * probe.declared.height())
                probe.declared = screen;
        }
        break;
    case Reader::Magick:
        probe.declared = std::strcmp(choice.format, "HRZ") == 0 ? QSize(256, 240)
                                                                : GraphicsMagickDecoder::ping(head, choice.format);
        if (probe.declared.isValid()
            && !DecoderLimits::sizeAcceptable(
                probe.declared.width(), probe.declared.height(), DecoderLimits::maxLibraryPixels))
            probe.declared = QSize(0, 0);
        probe.peakBytesPerPixel = GraphicsMagickDecoder::PeakBytesPerPixel;
        // The library reads a copy of the file's bytes.
        probe.fileCopies = 2;
        break;
    case Reader::Unknown:
        break;
    default:
        // A canvas of at most 32 bits a pixel, made 32-bit beside it.
        probe.declared = ownDeclaredSize(choice.reader, head);
        probe.peakBytesPerPixel = 8;
        break;
    }
    if (probe.peakBytesPerPixel <= 0)
        probe.peakBytesPerPixel = UnknownPeakBytes;
    if (!probe.declared.isValid())
        probe.declared = QSize();
    return probe;
}

DecodeResult decodeImageFile(const QString& path)
{
    return decodeImageFile(path, QSize());
}

DecodeResult decodeImageFile(const QString& path, QSize bound)
{
    DecodeResult result;
    // A FIFO or a device standing at a picture's name (error.bmp included) must not hold the
    // program in its open or feed it without end.
    const std::optional<QByteArray> bytes = wholefile::read(path, maxFileBytes, &result.error);
    if (!bytes)
        return result;
    const QByteArray& data = *bytes;
    if (data.isEmpty()) {
        result.error = QStringLiteral("The file is empty");
        return result;
    }

    Choice choice = sniff(data);
    QByteArray framed;
    if (choice.reader == Reader::Unknown) {
        const QString suffix = QFileInfo(path).suffix();
        choice = byExtension(suffix);
        if (suffix.compare(QLatin1String("DIB"), Qt::CaseInsensitive) == 0)
            framed = withFileHeader(data);
    }
    result = decodeWith(choice, framed.isEmpty() ? data : framed, bound);
    if (result.ok()) {
        if (!result.naturalSize.isValid())
            result.naturalSize = result.image.size();
        if (bound.isValid() && (result.image.width() > bound.width() || result.image.height() > bound.height()))
            result.image = result.image.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        result.image = flattened(std::move(result.image));
        result.image.setDevicePixelRatio(1.0);
        if (result.image.isNull())
            result.error = QStringLiteral("Not enough memory");
    }
    return result;
}
