#include "review/FileFacts.h"

#include "match/ImageFacts.h"
#include "platform/Conventions.h"

LocationColour locationColour(const ImageFacts& slot, const QString& ifcd)
{
    LocationColour colour = LocationColour::Default;
    const QString path = slot.PATH.toUpper();
    if (path.contains(QLatin1String("TEMP")) || path.contains(QLatin1String("TMP")))
        colour = LocationColour::Temporary;
    if (!ifcd.isEmpty() && slot.fileLocation().startsWith(ifcd, Qt::CaseSensitive))
        colour = LocationColour::Ifcd;
    return colour;
}

QString deletionCountersText(qint32 numberDeleted, qint32 totalDeleted)
{
    return conv::signedText(numberDeleted) + QStringLiteral(" files deleted, ") + conv::signedText(totalDeleted)
        + QStringLiteral(" total...");
}
