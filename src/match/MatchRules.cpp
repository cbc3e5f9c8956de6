#include "match/MatchRules.h"

#include "imagestats/InvolvesIFCD.h"
#include "match/FileConfirmer.h"
#include "match/ImageFacts.h"
#include "match/RuleSettings.h"

#include <cstdlib>

bool prefixTest(const QString& referenceField, const QString& candidateField, SearchDirection direction)
{
    // startsWith compares code units as they stand: no wildcard, no case folding.
    if (direction == SearchDirection::Forward)
        return candidateField.startsWith(referenceField, Qt::CaseSensitive);
    return referenceField.startsWith(candidateField, Qt::CaseSensitive);
}

bool ruleName(const ImageFacts& r, const ImageFacts& c, const RuleSettings& s, SearchDirection direction)
{
    const bool main = s.ignoreExtension ? r.NAME == c.NAME : r.WHOLENAME == c.WHOLENAME;
    if (main || !s.softMatch)
        return main;
    return prefixTest(r.NAME, c.NAME, direction) && (s.ignoreExtension || r.EXTENSION == c.EXTENSION);
}

bool ruleNameAndSize(const ImageFacts& r, const ImageFacts& c, const RuleSettings& s, SearchDirection direction)
{
    return r.SIZE == c.SIZE && ruleName(r, c, s, direction);
}

bool ruleNumbered(const ImageFacts& r, const ImageFacts& c, const RuleSettings& s, SearchDirection direction)
{
    const bool main = s.ignoreExtension ? r.BASENAME == c.BASENAME : r.WHOLEBASE == c.WHOLEBASE;
    if (main || !s.softMatch)
        return main;
    return prefixTest(r.BASENAME, c.BASENAME, direction) && (s.ignoreExtension || r.EXTENSION == c.EXTENSION);
}

bool ruleSize(const ImageFacts& r, const ImageFacts& c)
{
    return r.SIZE == c.SIZE && r.EXTENSION == c.EXTENSION;
}

bool ruleChecksum(const ImageFacts& r, const ImageFacts& c)
{
    return r.CHECKSUM == c.CHECKSUM;
}

namespace {

// Where the values of a channel begin: just after the first occurrence of its letter, or at
// the first character when the letter is missing.
qsizetype channelStart(const QString& text, QChar letter)
{
    return text.indexOf(letter, 0, Qt::CaseSensitive) + 1;
}

// The number in the three characters that begin at a place; blanks are skipped, an empty or
// non-numeric piece reads 0.
int numberAt(const QString& text, qsizetype place)
{
    // A view: a walk reads twelve of these for every pair.
    const QStringView piece = QStringView(text).mid(place, 3);
    int value = 0;
    for (QChar ch : piece) {
        if (ch == QLatin1Char(' '))
            continue;
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            break;
        value = value * 10 + (ch.unicode() - '0');
    }
    return value;
}

} // namespace

int colourValue(const QString& text, QChar letter, int offset)
{
    return numberAt(text, channelStart(text, letter) + offset);
}

static const QString& rgbText(const ImageFacts& slot, bool soft)
{
    return soft ? slot.SOFTRGB : slot.RGB;
}

static const QString& qrgbText(const ImageFacts& slot, bool soft)
{
    return soft ? slot.SOFTQRGB : slot.QRGB;
}

static bool within(int a, int b, int tolerance)
{
    return std::abs(a - b) <= tolerance;
}

bool ruleAverageRgb(const ImageFacts& r, const ImageFacts& c, const RuleSettings& s)
{
    const QString& a = rgbText(r, s.softMatch);
    const QString& b = rgbText(c, s.softMatch);
    bool pass = true;
    for (QChar letter : { QLatin1Char('R'), QLatin1Char('G'), QLatin1Char('B') })
        pass = within(colourValue(a, letter), colourValue(b, letter), s.tolerance) && pass;
    return pass && (s.ignoreExtension || r.EXTENSION == c.EXTENSION);
}

bool ruleQuadrantRgb(const ImageFacts& r, const ImageFacts& c, const RuleSettings& s)
{
    const QString& a = qrgbText(r, s.softMatch);
    const QString& b = qrgbText(c, s.softMatch);
    for (QChar letter : { QLatin1Char('R'), QLatin1Char('G'), QLatin1Char('B') }) {
        const qsizetype pa = channelStart(a, letter);
        const qsizetype pb = channelStart(b, letter);
        for (int offset : { 0, 4, 8, 12 }) {
            if (!within(numberAt(a, pa + offset), numberAt(b, pb + offset), s.tolerance))
                return false;
        }
    }
    return s.ignoreExtension || r.EXTENSION == c.EXTENSION;
}

