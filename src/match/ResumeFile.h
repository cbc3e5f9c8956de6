#pragma once

#include <QString>
#include <QtGlobal>

// Matching.dat in the program directory: the pre-match cycle's resume point, one line holding
// the RECNUM of the reference of the last saved step.
QString resumeFilePath(const QString& programDirectory);
// The line as written: the number with its sign place and one blank after it (CR LF follows).
QString resumeFileLine(qint32 recnum);
// Writes the file through a temporary file renamed into place; false when it cannot.
bool writeResumeFile(const QString& path, qint32 recnum);
// The resume point: the leading number of the first line, rounded to a whole number; 0 when
// the file is missing or unreadable. Only a value above 0 is a resume point.
qint32 readResumeFile(const QString& path);
