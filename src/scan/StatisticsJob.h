#pragma once

#include "imagestats/ImageStats.h"

#include <QImage>
#include <QSize>
#include <QString>

// The statistics one file needs, and what it starts from: the values its record already holds
// (or blanks and zeros for a new record), which a failed load leaves as they are.
struct StatisticsJob
{
    QString filePath;
    QString fileType; // ".JPG"
    qint64 length = 0;
    bool wantChecksum = false;
    bool wantColour = false;
    bool wantPattern = false;
    bool wantPreview = false;
    QString checksum = QStringLiteral(" ");
    ImageStats stats;

    bool needsWork() const { return wantChecksum || wantColour || wantPattern; }
};

struct StatisticsResult
{
    bool vanished = false; // the file was gone when it was read
    QString checksum;
    ImageStats stats;
    QImage preview; // empty unless asked for and the image loaded
};

// Reads the file and measures it: the checksum, then one decode for colour and pattern.
// Safe on several threads.
StatisticsResult computeStatistics(const StatisticsJob& job);

// What measuring the job holds in memory at its peak, in 32-bit pixels, told from the file's
// header; 0 when the job decodes nothing. A picture whose size cannot be told counts at the
// largest size the decoders accept.
qint64 decodedPixels(const StatisticsJob& job);

// The preview box's size for a picture: 40 pixels (600 twips) wide with the height following,
// or 40 high with the width following when that would be taller.
QSize previewSize(int width, int height);
