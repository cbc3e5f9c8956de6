#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

// One row of the FILES table. Text fields that carry nothing hold a single blank; only REF
// and BASENAME may be empty. DISKNAME is the whole file name as found on disk.
struct CatalogueRecord {
    std::int64_t rowId = 0; // the engine's own row identity, not a field of the table
    double RECNUM = 0;
    QString RTAG = QStringLiteral(" ");
    QString DRIVEVOLUME = QStringLiteral(" ");
    QString PATH = QStringLiteral(" ");
    QString NAME = QStringLiteral(" ");
    QString REFNAME = QStringLiteral(" ");
    QString BASENAME;
    QString EXTENSION = QStringLiteral(" ");
    QString WHOLENAME = QStringLiteral(" ");
    QString WHOLEBASE = QStringLiteral(" ");
    double SIZE = 0;
    QDateTime DATE;
    QString CHECKSUM = QStringLiteral(" ");
    double XYRATIO = 0;
    QString RGB = QStringLiteral(" ");
    QString QRGB = QStringLiteral(" ");
    QString SOFTRGB = QStringLiteral(" ");
    QString SOFTQRGB = QStringLiteral(" ");
    QString PXLRAY = QStringLiteral(" ");
    int PXLNUM = 0;
    int X = 0;
    int Y = 0;
    QString ACTIVE = QStringLiteral(" ");
    QString REF;
    double ACCESSED = 0;
    QString STAG = QStringLiteral(" ");
    QString DISKNAME = QStringLiteral(" ");
};
