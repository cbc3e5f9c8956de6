#pragma once

#include "MatchTestSupport.h"

// Shared by the catalogue tests: fresh catalogues from the template and sample rows.

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueRecord.h"
#include "catalogue/CatalogueTransaction.h"
#include "catalogue/TableRecordSet.h"
#include "catalogue/TemplateDatabase.h"

#include <QTest>

#include <memory>

inline CatalogueRecord sampleRecord(int number, const QString& wholeName)
{
    CatalogueRecord r;
    r.RECNUM = number;
    r.DRIVEVOLUME = QStringLiteral("[PHOTOS]");
    r.PATH = QStringLiteral("/home/u/pics/");
    r.WHOLENAME = wholeName.toUpper();
    r.NAME = r.WHOLENAME.left(r.WHOLENAME.size() - 4);
    r.REFNAME = wholeName.left(wholeName.size() - 4);
    r.EXTENSION = r.WHOLENAME.right(4);
    r.SIZE = 1000 + number;
    r.DATE = QDateTime(QDate(2026, 12, 9), QTime(16, 9, 28));
    r.ACTIVE = QStringLiteral("X");
    r.ACCESSED = 202612;
    r.STAG = r.WHOLENAME + QStringLiteral(" %1").arg(r.SIZE);
    r.REF = r.STAG;
    r.DISKNAME = wholeName;
    return r;
}

// A new catalogue at path holding the given names as rows 1, 2, 3 ... in that order.
inline std::unique_ptr<CatalogueDatabase> makeCatalogue(const QString& path, const QStringList& names = {})
{
    QList<CatalogueRecord> rows;
    for (int i = 0; i < names.size(); ++i)
        rows << sampleRecord(i + 1, names.at(i));
    return makeCatalogueWithRows(path, rows);
}
