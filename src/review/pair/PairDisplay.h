#pragma once

#include "review/pair/PairReviewView.h"

#include <QSize>
#include <QString>

struct ImageFacts;

// The rules of the pair display, apart from the drawing.

// Blue when the upper-cased PATH holds "TEMP" or "TMP"; red, over blue, when the incoming-files
// directory is set and the image's location begins with exactly its text (whatever the tree mode).
LocationColour locationColour(const ImageFacts& slot, const QString& ifcd);
FactsText factsText(const ImageFacts& slot, const QString& ifcd);
// A cursor or icon is drawn in the small picture box, without dimensions.
bool isCursorOrIcon(const ImageFacts& slot);
// "640 x 480"; empty for a cursor or icon (an invalid size).
QString dimensionText(QSize size);
// Every fact compared as shown, exactly; the dimensions only when both are shown.
AgreementMarks agreementMarks(
    const FactsText& first, const FactsText& second, const QString& firstDimensions, const QString& secondDimensions);
