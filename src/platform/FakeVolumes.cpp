#include "platform/FakeVolumes.h"

#include <QFileInfo>

static bool liesUnder(const QString& path, const QString& mountPoint)
{
    if (mountPoint == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == mountPoint || path.startsWith(mountPoint + QLatin1Char('/'));
}

VolumeInfo FakeVolumes::volumeFor(const QString& path) const
{
    const VolumeInfo* best = nullptr;
    for (const VolumeInfo& v : m_table) {
        if (liesUnder(path, v.mountPoint) && (!best || v.mountPoint.size() > best->mountPoint.size()))
            best = &v;
    }
    VolumeInfo found;
    if (best)
        found = *best;
    if (!best || (m_pathsMustExist && !QFileInfo::exists(path)))
        found.kind = DriveKind::NoRoot;
    return found;
}
