#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <functional>
#include <optional>

// The two-image viewer's layout and scroll sums, without widgets. Everything is in twips (15 to
// a pixel), as whole numbers; W and H are the window's outer width and height.

// What the layout reads of one side.
struct ViewerSideState
{
    bool hasImage = false; // the side's image control holds a file
    QSize control; // the image control's size as drawn
    QSize pixels; // the image's own size in pixels, for the size label
    QString viewFile; // ViewFile1 / ViewFile2
    QString viewSize; // ViewSize1 / ViewSize2
};

// A scroll bar's Max, SmallChange and LargeChange.
struct ScrollRange
{
    int max = 0;
    int smallChange = 1;
    int largeChange = 1;
    bool operator==(const ScrollRange&) const = default;
};

// Where one side's controls go and what they say.
struct ViewerSideLayout
{
    QRect frame; // Picturebox1 / Picturebox2
    QRect verticalBar; // VScroll
    QRect horizontalBar; // HScroll
    QRect corner; // cmdCORNER
    QPoint fileLabel; // lblFILE
    QString fileText; // shortened to the frame's width
    QPoint sizeLabel; // lblSIZE
    QString sizeText; // the caller's size text, then the pixel size when the side shows an image
    QPoint deleteButton; // cmdDELETE
    QPoint viewButton; // cmdVIEW
    bool buttonsVisible = false;
    bool holderVisible = false; // Picture1 / Picture2, at (0, 0) of the frame
    QSize holder;
    ScrollRange vertical;
    ScrollRange horizontal;
};

struct ViewerLayoutResult
{
    std::array<ViewerSideLayout, 2> sides;
    QPoint returnButton; // cmdRETURN
};

class ViewerLayout
{
public:
    static constexpr int Margin = 120;
    static constexpr int BarThickness = 255;
    static constexpr int ButtonWidth = 1215;
    static constexpr int ButtonHeight = 255;

    // The size guard: neither way less than a third of the screen's.
    static QSize guardedSize(const QSize& window, const QSize& screen);
    // The whole layout. textWidth measures a label's text in twips.
    static ViewerLayoutResult layout(const QSize& window, const std::array<ViewerSideState, 2>& sides,
        const std::function<int(const QString&)>& textWidth);
    // One direction of a side: the excess of the image over its frame, a fiftieth and a tenth of
    // the image's extent; 0, 1, 1 when the image fits (or there is none).
    static ScrollRange scrollRange(int controlExtent, int frameExtent, bool hasImage);
    // Side 1's scroll bar drags side 2's to the same relative place; nothing when side 1 has no
    // range or the result would lie outside side 2's.
    static std::optional<int> dragValue(int value1, int max1, int max2);
    // The path kept within the width: its first three characters, "..." and as much of its end
    // as fits, down to the six characters of a path that can get no shorter.
    static QString shortenPath(const QString& path, int width, const std::function<int(const QString&)>& textWidth);
};
