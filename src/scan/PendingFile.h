#pragma once

#include "catalogue/CatalogueRecord.h"
#include "scan/DirectoryListing.h"
#include "scan/ScanQueue.h"
#include "scan/StatisticsJob.h"
#include "scan/StatisticsPipeline.h"

// One accepted file of the scan pass between the queue and the record written for it. Files ahead
// of the loop are keyed, sought and handed to the measuring threads early.
struct PendingFile
{
    ScanQueue::File file;
    bool lookedUp = false;
    bool vanished = false;
    FileFacts facts;
    QString key;
    bool found = false;
    CatalogueRecord row; // the row found, as it stood at the lookup
    StatisticsJob job;
    StatisticsPipeline::TicketPtr ticket;
    // Read when the process died beside other pictures: read on its own when its turn comes.
    bool suspect = false;
};
