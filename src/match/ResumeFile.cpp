#include "match/ResumeFile.h"

#include "platform/Conventions.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(resumeFileLine(recnum));
    return file.commit();
}

qint32 readResumeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    QByteArray line = file.readLine(4096);
    file.close();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    const double value = conv::val(QString::fromLatin1(line).trimmed());
    if (!std::isfinite(value))
        return 0;
    return qint32(conv::roundHalfEven(std::clamp(value, -2147483648.0, 2147483647.0)));
}
