#pragma once

// The pattern cycle written row by row, as plainly as the rules read: one catalogue query per
// reference, every candidate read from the catalogue and compared as text. The fast cycle is
// checked against it (tests) and measured against it (bench). Header-only so that the
// benchmark, which links only the core, can use it too.

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueTransaction.h"
#include "catalogue/SqlRecordSet.h"
#include "imagestats/ComparePatterns.h"
#include "imagestats/InvolvesIFCD.h"
#include "match/FileConfirmer.h"
#include "match/ImageFacts.h"
#include "match/MatchCursors.h"
#include "match/MatchRules.h"
#include "match/RuleSettings.h"

namespace literal {

// Runs the whole PATTERN cycle from the first active record; gives the number of matches.
inline int runPatternCycle(CatalogueDatabase& database, const RuleSettings& rules)
{
    CatalogueTransaction batch(database);
    SqlRecordSet files(database);
    files.setSource(QStringLiteral("ACTIVE = 'X' OR ACTIVE = '*'"), QStringLiteral("RECNUM"));
    files.refresh();
    if (files.hasCurrent() && !onLiveRecord(files))
        moveNextUntagged(files);
    SqlRecordSet pat(database);
    int matches = 0;
    while (!files.isEof()) {
        const ImageFacts reference = factsOf(files.record());
        if (InvolvesIFCD(reference.fileLocation(), reference.fileLocation(), rules.ifcd, rules.treeModeIfcd)) {
            pat.setSource(QStringLiteral("ACTIVE = 'X' AND RECNUM <> ? AND PXLNUM >= ? AND PXLNUM <= ?"),
                QStringLiteral("RECNUM"),
                { reference.RECNUM, reference.PXLNUM - rules.tolerance, reference.PXLNUM + rules.tolerance });
            pat.refresh();
            while (!pat.isEof()) {
                const ImageFacts candidate = factsOf(pat.record());
                if (candidate.RTAG != QLatin1String("D")) {
                    const int diff = comparePatternTexts(reference.PXLRAY, candidate.PXLRAY, rules.softMatch);
                    if (patternHit(diff, reference, candidate, rules) && !isOneFile(reference, candidate)) {
                        ++matches;
                        for (qint32 recnum : { reference.RECNUM, candidate.RECNUM })
                            database.execute(
                                QStringLiteral("UPDATE FILES SET ACTIVE = '*' WHERE RECNUM = ?"), { recnum });
                    }
                }
                moveNextPatUsable(pat);
            }
        }
        moveNextUntagged(files);
    }
    batch.commit();
    return matches;
}

} // namespace literal
