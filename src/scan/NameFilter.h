#pragma once

#include <QString>

// The three name patterns of a pre-scan, split from the filter text.
struct FilterWords
{
    QString FilterWord1;
    QString FilterWord2;
    QString FilterWord3;

    bool operator==(const FilterWords&) const = default;
};

// Up to three comma-separated words, each cut at its first "." and then trimmed (a word without
// "." keeps its blanks), missing ones copied from the one before; upper-cased so that they
// match the upper-cased names.
FilterWords splitFilterWords(const QString& filterText);

// Whether the upper-cased name matches one of the words followed by the file type.
bool filterMatches(const FilterWords& words, const QString& fileName, const QString& fileType);

// The scan's test: the trimmed name is longer than 4 characters and the match holds, reversed
// when notFilter is set.
bool scanAccepts(const FilterWords& words, const QString& fileName, const QString& fileType, bool notFilter);
// The re-activation's test: the same without the length test.
bool reactivationAccepts(const FilterWords& words, const QString& fileName, const QString& fileType, bool notFilter);
