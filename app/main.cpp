#include "imagestats/CheckDiskSpace.h"
#include "imagestats/OrientationTable.h"
#include "main/CommandLine.h"
#include "main/ProgramFiles.h"
#include "main/frmMAIN.h"
#include "platform/ProgramDirectory.h"
#include "platform/SingleInstance.h"
#include "platform/SystemVolumes.h"
#include "widgets/MessageBoxPrompter.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolq"));
    MessageBoxPrompter prompter;

    QString error;
    if (!prepareProgramDirectory(&error)) {
        prompter.tell(error);
        return 1;
    }
    SingleInstance instance(programDirectory());
    if (!instance.acquire()) {
        prompter.tell(QStringLiteral("Another instance of t'olq! is already running..."));
        return 0;
    }

    frmMAIN window(prompter, programDirectory(), CommandLine::fromArguments(QApplication::arguments()));
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
