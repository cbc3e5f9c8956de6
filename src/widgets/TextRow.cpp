#include "widgets/TextRow.h"

#include <QLabel>

#include <algorithm>

namespace {

int wantedWidth(const RowPlace& place)
{
    const auto* label = qobject_cast<const QLabel*>(place.widget);
    if (!place.growsWithText || !label)
        return place.width;
    return label->fontMetrics().horizontalAdvance(label->text()) + 2 * label->margin();
}

} // namespace

void keepRowWhole(std::initializer_list<RowPlace> row, int end)
{
    const RowPlace* before = nullptr;
    int right = 0; // where the one before ends now
    for (const RowPlace& place : row) {
        const int designRight = place.left + place.width;
        const int left = before ? std::max(place.left, right + place.left - (before->left + before->width)) : place.left;
        right = std::min(end, std::max(designRight, left + wantedWidth(place)));
        place.widget->setGeometry(left, place.widget->y(), std::max(0, right - left), place.widget->height());
        before = &place;
    }
}
