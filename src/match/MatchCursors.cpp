#include "match/MatchCursors.h"

#include "catalogue/SqlRecordSet.h"

bool onLiveRecord(const SqlRecordSet& files)
{
    return files.hasCurrent() && files.record().RTAG == QLatin1String(" ");
}

void moveNextUntagged(SqlRecordSet& files)
{
    files.moveNext();
    while (!files.isEof() && files.record().RTAG != QLatin1String(" "))
        files.moveNext();
}

void movePreviousUntagged(SqlRecordSet& files)
{
    files.movePrevious();
    while (!files.isBof() && files.record().RTAG != QLatin1String(" "))
        files.movePrevious();
}

void moveNextPatUsable(SqlRecordSet& candidates)
{
    candidates.moveNext();
    while (
        !candidates.isEof() && candidates.record().PXLRAY.size() < 3 && candidates.record().RTAG != QLatin1String(" "))
        candidates.moveNext();
}
