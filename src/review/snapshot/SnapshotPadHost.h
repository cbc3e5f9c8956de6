#pragma once

#include <QRect>

// What the two pads of the snapshot review, the action pad and the hover strip, ask of the window
// they float beside. They hold no action of their own: their buttons and keys press the window's
// commands, which act on the current slot; what one pad does to the other goes through here too.
// Places are in pixels: the window's on the screen, a thumbnail's in the window's client area.
class SnapshotPadHost
{
public:
    // The window's buttons the pads press.
    enum class Command { View, Tag, Delete, All, Rename, Move, Prev, Next, Skip, Count };

    virtual ~SnapshotPadHost() = default;

    // The command's handler runs to its end, unless its button is disabled.
    virtual void press(Command command) = 0;
    // While an action of the review runs, the pads press nothing.
    virtual bool busy() const = 0;
    // The slot the commands act on: the thumbnail last hovered or clicked (99 after Delete all).
    virtual int currentSlot() const = 0;
    // Where a slot's thumbnail stands; an empty rectangle for a slot without one.
    virtual QRect slotRect(int slot) const = 0;
    // The window's outer rectangle, title bar and border included, and the free area of the
    // screen it is on (empty when it is on none).
    virtual QRect frame() const = 0;
    virtual QRect screenArea() const = 0;
    // Both pads out of sight, the hover strip first.
    virtual void hidePads() = 0;
    // The review ends: the window closes (while a search runs, the search stops first).
    virtual void closeReview() = 0;
};
