#include "platform/FileOpResult.h"

#include <cstring>

QString FileOpResult::reason() const
{
    if (status == Done)
        return {};
    if (status == BadName)
        return QStringLiteral("the name is not allowed");
    return error ? QString::fromLocal8Bit(std::strerror(error)) : QStringLiteral("failed");
}
