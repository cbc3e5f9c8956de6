#pragma once

#include "catalogue/CatalogueFields.h"

#include <QString>
#include <QtGlobal>

#include <cstdint>

struct CatalogueRecord;

// One slot of a matching window: a copy of the fields of one FILES record that the rules, the
// displays and the file actions read. SIZE is held as text with a sign place (" 512"); DATE in
// the program's date text. DISKNAME is kept so that file access uses the name found on disk.
// rowId names the row the slot was loaded from (0: none), so file actions update that row alone.
struct ImageFacts
{
    std::int64_t rowId = 0;
    qint32 RECNUM = 0;
    QString RTAG;
    QString DRIVEVOLUME;
    QString PATH;
    QString SIZE = QStringLiteral("0");
    QString DATE;
    QString EXTENSION;
    QString NAME;
    QString REFNAME;
    QString WHOLENAME;
    QString BASENAME;
    QString WHOLEBASE;
    QString CHECKSUM;
    double XYRATIO = 0;
    QString RGB;
    QString SOFTRGB;
    QString QRGB;
    QString SOFTQRGB;
    QString PXLRAY;
    qint32 PXLNUM = 0;
    qint32 X = 0;
    qint32 Y = 0;
    QString DISKNAME;
    // Loaded by a walk with only the fields that decide its steps (see StepLoader); a walk
    // makes its slots whole before it hands them out.
    bool partial = false;

    // DRIVEVOLUME, one blank and PATH: what exclusive matching compares and the IFCD test reads.
    QString fileLocation() const { return DRIVEVOLUME + QLatin1Char(' ') + PATH; }
    // The name on disk; a row written before disk names were kept has a blank one, and its
    // catalogued name serves.
    QString diskName() const { return DISKNAME.trimmed().isEmpty() ? WHOLENAME : DISKNAME; }
    // The file on disk.
    QString filePath() const { return PATH + diskName(); }
    bool isLive() const { return RTAG.size() == 1 && RTAG.front() == u' '; }

    bool operator==(const ImageFacts&) const = default;
};

// Copies a record into a slot, converting the fields as the slots hold them; with a set of
// fields, only those (and rowId), the others keeping the defaults of an empty slot.
ImageFacts factsOf(const CatalogueRecord& record, CatalogueFields::FieldMask fields = ~CatalogueFields::FieldMask(0));
// Copies the given fields (and rowId and partial) from one slot into another.
void copyFacts(ImageFacts& to, const ImageFacts& from, CatalogueFields::FieldMask fields);
// Empties a slot: numbers 0, SIZE the digit "0", every other text empty.
void ClearSlot(ImageFacts& slot);

// The reference (slot 1) and the candidate (slot 2) of a matching window.
struct RecordPair
{
    ImageFacts reference;
    ImageFacts candidate;
};
