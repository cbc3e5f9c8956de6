#include "match/ImageFacts.h"

#include "catalogue/CatalogueRecord.h"
#include "platform/Conventions.h"

#include <array>
#include <bit>
#include <cmath>

namespace {

// The texts a slot holds as the record has them, by field.
struct TextField
{
    QString CatalogueRecord::*record = nullptr;
    QString ImageFacts::*slot = nullptr;
};

constexpr std::array<TextField, CatalogueFields::Count> textFields()
{
    using namespace CatalogueFields;
    std::array<TextField, Count> fields {};
    fields[RTAG] = { &CatalogueRecord::RTAG, &ImageFacts::RTAG };
    fields[DRIVEVOLUME] = { &CatalogueRecord::DRIVEVOLUME, &ImageFacts::DRIVEVOLUME };
    fields[PATH] = { &CatalogueRecord::PATH, &ImageFacts::PATH };
    fields[EXTENSION] = { &CatalogueRecord::EXTENSION, &ImageFacts::EXTENSION };
    fields[NAME] = { &CatalogueRecord::NAME, &ImageFacts::NAME };
    fields[REFNAME] = { &CatalogueRecord::REFNAME, &ImageFacts::REFNAME };
    fields[WHOLENAME] = { &CatalogueRecord::WHOLENAME, &ImageFacts::WHOLENAME };
    fields[BASENAME] = { &CatalogueRecord::BASENAME, &ImageFacts::BASENAME };
    fields[WHOLEBASE] = { &CatalogueRecord::WHOLEBASE, &ImageFacts::WHOLEBASE };
    fields[CHECKSUM] = { &CatalogueRecord::CHECKSUM, &ImageFacts::CHECKSUM };
    fields[RGB] = { &CatalogueRecord::RGB, &ImageFacts::RGB };
    fields[SOFTRGB] = { &CatalogueRecord::SOFTRGB, &ImageFacts::SOFTRGB };
    fields[QRGB] = { &CatalogueRecord::QRGB, &ImageFacts::QRGB };
    fields[SOFTQRGB] = { &CatalogueRecord::SOFTQRGB, &ImageFacts::SOFTQRGB };
    fields[PXLRAY] = { &CatalogueRecord::PXLRAY, &ImageFacts::PXLRAY };
    fields[DISKNAME] = { &CatalogueRecord::DISKNAME, &ImageFacts::DISKNAME };
    return fields;
}
constexpr std::array<TextField, CatalogueFields::Count> TextFields = textFields();

constexpr CatalogueFields::FieldMask textMask()
{
    CatalogueFields::FieldMask mask = 0;
    for (int field = 0; field < CatalogueFields::Count; ++field) {
        if (TextFields[std::size_t(field)].slot)
            mask |= CatalogueFields::bit(CatalogueFields::Field(field));
    }
    return mask;
}
constexpr CatalogueFields::FieldMask TextMask = textMask();

bool wanted(CatalogueFields::FieldMask fields, CatalogueFields::Field field)
{
    return (fields & CatalogueFields::bit(field)) != 0;
}

// Calls f with each text field among the given ones.
template <typename F> void forTexts(CatalogueFields::FieldMask fields, F f)
{
    for (CatalogueFields::FieldMask rest = fields & TextMask; rest != 0; rest &= rest - 1)
        f(TextFields[std::size_t(std::countr_zero(rest))]);
}

} // namespace

ImageFacts factsOf(const CatalogueRecord& record, CatalogueFields::FieldMask fields)
{
    using namespace CatalogueFields;
    ImageFacts facts;
    facts.rowId = record.rowId;
    forTexts(fields, [&](const TextField& text) { facts.*text.slot = record.*text.record; });
    if (wanted(fields, RECNUM))
        facts.RECNUM = conv::whole32(record.RECNUM);
    if (wanted(fields, SIZE))
        facts.SIZE = conv::signedText(std::isfinite(record.SIZE) ? conv::roundHalfEven(record.SIZE) : 0);
    if (wanted(fields, DATE))
        facts.DATE = record.DATE.isValid() ? conv::dateKeyText(record.DATE) : QString();
    if (wanted(fields, XYRATIO))
        facts.XYRATIO = record.XYRATIO;
    if (wanted(fields, PXLNUM))
        facts.PXLNUM = record.PXLNUM;
    if (wanted(fields, X))
        facts.X = record.X;
    if (wanted(fields, Y))
        facts.Y = record.Y;
    return facts;
}

void copyFacts(ImageFacts& to, const ImageFacts& from, CatalogueFields::FieldMask fields)
{
    using namespace CatalogueFields;
    to.rowId = from.rowId;
    to.partial = from.partial;
    forTexts(fields, [&](const TextField& text) { to.*text.slot = from.*text.slot; });
    if (wanted(fields, RECNUM))
        to.RECNUM = from.RECNUM;
    if (wanted(fields, SIZE))
        to.SIZE = from.SIZE;
    if (wanted(fields, DATE))
        to.DATE = from.DATE;
    if (wanted(fields, XYRATIO))
        to.XYRATIO = from.XYRATIO;
    if (wanted(fields, PXLNUM))
        to.PXLNUM = from.PXLNUM;
    if (wanted(fields, X))
        to.X = from.X;
    if (wanted(fields, Y))
        to.Y = from.Y;
}

void ClearSlot(ImageFacts& slot)
{
    slot = ImageFacts();
}
