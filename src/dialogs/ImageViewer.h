#pragma once

#include <QString>

#include <functional>

// One side of a view as the review hands it over: the file (its path on disk, "" for no file on
// that side) and its size text (the record's SIZE, trimmed, and " bytes").
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

// The two-image viewer as the reviews ask it. beforeLoad runs before each side with a file is
// loaded (1 or 2): the review's status line and media prompt. A side that cannot be drawn is
// offered to the external viewer launcher; the viewer is shown modal when at least one side
// loaded.
class ImageViewer
{
public:
    virtual ~ImageViewer() = default;
    virtual ViewResult view(
        const ViewSide& side1, const ViewSide& side2, const std::function<void(int)>& beforeLoad = {})
        = 0;
};
