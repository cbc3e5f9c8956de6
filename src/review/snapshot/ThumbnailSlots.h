#pragma once

#include "match/FileConfirmer.h"
#include "match/ImageFacts.h"

#include <array>

// The group a snapshot page shows: slot 0 the reference, slots 1 up to the last slot in use the
// members in the order the search met them, each a copy of its record. Slots beyond the last one
// in use are never filled.
constexpr int ThumbnailSlotCount = 28; // slots 0 to 27, the large grid
constexpr int SmallGridLastSlot = 23; // 6 x 4
constexpr int LargeGridLastSlot = 27; // 7 x 4
// WHICHIMAGE after Delete all: every shown slot, so no single one.
constexpr int AllSlots = 99;

using ThumbnailSlots = std::array<ImageFacts, ThumbnailSlotCount>;

// A slot holds a file exactly when its NAME is not empty.
inline bool holdsFile(const ImageFacts& slot)
{
    return !slot.NAME.isEmpty();
}

inline void clearSlots(ThumbnailSlots& thumbnails)
{
    for (ImageFacts& slot : thumbnails)
        ClearSlot(slot);
}

// Whether the candidate's file is already on the page, in one of the slots 0 to last: one file
// reached by two paths (a linked directory, a hard link) is never shown twice.
inline bool fileOnPage(const ThumbnailSlots& thumbnails, int last, const ImageFacts& candidate)
{
    for (int n = 0; n <= last && n < ThumbnailSlotCount; ++n) {
        if (holdsFile(thumbnails[std::size_t(n)]) && isOneFile(thumbnails[std::size_t(n)], candidate))
            return true;
    }
    return false;
}
