#pragma once

#include "catalogue/CatalogueFields.h"
#include "session/ComparisonMode.h"

#include <QChar>
#include <QString>

class FileConfirmer;
struct ImageFacts;
struct RuleSettings;

// The comparison rules of the modes, shared by the pre-match cycle and both reviews. The
// reference and the candidate are slots of a RecordPair; every text comparison is exact.
// A forward search has the earlier record in sort order as its reference, a backward search
// the later one: the soft prefix test always asks that the later record's field begin with the
// earlier one's.
enum class SearchDirection { Forward, Backward };

// Whether the later field begins with the whole earlier field, every character literal.
bool prefixTest(const QString& referenceField, const QString& candidateField, SearchDirection direction);

bool ruleName(const ImageFacts& reference, const ImageFacts& candidate, const RuleSettings& settings,
    SearchDirection direction = SearchDirection::Forward);
bool ruleNameAndSize(const ImageFacts& reference, const ImageFacts& candidate, const RuleSettings& settings,
    SearchDirection direction = SearchDirection::Forward);
bool ruleNumbered(const ImageFacts& reference, const ImageFacts& candidate, const RuleSettings& settings,
    SearchDirection direction = SearchDirection::Forward);
// Equal SIZE and EXTENSION, whether extensions are ignored or not.
bool ruleSize(const ImageFacts& reference, const ImageFacts& candidate);
// Equal CHECKSUM texts; the file confirmation of soft matching is a post-test.
bool ruleChecksum(const ImageFacts& reference, const ImageFacts& candidate);

// The value of a colour text for a channel letter: the number in the three characters that
// begin offset + 1 characters after the first occurrence of the letter (the first character
// when the letter is missing); blanks are skipped, an empty or non-numeric piece reads 0.
int colourValue(const QString& text, QChar letter, int offset = 0);
// RGB (SOFTRGB with soft matching): each channel within the tolerance, and equal extensions
// unless they are ignored.
bool ruleAverageRgb(const ImageFacts& reference, const ImageFacts& candidate, const RuleSettings& settings);
// QRGB (SOFTQRGB): the four quadrant values of each channel within the tolerance, channels in
// the order R, G, B, stopping at the first that fails; then equal extensions unless ignored.
bool ruleQuadrantRgb(const ImageFacts& reference, const ImageFacts& candidate, const RuleSettings& settings);
// A reference without colour statistics (RGB blank) never matches in the colour modes.
bool colourGuardPasses(const ImageFacts& reference);

// The fields the rule of a mode and its colour guard read under the settings, in either
// direction (none for PATTERN): slots that agree on these get the same answers from
// ruleMatches and colourGuardPasses. Without settings: under any settings.
CatalogueFields::FieldMask ruleFields(ComparisonMode mode, const RuleSettings& settings);
CatalogueFields::FieldMask ruleFields(ComparisonMode mode);

// The rule of a mode other than PATTERN (false for PATTERN).
bool ruleMatches(ComparisonMode mode, const ImageFacts& reference, const ImageFacts& candidate,
    const RuleSettings& settings, SearchDirection direction = SearchDirection::Forward);

// The incoming-files directory: with one set, a pair counts only when a record lies in it.
bool ifcdPasses(const ImageFacts& reference, const ImageFacts& candidate, const RuleSettings& settings);
// Exclusive matching: only records of one volume label and path pair up.
bool exclusivePasses(const ImageFacts& reference, const ImageFacts& candidate, const RuleSettings& settings);

// The rule of a mode and, in the colour modes, the colour guard: the start of pairVerdict, which
// reads only ruleFields(mode) and turns most neighbours down.
bool ruleAndGuardPass(ComparisonMode mode, const ImageFacts& reference, const ImageFacts& candidate,
    const RuleSettings& settings, SearchDirection direction = SearchDirection::Forward);

// The whole verdict on a pair of neighbours in a mode other than PATTERN: the rule, then the
// colour guard, the incoming-files directory, exclusive matching, the file confirmation of
// CHECKSUM under soft matching, and last a pair that is one file reached twice is no match.
bool pairVerdict(ComparisonMode mode, const ImageFacts& reference, const ImageFacts& candidate,
    const RuleSettings& settings, FileConfirmer& confirmer, SearchDirection direction = SearchDirection::Forward);

// The pattern step's hit: a difference within the tolerance between two different records,
// in one directory with exclusive matching. (One file reached twice is tested by the caller.)
bool patternHit(
    int patternDiff, const ImageFacts& reference, const ImageFacts& candidate, const RuleSettings& settings);
