#include "review/snapshot/PadPlacement.h"

QPoint PadPlacement::actionPad(QRect snapshot, QPoint thumbnail)
{
    const int margin = ActionPadMargin;
    // Strict tests on doubled sides: Width / 2 > Left without rounding the half.
    const int left = snapshot.width() > 2 * thumbnail.x() ? snapshot.x() + thumbnail.x() + 80 + margin
                                                          : snapshot.x() + thumbnail.x() - 2120 - margin;
    const int top = snapshot.height() > 2 * thumbnail.y() ? snapshot.y() + thumbnail.y() + 360 + margin
                                                          : snapshot.y() + thumbnail.y() - 40 - margin;
    return { left, top };
}

QPoint PadPlacement::hoverStrip(QRect snapshot, QRect screen, int whichImage, int stripWidth)
{
    const int height = HoverStripHeight;
    const int left = snapshot.x() + (snapshot.width() - stripWidth) / 2;
    const int below = snapshot.y() + snapshot.height() + 100;
    if (screen.width() > SmallScreenWidth && below + height <= screen.y() + screen.height())
        return { left, below };
    if (whichImage < 12)
        return { left, snapshot.y() + snapshot.height() - height - 450 };
    return { left, snapshot.y() - height + 1450 };
}
