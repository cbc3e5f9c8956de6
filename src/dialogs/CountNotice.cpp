#include "dialogs/CountNotice.h"

#include "catalogue/SqlRecordSet.h"

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

void runCount(const SqlRecordSet& files, CountNotice& notice)
{
    const int count = recordsLeftToReview(files);
    notice.showRunning(count > 0 ? countRunningText(count) : QString());
    notice.showFinal(countFinalText(count));
}
