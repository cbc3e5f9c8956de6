#include "scan/ScanningFile.h"

#include "platform/Conventions.h"
#include "platform/StateFile.h"

QString scanningFilePath(const QString& programDirectory)
{
    return programDirectory + QStringLiteral("/Scanning.dat");
}

int readResumeIndex(const QString& path)
{
    return readStateNumber(path).value_or(0);
}

bool writeResumeIndex(const QString& path, int entryIndex)
{
    return writeStateFile(path, conv::signedText(entryIndex));
}
