#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// What the stand-in review windows walk: the RECNUMs of the live rows met by the last pre-scan,
// in RECNUM order, and where a review starts among them.
class ReviewRecords
{
public:
    // Empty when the database is missing or cannot be read.
    static ReviewRecords load(const QString& databasePath);

    bool isEmpty() const { return m_recnums.isEmpty(); }
    const QList<double>& recnums() const { return m_recnums; }
    // The first record, or the first whose RECNUM equals the resume point when that is above 0.
    int startIndex(qint32 stoppedAtRecord) const;

private:
    QList<double> m_recnums;
};