bool colourGuardPasses(const ImageFacts& reference)
{
    return !reference.RGB.trimmed().isEmpty();
}

CatalogueFields::FieldMask ruleFields(ComparisonMode mode, const RuleSettings& s)
{
    using namespace CatalogueFields;
    const FieldMask extension = s.ignoreExtension ? 0 : bit(EXTENSION);
    switch (mode) {
    case ComparisonMode::Name:
        return (s.ignoreExtension ? bit(NAME) : bit(WHOLENAME)) | (s.softMatch ? bit(NAME) | extension : 0);
    case ComparisonMode::Size:
        return bit(SIZE) | bit(EXTENSION);
    case ComparisonMode::NameAndSize:
        return bit(SIZE) | ruleFields(ComparisonMode::Name, s);
    case ComparisonMode::Numbered:
        return (s.ignoreExtension ? bit(BASENAME) : bit(WHOLEBASE)) | (s.softMatch ? bit(BASENAME) | extension : 0);
    case ComparisonMode::Checksum:
        return bit(CHECKSUM);
    case ComparisonMode::AverageRgb:
        return (s.softMatch ? bit(SOFTRGB) : bit(RGB)) | extension | bit(RGB);
    case ComparisonMode::QuadrantRgb:
        return (s.softMatch ? bit(SOFTQRGB) : bit(QRGB)) | extension | bit(RGB);
    case ComparisonMode::Pattern:
        // The reference's pattern, and its place for the incoming-files and exclusive tests.
        return bit(PXLRAY) | bit(PXLNUM) | bit(DRIVEVOLUME) | bit(PATH);
    }
    return 0;
}

CatalogueFields::FieldMask ruleFields(ComparisonMode mode)
{
    CatalogueFields::FieldMask fields = 0;
    for (const bool soft : { false, true }) {
        for (const bool ignore : { false, true }) {
            RuleSettings settings;
            settings.softMatch = soft;
            settings.ignoreExtension = ignore;
            fields |= ruleFields(mode, settings);
        }
    }
    return fields;
}

bool ruleMatches(
    ComparisonMode mode, const ImageFacts& r, const ImageFacts& c, const RuleSettings& s, SearchDirection direction)
{
    switch (mode) {
    case ComparisonMode::Name:
        return ruleName(r, c, s, direction);
    case ComparisonMode::Size:
        return ruleSize(r, c);
    case ComparisonMode::NameAndSize:
        return ruleNameAndSize(r, c, s, direction);
    case ComparisonMode::Numbered:
        return ruleNumbered(r, c, s, direction);
    case ComparisonMode::Checksum:
        return ruleChecksum(r, c);
    case ComparisonMode::AverageRgb:
        return ruleAverageRgb(r, c, s);
    case ComparisonMode::QuadrantRgb:
        return ruleQuadrantRgb(r, c, s);
    case ComparisonMode::Pattern:
        break;
    }
    return false;
}

bool ifcdPasses(const ImageFacts& r, const ImageFacts& c, const RuleSettings& s)
{
    return InvolvesIFCD(r.fileLocation(), c.fileLocation(), s.ifcd, s.treeModeIfcd);
}

bool exclusivePasses(const ImageFacts& r, const ImageFacts& c, const RuleSettings& s)
{
    return !s.exclusive || r.fileLocation() == c.fileLocation();
}

bool ruleAndGuardPass(
    ComparisonMode mode, const ImageFacts& r, const ImageFacts& c, const RuleSettings& s, SearchDirection direction)
{
    bool matched = ruleMatches(mode, r, c, s, direction);
    if ((mode == ComparisonMode::AverageRgb || mode == ComparisonMode::QuadrantRgb) && !colourGuardPasses(r))
        matched = false;
    return matched;
}

bool pairVerdict(ComparisonMode mode, const ImageFacts& r, const ImageFacts& c, const RuleSettings& s,
    FileConfirmer& confirmer, SearchDirection direction)
{
    bool matched = ruleAndGuardPass(mode, r, c, s, direction);
    matched = matched && ifcdPasses(r, c, s);
    matched = matched && exclusivePasses(r, c, s);
    if (mode == ComparisonMode::Checksum && s.softMatch && matched)
        matched = confirmer.identical(r, c);
    return matched && !isOneFile(r, c);
}

bool patternHit(int patternDiff, const ImageFacts& r, const ImageFacts& c, const RuleSettings& s)
{
    return patternDiff <= s.tolerance && r.RECNUM != c.RECNUM && exclusivePasses(r, c, s);
}
