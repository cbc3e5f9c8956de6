#include "review/snapshot/ThumbnailGrid.h"

#include "review/snapshot/PadPlacement.h"
#include "review/snapshot/ThumbnailSlots.h"

ThumbnailGrid layoutThumbnails(int width, int height)
{
    ThumbnailGrid grid;
    grid.hiddenButtonTop = height + 500;
    grid.tipPicture = QPoint(width - 2175, height - 1590);
    grid.tipLabel = grid.tipPicture - QPoint(1500, 300);
    grid.tipLine = QLine(grid.tipPicture, grid.tipPicture + QPoint(720, 240));
    grid.bottomButtonTop = height - 890;

    grid.largeGrid = width >= ThumbnailGrid::LargeGridWidth;
    const int columns = grid.largeGrid ? 7 : 6;
    const int step = grid.largeGrid ? 1675 : 1560;
    const int margin = grid.largeGrid ? 235 : 120;
    grid.lastSlot = grid.largeGrid ? LargeGridLastSlot : SmallGridLastSlot;
    for (int slot = 0; slot < ThumbnailSlotCount; ++slot) {
        if (slot <= grid.lastSlot) {
            grid.image[std::size_t(slot)] = QPoint(slot % columns * step + margin, slot / columns * step + margin);
        } else {
            // Out of sight below the window, where the large grid has them across.
            grid.image[std::size_t(slot)] = QPoint(slot % 7 * 1675 + 235, height + 500);
        }
    }
    if (grid.largeGrid) {
        grid.status = QPoint(
            ThumbnailGrid::BottomButtonLeft[3] + ThumbnailGrid::BottomButtonWidth + 100, grid.bottomButtonTop + 40);
    } else {
        grid.status = QPoint(120, 5400);
    }
    // Captions over the thumbnail's top in the small grid, above it in the large one.
    const int captionOffset = grid.largeGrid ? -200 : 200;
    for (std::size_t slot = 0; slot < grid.image.size(); ++slot) {
        grid.caption[slot] = grid.image[slot] + QPoint(0, captionOffset);
        grid.icon[slot] = grid.image[slot] + QPoint(200, 200);
    }
    return grid;
}

QRect openingWindowRect(int screenWidth, int screenHeight)
{
    const int left = (screenWidth - ThumbnailGrid::OpeningWidth) / 2;
    const int freeHeight = screenHeight - ThumbnailGrid::OpeningHeight;
    const int top = screenWidth > PadPlacement::SmallScreenWidth ? freeHeight / 4 : freeHeight / 2;
    return { left, top, ThumbnailGrid::OpeningWidth, ThumbnailGrid::OpeningHeight };
}
