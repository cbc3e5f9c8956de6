#pragma once

#include "review/pair/PairReviewView.h"

#include <QSize>
#include <QString>

struct ImageFacts;

// The rules of the pair display, apart from the drawing.

FactsText factsText(const ImageFacts& slot, const QString& ifcd);
// A cursor or icon is drawn in the small picture box, without dimensions.
bool isCursorOrIcon(const ImageFacts& slot);
// "640 x 480"; empty for a cursor or icon (an invalid size).
QString dimensionText(QSize size);
// Every fact compared as shown, exactly; the dimensions only when both are shown.
AgreementMarks agreementMarks(
    const FactsText& first, const FactsText& second, const QString& firstDimensions, const QString& secondDimensions);
