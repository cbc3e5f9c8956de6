#include "dialogs/ViewerLayout.h"

#include "platform/Conventions.h"

namespace {

constexpr int BottomReserve = 1800; // labels and buttons under the frames
constexpr int ButtonRise = 740; // buttons' top above the window's bottom edge
constexpr int FileLabelGap = 120;
constexpr int SizeLabelGap = 400;
constexpr int Head = 3;
const QString Dots = QStringLiteral("...");

int rounded(double value)
{
    return int(conv::roundHalfEven(value));
}

} // namespace

QSize ViewerLayout::guardedSize(const QSize& window, const QSize& screen)
{
    return QSize(qMax(window.width(), screen.width() / 3), qMax(window.height(), screen.height() / 3));
}

ScrollRange ViewerLayout::scrollRange(int controlExtent, int frameExtent, bool hasImage)
{
    if (!hasImage || controlExtent <= frameExtent)
        return {};
    // At least 1: a scroll bar step of nothing would not move.
    return ScrollRange { controlExtent - frameExtent, qMax(1, rounded(controlExtent / 50.0)),
        qMax(1, rounded(controlExtent / 10.0)) };
}

std::optional<int> ViewerLayout::dragValue(int value1, int max1, int max2)
{
    if (max1 == 0)
        return std::nullopt;
    const int value2 = rounded(double(value1) / max1 * max2);
    if (value2 < 0 || value2 > max2)
        return std::nullopt;
    return value2;
}

QString ViewerLayout::shortenPath(const QString& path, int width, const std::function<int(const QString&)>& textWidth)
{
    if (textWidth(path) <= width)
        return path;
    // Pass one drops characters 4 to 7; every later pass the one after the dots. So the caption
    // is the head, the dots and a tail of the path, and the longest tail that fits is wanted.
    const QString head = path.left(Head) + Dots;
    auto shortened = [&](qsizetype tail) { return head + path.right(tail); };
    qsizetype low = 0; // the tail that is kept when nothing fits
    qsizetype high = qMax<qsizetype>(0, path.size() - 7);
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (textWidth(shortened(middle)) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    return shortened(low);
}

ViewerLayoutResult ViewerLayout::layout(const QSize& window, const std::array<ViewerSideState, 2>& sides,
    const std::function<int(const QString&)>& textWidth)
{
    const int w = window.width();
    const int h = window.height();
    ViewerLayoutResult result;
    for (int k = 0; k < 2; ++k) {
        const ViewerSideState& in = sides[k];
        ViewerSideLayout& out = result.sides[k];
        // Both frames are as wide as side 1's, scroll bar included.
        out.frame = QRect(k == 0 ? Margin : w / 2, Margin, w / 2 - BarThickness - 2 * Margin, h - BottomReserve);
        out.verticalBar
            = QRect(out.frame.left() + out.frame.width(), out.frame.top(), BarThickness, out.frame.height());
        out.horizontalBar
            = QRect(out.frame.left(), out.frame.top() + out.frame.height(), out.frame.width(), BarThickness);
        out.corner = QRect(out.verticalBar.left(), out.horizontalBar.top(), BarThickness, BarThickness);
        const int below = out.frame.top() + out.frame.height() + BarThickness;
        out.fileLabel = QPoint(out.frame.left(), below + FileLabelGap);
        out.fileText = shortenPath(in.viewFile, out.frame.width(), textWidth);
        out.sizeLabel = QPoint(out.frame.left(), below + SizeLabelGap);
        out.sizeText = in.viewSize;
        out.deleteButton = QPoint(out.frame.left(), h - ButtonRise);
        out.viewButton = QPoint(out.frame.left() + ButtonWidth, h - ButtonRise);
        out.buttonsVisible = !in.viewFile.trimmed().isEmpty();
        out.holder = in.control;
        out.holderVisible = in.hasImage;
        if (in.hasImage)
            out.sizeText += QStringLiteral(",  %1 x %2").arg(in.pixels.width()).arg(in.pixels.height());
        out.vertical = scrollRange(in.control.height(), out.frame.height(), in.hasImage);
        out.horizontal = scrollRange(in.control.width(), out.frame.width(), in.hasImage);
    }
    const QRect& bar2 = result.sides[1].verticalBar;
    result.returnButton = QPoint(bar2.left() + bar2.width() - ButtonWidth, h - ButtonRise);
    return result;
}
