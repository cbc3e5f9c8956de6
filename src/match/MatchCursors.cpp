#include "match/MatchCursors.h"

#include "catalogue/SqlRecordSet.h"
#include "match/MatchRules.h"

namespace {

bool tagged(SqlRecordSet& files)
{
    const QString& rtag = files.recordWith(CatalogueFields::bit(CatalogueFields::RTAG)).RTAG;
    return rtag.size() != 1 || rtag.front() != u' ';
}

} // namespace

bool onLiveRecord(const SqlRecordSet& files)
{
    return files.hasCurrent() && files.record().RTAG == QLatin1String(" ");
}

void moveNextUntagged(SqlRecordSet& files)
{
    files.moveNext();
    while (!files.isEof() && tagged(files))
        files.moveNext();
}

void movePreviousUntagged(SqlRecordSet& files)
{
    files.movePrevious();
    while (!files.isBof() && tagged(files))
        files.movePrevious();
}

void moveNextPatUsable(SqlRecordSet& candidates)
{
    candidates.moveNext();
    while (
        !candidates.isEof() && candidates.record().PXLRAY.size() < 3 && candidates.record().RTAG != QLatin1String(" "))
        candidates.moveNext();
}

void stepUntagged(SqlRecordSet& files, SearchDirection direction, const std::function<void()>& forwardStep)
{
    if (direction == SearchDirection::Backward)
        movePreviousUntagged(files);
    else if (forwardStep)
        forwardStep();
    else
        moveNextUntagged(files);
}

bool walkedOff(const SqlRecordSet& files, SearchDirection direction)
{
    return direction == SearchDirection::Forward ? files.isEof() : files.isBof();
}
