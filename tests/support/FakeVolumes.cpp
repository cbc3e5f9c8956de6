#include "FakeVolumes.h"

#include <QFileInfo>

VolumeInfo FakeVolumes::volumeFor(const QString& path) const
{
    const VolumeInfo* best = nullptr;
    for (const VolumeInfo& v : m_table) {
        if (pathLiesUnder(path, v.mountPoint) && (!best || v.mountPoint.size() > best->mountPoint.size()))
            best = &v;
    }
    VolumeInfo found;
    if (best)
        found = *best;
    if (!best || (m_pathsMustExist && !QFileInfo::exists(path)))
        found.kind = DriveKind::NoRoot;
    return found;
}
