#pragma once

#include <QString>

#include <functional>

// One side of a view as the review hands it over: the file (PATH & NAME & EXTENSION, "" for no
// second side) and its size text (the record's SIZE, trimmed, and " bytes").
struct ViewSide
{
    QString file;
    QString sizeText;
};

// What a view hands back: whether the viewer was shown, and DelPic, the file the user asked to
// delete there (exactly as handed over), "" for none. The review runs its own delete.
struct ViewResult
{
    bool shown = false;
    QString DelPic;
};

// The two-image viewer as a review engine reaches it: a side that cannot be drawn goes to the
// external viewer launcher first; beforeLoad(side) runs before side 1 or 2 is loaded (the
// removable-media prompt for its file). Tests script it.
class ImageViewer
{
public:
    virtual ~ImageViewer() = default;
    virtual ViewResult view(const ViewSide& side1, const ViewSide& side2, const std::function<void(int)>& beforeLoad)
        = 0;
};
