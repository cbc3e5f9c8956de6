#include "MatchTestSupport.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueTransaction.h"
#include "catalogue/TableRecordSet.h"
#include "catalogue/TemplateDatabase.h"
#include "match/ImageFacts.h"
#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>

CatalogueRecord fileRow(int recnum, const QString& wholeName, const QString& path, const QString& volume)
{
    CatalogueRecord r;
    r.RECNUM = recnum;
    r.DRIVEVOLUME = volume;
    r.PATH = path;
    r.WHOLENAME = wholeName.toUpper();
    const qsizetype dot = r.WHOLENAME.lastIndexOf(QLatin1Char('.'));
    r.NAME = dot < 0 ? r.WHOLENAME : r.WHOLENAME.left(dot);
    r.EXTENSION = dot < 0 ? QStringLiteral(" ") : r.WHOLENAME.mid(dot);
    r.REFNAME = dot < 0 ? wholeName : wholeName.left(dot);
    for (QChar c : r.NAME) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            r.BASENAME += c;
    }
    r.WHOLEBASE = r.BASENAME + r.EXTENSION;
    r.SIZE = 1000;
    r.DATE = QDateTime(QDate(2026, 12, 9), QTime(16, 9, 28));
    r.ACTIVE = QStringLiteral("X");
    r.ACCESSED = 202612;
    r.STAG = r.WHOLENAME;
    r.DISKNAME = wholeName;
    return r;
}

std::unique_ptr<CatalogueDatabase> makeMatchCatalogue(const QString& path, const QList<CatalogueRecord>& rows)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString error;
    if (!writeTemplateDatabase(path, &error)) {
        qWarning("template: %s", qPrintable(error));
        return {};
    }
    auto db = CatalogueDatabase::open(path, &error);
    if (!db) {
        qWarning("open: %s", qPrintable(error));
        return {};
    }
    CatalogueTransaction batch(*db);
    TableRecordSet table(*db);
    for (const CatalogueRecord& row : rows) {
        table.addNew();
        table.setRecord(row);
        table.update();
    }
    batch.commit();
    return db;
}

QList<int> markedRecnums(CatalogueDatabase& database)
{
    QList<int> result;
    CatalogueDatabase::Lease lease
        = database.prepare(QByteArrayLiteral("SELECT RECNUM FROM FILES WHERE ACTIVE = '*' ORDER BY RECNUM"));
    while (lease.step())
        result << int(sqlite3_column_double(lease.handle(), 0));
    return result;
}

bool FakeConfirmer::identical(const ImageFacts& reference, const ImageFacts& candidate)
{
    ++calls;
    return !differing.contains(reference.DISKNAME) && !differing.contains(candidate.DISKNAME);
}
