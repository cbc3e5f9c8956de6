#pragma once

#include "catalogue/CatalogueFields.h"
#include "session/ComparisonMode.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

class SqlRecordSet;

// A record source of a matching window: the condition on FILES, its order, the values bound
// to the condition's parameters and the fields its record set holds in memory.
struct RecordSource
{
    QString where;
    QString orderBy;
    QVariantList params;
    CatalogueFields::FieldMask heldFields = 0;
};

// The ACTIVE codes the pre-match cycle walks: met in this pre-scan, or already matched.
QStringList prematchActiveCodes();

// The order key of a mode: "WHOLENAME, SIZE", "BASENAME", "RECNUM", ...
QString modeOrderKey(ComparisonMode mode, bool ignoreExtension);
// The active records in the order of the mode; the path goes first with exclusive matching,
// except in PATTERN mode, which always walks by RECNUM. The fields that decide the pair steps
// of the mode are held.
RecordSource buildModeRecordSource(
    ComparisonMode mode, bool exclusive, bool ignoreExtension, const QStringList& activeCodes);
// Every active record by RECNUM.
RecordSource patternRecordSource(const QStringList& activeCodes);
void applySource(SqlRecordSet& recordSet, const RecordSource& source);
