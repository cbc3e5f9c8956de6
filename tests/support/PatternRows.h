#pragma once

// Catalogue rows with patterns as a scan of a photo collection gives them: distinct pictures
// made from a few base patterns with many cells changed, and near-duplicates of earlier
// pictures with a few cells changed, some turned or mirrored. Header-only so that the benchmark,
// which links only the core, can use it too.

#include "catalogue/CatalogueRecord.h"
#include "imagestats/OrientationTable.h"
#include "imagestats/PatternBits.h"

#include <QList>
#include <QRandomGenerator>

#include <vector>

struct PatternRowOptions
{
    double duplicateShare = 0.25; // near-duplicates of an earlier picture
    int duplicateFlips = 6; // at most this many cells changed in a near-duplicate
    double turnedShare = 0.15; // of the near-duplicates: turned or mirrored
    int distinctFlipsMin = 12; // cells changed to make a distinct picture from a base
    int distinctFlipsMax = 30;
    int directories = 20;
    double deletedShare = 0; // RTAG "D"
    double oddShare = 0; // "Image too small...", a blank, a cut or marked text
    double markedShare = 0; // already "*"
    double idleShare = 0; // ACTIVE " "
    double sharedRecnumShare = 0; // the RECNUM of the row before
};

inline PatternBits flipCells(PatternBits bits, int flips, QRandomGenerator& random)
{
    for (int i = 0; i < flips; ++i) {
        const int cell = random.bounded(1, 101);
        if (bits.test(cell)) {
            PatternBits mask;
            mask.set(cell);
            bits.lo &= ~mask.lo;
            bits.hi &= ~mask.hi;
        } else {
            bits.set(cell);
        }
    }
    return bits;
}

inline QList<CatalogueRecord> makePatternRows(
    int count, const std::vector<PatternBits>& bases, quint32 seed, const PatternRowOptions& options = {})
{
    QRandomGenerator random(seed);
    QList<CatalogueRecord> rows;
    std::vector<PatternBits> made;
    rows.reserve(count);
    made.reserve(std::size_t(count));
    int recnum = 0;
    for (int i = 0; i < count; ++i) {
        PatternBits bits;
        if (!made.empty() && random.generateDouble() < options.duplicateShare) {
            bits = flipCells(
                made[random.bounded(quint32(made.size()))], random.bounded(options.duplicateFlips + 1), random);
            if (random.generateDouble() < options.turnedShare)
                bits = orientPattern(bits).oriented[std::size_t(random.bounded(1, 6))];
        } else {
            bits = flipCells(bases[random.bounded(quint32(bases.size()))],
                random.bounded(options.distinctFlipsMin, options.distinctFlipsMax + 1), random);
        }
        made.push_back(bits);
        CatalogueRecord r;
        recnum = (i > 0 && random.generateDouble() < options.sharedRecnumShare) ? recnum : recnum + 1;
        r.RECNUM = recnum;
        r.DRIVEVOLUME = QStringLiteral("[PHOTOS]");
        r.PATH = QStringLiteral("/photos/d%1/").arg(random.bounded(options.directories), 2, 10, QLatin1Char('0'));
        r.DISKNAME = QStringLiteral("IMG_%1.jpg").arg(i + 1, 6, 10, QLatin1Char('0'));
        r.WHOLENAME = r.DISKNAME.toUpper();
        r.NAME = r.WHOLENAME.chopped(4);
        r.REFNAME = r.DISKNAME.chopped(4);
        r.EXTENSION = QStringLiteral(".JPG");
        r.BASENAME = QStringLiteral("IMG");
        r.WHOLEBASE = QStringLiteral("IMG.JPG");
        r.SIZE = 100000 + random.bounded(4000000);
        r.DATE = QDateTime(QDate(2026, 1, 1), QTime(12, 0)).addSecs(i);
        r.PXLRAY = bits.toText();
        r.PXLNUM = bits.count();
        r.X = 4000;
        r.Y = 3000;
        r.XYRATIO = 4.0 / 3.0;
        r.ACTIVE = QStringLiteral("X");
        r.ACCESSED = 202612;
        r.STAG = r.WHOLENAME;
        if (random.generateDouble() < options.deletedShare)
            r.RTAG = QStringLiteral("D");
        if (random.generateDouble() < options.oddShare) {
            switch (random.bounded(4)) {
            case 0:
                r.PXLRAY = QStringLiteral("Image too small...");
                r.PXLNUM = 0;
                break;
            case 1:
                r.PXLRAY = QStringLiteral(" ");
                r.PXLNUM = 0;
                break;
            case 2:
                r.PXLRAY.chop(1); // 99 cells
                break;
            default:
                r.PXLRAY[random.bounded(100)] = QLatin1Char('x');
                break;
            }
        }
        if (random.generateDouble() < options.markedShare)
            r.ACTIVE = QStringLiteral("*");
        else if (random.generateDouble() < options.idleShare)
            r.ACTIVE = QStringLiteral(" ");
        rows.append(r);
    }
    return rows;
}

// Base patterns of random pictures: blotches of dark cells.
inline std::vector<PatternBits> randomBases(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    std::vector<PatternBits> bases;
    for (int b = 0; b < count; ++b) {
        PatternBits bits;
        const int threshold = random.bounded(30, 70);
        const int cx = random.bounded(10), cy = random.bounded(10);
        for (int cell = 1; cell <= 100; ++cell) {
            const int x = (cell - 1) % 10, y = (cell - 1) / 10;
            const int distance = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (distance * 2 + random.bounded(40) < threshold)
                bits.set(cell);
        }
        bases.push_back(bits);
    }
    return bases;
}
