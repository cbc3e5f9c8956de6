#include "imagestats/CheckDiskSpace.h"
#include "imagestats/OrientationTable.h"
#include "main/CommandLine.h"
#include "main/ProgramFiles.h"
#include "main/frmMAIN.h"
#include "platform/DisplayPlatform.h"
#include "platform/ExitStatus.h"
#include "platform/ProgramDirectory.h"
#include "platform/SingleInstance.h"
#include "platform/SystemVolumes.h"
#include "widgets/MessageBoxPrompter.h"

#include <QApplication>

#include <cstdio>
#include <optional>

int main(int argc, char* argv[])
{
    // Before the display is opened: the usage needs none.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (CommandLine::helpRequested(arguments)) {
        std::fputs(CommandLine::usage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    choosePlacementPlatform();
    std::optional<DisplayRequired> displayRequired(std::in_place);
    QApplication app(argc, argv);
    displayRequired.reset();
    QApplication::setApplicationName(QStringLiteral("Tolq"));
    const QString commandLine = CommandLine::fromArguments(QApplication::arguments());
    MessageBoxPrompter prompter;
    // Nobody may be watching a gather run: its messages go to standard error as well, and
    // without a display they are answered there.
    prompter.setUnattended(CommandLine::parse(commandLine).gather);

    QString error;
    if (!prepareProgramDirectory(&error)) {
        prompter.tell(error);
        return int(ExitStatus::Failed);
    }
    SingleInstance instance(programDirectory());
    if (const SingleInstance::Result lock = instance.acquire(); lock != SingleInstance::Result::Acquired) {
        prompter.tell(instance.refusalText(lock));
        return int(lock == SingleInstance::Result::HeldElsewhere ? ExitStatus::Refused : ExitStatus::Failed);
    }

    frmMAIN window(prompter, programDirectory(), commandLine);
    SystemVolumes volumes;
    window.setStartupHooks([&] { CheckDiskSpace(volumes, prompter, QStringLiteral("/"), programDirectory()); },
        [] { orientationTable(); });
    if (window.hasEnded())
        return int(window.controller().exitStatus());
    QObject::connect(
        &window, &frmMAIN::programEnds, &app,
        [&window] { QCoreApplication::exit(int(window.controller().exitStatus())); }, Qt::QueuedConnection);
    window.show();
    return QApplication::exec();
}
