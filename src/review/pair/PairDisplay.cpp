#include "review/pair/PairDisplay.h"

#include "match/ImageFacts.h"

FactsText factsText(const ImageFacts& slot, const QString& ifcd)
{
    FactsText facts;
    facts.file = slot.REFNAME;
    facts.path = slot.PATH;
    facts.type = slot.EXTENSION;
    facts.size = slot.SIZE.trimmed();
    facts.date = slot.DATE;
    facts.colour = locationColour(slot, ifcd);
    return facts;
}

bool isCursorOrIcon(const ImageFacts& slot)
{
    const QString extension = slot.EXTENSION.toUpper();
    return extension == QLatin1String(".CUR") || extension == QLatin1String(".ICO");
}

QString dimensionText(QSize size)
{
    if (!size.isValid())
        return {};
    return QString::number(size.width()) + QStringLiteral(" x ") + QString::number(size.height());
}

AgreementMarks agreementMarks(
    const FactsText& first, const FactsText& second, const QString& firstDimensions, const QString& secondDimensions)
{
    AgreementMarks marks;
    marks.name = first.file == second.file;
    marks.location = first.path == second.path;
    marks.type = first.type == second.type;
    marks.size = first.size == second.size;
    marks.date = first.date == second.date;
    marks.dimensions = !firstDimensions.isEmpty() && firstDimensions == secondDimensions;
    return marks;
}
