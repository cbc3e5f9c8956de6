#include "match/ResumeFile.h"

#include "platform/Conventions.h"
#include "platform/StateFile.h"

#include <QDir>

QString resumeFilePath(const QString& programDirectory)
{
    return QDir(programDirectory).filePath(QStringLiteral("Matching.dat"));
}

QByteArray resumeFileLine(qint32 recnum)
{
    return conv::signedText(recnum).toLatin1() + QByteArrayLiteral(" \r\n");
}

bool writeResumeFile(const QString& path, qint32 recnum)
{
    return writeStateFile(path, resumeFileLine(recnum));
}

qint32 readResumeFile(const QString& path)
{
    return readStateNumber(path);
}
