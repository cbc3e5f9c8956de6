#pragma once

#include "review/FileFacts.h"

#include <QLine>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>

struct ImageFacts;
struct Session;

// What a hover over a thumbnail shows, in the window's fact labels and in the hover strip.
struct HoverFacts
{
    QString name; // lblNAME: the directory, two blanks, the name and extension
    QString size; // lblSIZE: " 12345 bytes"
    QString date; // lblDATE
    QString counters; // lblDELSTATUS
    QString dimensions; // lblDIM: "640 x 480"
    LocationColour colour = LocationColour::Default; // of the name and the selection box

    bool operator==(const HoverFacts&) const = default;
};

// The facts of a slot; drawn is the pixel size of the picture its thumbnail shows (none: 0 x 0).
HoverFacts hoverFactsOf(const ImageFacts& slot, const Session& session, const QString& ifcd, QSize drawn);

// The four lines of the selection box round a thumbnail (twips, client coordinates): top,
// bottom, left and right edge. They leave the corners a little open, as the box always did.
std::array<QLine, 4> selectionBox(QRect thumbnail);
