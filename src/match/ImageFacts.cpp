#include "match/ImageFacts.h"

#include "catalogue/CatalogueRecord.h"
#include "platform/Conventions.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Whole numbers beyond 32 bits are held at the nearest bound.
qint32 whole32(double value)
{
    if (std::isnan(value))
        return 0;
    const double bounded
        = std::clamp(value, double(std::numeric_limits<qint32>::min()), double(std::numeric_limits<qint32>::max()));
    return qint32(conv::roundHalfEven(bounded));
}

} // namespace

ImageFacts factsOf(const CatalogueRecord& record)
{
    ImageFacts facts;
    facts.rowId = record.rowId;
    facts.RECNUM = whole32(record.RECNUM);
    facts.RTAG = record.RTAG;
    facts.DRIVEVOLUME = record.DRIVEVOLUME;
    facts.PATH = record.PATH;
    facts.SIZE = conv::signedText(std::isfinite(record.SIZE) ? conv::roundHalfEven(record.SIZE) : 0);
    facts.DATE = record.DATE.isValid() ? conv::dateKeyText(record.DATE) : QString();
    facts.EXTENSION = record.EXTENSION;
    facts.NAME = record.NAME;
    facts.REFNAME = record.REFNAME;
    facts.WHOLENAME = record.WHOLENAME;
    facts.BASENAME = record.BASENAME;
    facts.WHOLEBASE = record.WHOLEBASE;
    facts.CHECKSUM = record.CHECKSUM;
    facts.XYRATIO = record.XYRATIO;
    facts.RGB = record.RGB;
    facts.SOFTRGB = record.SOFTRGB;
    facts.QRGB = record.QRGB;
    facts.SOFTQRGB = record.SOFTQRGB;
    facts.PXLRAY = record.PXLRAY;
    facts.PXLNUM = record.PXLNUM;
    facts.X = record.X;
    facts.Y = record.Y;
    facts.DISKNAME = record.DISKNAME;
    return facts;
}

void ClearSlot(ImageFacts& slot)
{
    slot = ImageFacts();
}
