#pragma once

#include <QLine>
#include <QPoint>
#include <QRect>

#include <array>

// Where the snapshot window's moving controls stand for its outer size, and how many thumbnails
// a group may hold: a 6 x 4 grid below 12000 twips of width, 7 x 4 from it. Everything in twips,
// positions in the window's client coordinates.
struct ThumbnailGrid
{
    static constexpr int LargeGridWidth = 12000;
    // The window's outer size when it opens.
    static constexpr int OpeningWidth = 9615;
    static constexpr int OpeningHeight = 6750;
    static constexpr int ImageSize = 1440; // gvbIMAGE
    static constexpr int IconSize = 480; // picIMAGE
    static constexpr int CaptionWidth = 1335; // lblREFNAME
    static constexpr int CaptionHeight = 255;
    // The bottom buttons' design places (cmdNEXT, cmdPREV, cmdEXIT, cmdSTOP).
    static constexpr int BottomButtonWidth = 1420;
    static constexpr int BottomButtonHeight = 375;
    static constexpr std::array<int, 4> BottomButtonLeft { 120, 1680, 3240, 4800 };

    int lastSlot = 23;
    bool largeGrid = false;
    std::array<QPoint, 28> image {}; // gvbIMAGE(n)
    std::array<QPoint, 28> caption {}; // lblREFNAME(n)
    std::array<QPoint, 28> icon {}; // picIMAGE(n)
    int bottomButtonTop = 0; // cmdNEXT, cmdPREV, cmdEXIT, cmdSTOP
    int hiddenButtonTop = 0; // the buttons the pads and keys press, below the bottom edge
    QPoint tipPicture; // imgTIP
    QPoint tipLabel; // lblTIP
    QLine tipLine; // lineTIP
    QPoint status; // lblSTATUS
};

// The grid for a window of the given outer width and height (twips).
ThumbnailGrid layoutThumbnails(int width, int height);

// The snapshot window's outer rectangle when it opens on a screen of the given size (twips):
// centred across; a quarter of the free height from the top on a screen wider than 9600 twips,
// centred down a smaller one.
QRect openingWindowRect(int screenWidth, int screenHeight);
