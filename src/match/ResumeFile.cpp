#include "match/ResumeFile.h"

#include "platform/Conventions.h"
#include "platform/StateFile.h"

#include <QDir>

QString resumeFilePath(const QString& programDirectory)
{
    return QDir(programDirectory).filePath(QStringLiteral("Matching.dat"));
}

QString resumeFileLine(qint32 recnum)
{
    return conv::signedText(recnum) + QLatin1Char(' ');
}

bool writeResumeFile(const QString& path, qint32 recnum)
{
    return writeStateFile(path, resumeFileLine(recnum));
}

qint32 readResumeFile(const QString& path)
{
    return readStateNumber(path).value_or(0);
}
