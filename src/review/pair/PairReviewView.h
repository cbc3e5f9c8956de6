#pragma once

#include "review/FileFacts.h"

#include <QSize>
#include <QString>

// The facts of one image as the pair display shows them.
struct FactsText
{
    QString file; // lblFILEn: the name without its extension, in its own case
    QString path; // lblPATHn
    QString type; // lblTYPEn
    QString size; // lblSIZEn
    QString date; // lblDATEn
    LocationColour colour = LocationColour::Default;
};

// Which facts the two images share: the check marks beside both halves.
struct AgreementMarks
{
    bool name = false;
    bool location = false;
    bool type = false;
    bool size = false;
    bool date = false;
    bool dimensions = false;
};

// What the pair review shows; the window renders it, headless runs leave it out. Images are
// numbered 1 (the reference, upper half) and 2 (the candidate, lower half).
class PairReviewView
{
public:
    virtual ~PairReviewView() = default;
    // The review controls (buttons, thumbnails, the keyboard shortcuts) off, or on; when on,
    // each image's Delete, Move and Rename only where its file actions are offered.
    virtual void setReviewControls(bool enabled, bool image1Actions, bool image2Actions) = 0;
    virtual void setStatus(const QString& text) = 0;
    virtual void setStopVisible(bool visible) = 0;
    // One half blanked: its facts, its new-name box, its picture and its icon box.
    virtual void clearImage(int image) = 0;
    virtual void hideMarks() = 0;
    virtual void showFacts(int image, const FactsText& facts) = 0;
    // Draws an image's picture: a cursor or icon in its small box, any other file in the
    // thumbnail. A file that cannot be drawn shows the error picture in the thumbnail instead.
    // Returns the pixel size of the picture drawn in the thumbnail (its own size, not the
    // thumbnail's), or an invalid size when a cursor or icon was drawn in its box.
    virtual QSize showPicture(int image, const QString& file, bool cursorOrIcon, const QString& errorPicture) = 0;
    // The dimensions of both images, their titles shown from now on.
    virtual void showDimensions(const QString& image1, const QString& image2) = 0;
    virtual void showMarks(const AgreementMarks& marks) = 0;
};
