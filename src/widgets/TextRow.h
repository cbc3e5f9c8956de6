#pragma once

#include <initializer_list>
#include <limits>

class QWidget;

// A row of facts at their design places, in pixels, left to right.
struct RowPlace
{
    QWidget* widget;
    int left;
    int width;
    bool growsWithText = true; // a label whose text may be wider than its place
};

// Keeps every text of the row whole: a label whose text is wider than its place grows and pushes
// what follows to the right, keeping the design's gaps; a label keeps its design right edge while
// its text fits. Nothing passes end.
void keepRowWhole(std::initializer_list<RowPlace> row, int end = std::numeric_limits<int>::max());
