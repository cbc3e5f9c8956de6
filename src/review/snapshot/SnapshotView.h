#pragma once

#include "review/snapshot/HoverFacts.h"

#include <QImage>
#include <QSize>
#include <QString>

// What the snapshot review shows through its window. Slots are 0 to 27: the image control
// (gvbIMAGE), the icon box for cursor and icon files (picIMAGE) and the caption (lblREFNAME).
class SnapshotView
{
public:
    virtual ~SnapshotView() = default;

    // The nine review buttons (Delete, Next, Prev, Rename, Skip, Tag, View, Move, Exit).
    virtual void setReviewControlsEnabled(bool enabled) = 0;

    // Emptied before a search: no caption, no picture, image control and icon box hidden.
    virtual void clearThumbnail(int slot) = 0;
    // The first pass of showing a group: the picture dropped, the image control shown when
    // the slot has a file, else hidden.
    virtual void prepareThumbnail(int slot, bool shown) = 0;
    virtual void setCaption(int slot, const QString& caption) = 0;
    // The picture of the image control, fitted to the thumbnail (naturalSize is the picture's
    // own); a null picture shows nothing.
    virtual void showPicture(int slot, const QImage& picture, QSize naturalSize) = 0;
    // The icon box shown in front of the image control with a cursor or icon file's picture,
    // or with none when it could not be loaded.
    virtual void showIcon(int slot, const QImage& picture) = 0;
    // After a file action emptied the slot: caption, picture and icon box gone.
    virtual void blankThumbnail(int slot) = 0;
    // A delete took a slot's file: neither pad is shown again for what it showed (both hidden,
    // and one that stepped aside for the question stays away), the box and the facts go, and the
    // counters after the delete are shown, in the hover strip too.
    virtual void fileDeleted(const QString& counters) = 0;

    // The Stop button and the status line, shown while a pattern search runs.
    virtual void showSearchStatus(bool shown) = 0;
    virtual void setStatusText(const QString& text) = 0;

    // The pixel size of the picture a thumbnail shows, as the image control reports it (none
    // shown: an invalid size).
    virtual QSize drawnSize(int slot) const = 0;
    // The pointer on a thumbnail: the selection box round it, the facts in the window's labels
    // and in the hover strip, which comes up.
    virtual void showHover(int slot, const HoverFacts& facts) = 0;
    // The pointer on the background: both pads and the box hidden, the facts emptied, the
    // counters shown.
    virtual void clearHover(const QString& counters) = 0;
    // A click on a thumbnail: the action pad comes up beside it, the name in its rename box.
    virtual void showActionPad(int slot, const QString& newName) = 0;
    virtual void hideActionPad() = 0;

    // The review is over: the window closes (and unloads).
    virtual void closeWindow() = 0;
};
