#include "scan/ScanValues.h"

#include "imagestats/CurrentDate.h"
#include "imagestats/FileCompare.h"
#include "platform/Conventions.h"

#include <QFile>

#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr int ChecksumWords = 201;

} // namespace

std::optional<QString> checksumText(const QString& fileType, qint64 length, const QString& filePath)
{
    std::vector<std::int16_t> words(ChecksumWords, 0);
    if (!ReadFileIntoArray(filePath, words))
        return std::nullopt;
    QString text = fileType + QLatin1Char(' ') + QString::number(length) + QLatin1Char(' ');
    text.reserve(text.size() + ChecksumWords - 1);
    for (int i = 1; i < ChecksumWords; ++i)
        text += QLatin1Char(char('0' + std::abs(int(words[i])) % 10));
    return text;
}

QString MakeChecksum(const QString& fileType, const QString& directoryPath, const QString& fileName)
{
    const QString path = directoryPath + fileName;
    struct stat info;
    const qint64 length = ::stat(QFile::encodeName(path).constData(), &info) == 0 ? qint64(info.st_size) : 0;
    return checksumText(fileType, length, path).value_or(QStringLiteral(" "));
}

QString SessionStamp(const QDate& today)
{
    return CurrentYear(today) + CurrentMonth(today);
}

QString PurgeCutoff(const QDate& today)
{
    const int m = today.month();
    const int y = today.year();
    if (m <= 3)
        return QString::number(y - 1) + conv::format00(m + 9);
    return QString::number(y) + conv::format00(m - 3);
}
