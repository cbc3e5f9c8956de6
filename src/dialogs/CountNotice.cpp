#include "dialogs/CountNotice.h"

#include "catalogue/SqlRecordSet.h"
#include "platform/Conventions.h"

int recordsLeftToReview(const SqlRecordSet& files)
{
    if (files.isEof() || files.recordCount() == 0)
        return 0;
    return files.recordCount() - 1 - files.position();
}

QString countRunningText(int count)
{
    return QStringLiteral("There are %1 records left to review.").arg(count);
}

QString countFinalText(int count)
{
    return QStringLiteral("There are %1 records left to review...\n\nPlease note that this is not a count of "
                          "duplicates left...")
        .arg(count);
}

void runCount(const SqlRecordSet& files, CountNotice& notice, qint32& stoppedAtRecord)
{
    if (files.hasCurrent())
        stoppedAtRecord = conv::whole32(files.record().RECNUM);
    const int count = recordsLeftToReview(files);
    if (count == 0)
        notice.showRunning(QString());
    for (int n = 1; n <= count; ++n)
        notice.showRunning(countRunningText(n));
    notice.showFinal(countFinalText(count));
}
