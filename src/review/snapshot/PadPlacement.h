#pragma once

#include <QPoint>
#include <QRect>

// Where the two floating windows of the snapshot review stand. Everything in twips: the snapshot
// window's rectangle is its outer one on the screen (frame included), a thumbnail's place is in
// the window's client coordinates, the screen is the one the window is on.
struct PadPlacement
{
    // The action pad: buttons only, and with the rename box open below them.
    static constexpr int ActionPadWidth = 3495;
    static constexpr int ActionPadHeight = 1800;
    static constexpr int ActionPadRenameHeight = 2250;
    static constexpr int ActionPadMargin = 200;
    // The hover strip.
    static constexpr int HoverStripWidth = 8775;
    static constexpr int HoverStripHeight = 750;
    // A screen up to this wide has no room below the snapshot window for the strip.
    static constexpr int SmallScreenWidth = 9600;

    // The pad opens toward the middle of the window from the clicked thumbnail: to its right
    // for one in the left half, to its left otherwise; below it for one in the upper half, above
    // otherwise. A thumbnail exactly on a half line counts as lying in the right (lower) half.
    static QPoint actionPad(QRect snapshot, QPoint thumbnail);

    // The strip is centred across the window. On a screen wider than 9600 twips it lies 100
    // below the window; on a smaller one it lies over the window, over its bottom for slots 0 to
    // 11 and over its top for the others, away from the hovered thumbnail. Below the window but
    // off the bottom of the screen it takes the place over the window instead.
    static QPoint hoverStrip(QRect snapshot, QRect screen, int whichImage, int stripWidth = HoverStripWidth);
};
