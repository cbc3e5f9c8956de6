#include "imagestats/RecoveredSpace.h"

#include "platform/Volumes.h"

#include <QFileInfo>

std::optional<RecoveredSpace> recoverableSpace(const QString& path, const Volumes& volumes, bool hiddenToo)
{
    const QFileInfo info(path);
    if (!info.isFile() || (!hiddenToo && info.fileName().startsWith(QLatin1Char('.'))))
        return std::nullopt;
    RecoveredSpace space;
    space.bytes = info.size();
    const VolumeInfo volume = volumes.volumeFor(path);
    if (volume.kind != DriveKind::NoRoot && volume.sectorSize > 0)
        space.sectorBytes = (space.bytes / volume.sectorSize + 1) * volume.sectorSize;
    return space;
}

void AddRecoveredSpace(
    const QString& path, const Volumes& volumes, qint64& RecoveredBytes, qint64& RecoveredSectorBytes)
{
    if (const auto space = recoverableSpace(path, volumes)) {
        RecoveredBytes += space->bytes;
        RecoveredSectorBytes += space->sectorBytes;
    }
}
