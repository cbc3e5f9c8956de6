#pragma once

#include <QString>
#include <QtGlobal>

class SqlRecordSet;

// How a review shows its count: the running text while it counts (the notice modeless; empty
// when there was nothing to count), then the closing text, modal until the user presses Continue.
class CountNotice
{
public:
    virtual ~CountNotice() = default;
    virtual void showRunning(const QString& text) = 0;
    virtual void showFinal(const QString& text) = 0;
};

// The records of a review's walk that follow its cursor, whatever their state, counted by
// position: 0 on the last record and past it.
int recordsLeftToReview(const SqlRecordSet& files);
QString countRunningText(int count);
QString countFinalText(int count);

// The count of both reviews: the cursor's record becomes the resume record (without one, past
// the end, it stays); the running text climbs through every number up to the count, then the
// closing text shows it. Counted by position, the cursor does not move.
void runCount(const SqlRecordSet& files, CountNotice& notice, qint32& stoppedAtRecord);
