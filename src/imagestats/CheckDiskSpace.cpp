#include "imagestats/CheckDiskSpace.h"

#include "platform/Prompter.h"
#include "platform/Volumes.h"

namespace {

const QString title = QStringLiteral("t'olq! - Low Disk Space Warning");

bool low(const VolumeInfo& volume)
{
    return double(volume.freeBytes) / 1024.0 / 1024.0 < 20.0;
}

void warn(Prompter& prompter, const QString& drive, const QString& advice)
{
    prompter.ask(Message { QStringLiteral("You have less than ") + QStringLiteral("20")
            + QStringLiteral(" meg free on drive ") + drive + QStringLiteral("\r\r") + advice,
        title, MsgButtons::Ok, MsgIcon::Critical, 1 });
}

} // namespace

void CheckDiskSpace(
    const Volumes& volumes, Prompter& prompter, const QString& systemPath, const QString& programDirectory)
{
    const VolumeInfo system = volumes.volumeFor(systemPath);
    if (system.kind == DriveKind::NoRoot)
        return;
    if (low(system))
        warn(prompter, system.mountPoint,
            QStringLiteral(
                "You should free up more drive space for Windows Virtual Memory and the t'olq! Image Database "
                "before continuing."));
    const VolumeInfo program = volumes.volumeFor(programDirectory);
    if (program.kind == DriveKind::NoRoot || program.mountPoint == system.mountPoint)
        return;
    if (low(program))
        warn(prompter, program.mountPoint,
            QStringLiteral("You should free up more drive space for the t'olq! Image Database before continuing."));
}
