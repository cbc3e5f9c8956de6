#include "dialogs/ExternalViewer.h"

#include "platform/ProgramLauncher.h"
#include "platform/Prompter.h"

#include <cstring>

QString viewerProgramName(const QString& viewer)
{
    return viewer.mid(viewer.lastIndexOf(QLatin1Char('/')) + 1);
}

QString useCaption(const QString& viewer)
{
    return QStringLiteral("Use ") + viewerProgramName(viewer);
}

bool launchViewer(const QString& viewer, const QString& file, Prompter& prompter)
{
    if (viewer.trimmed().isEmpty()) {
        prompter.ask(Message {
            QStringLiteral("No viewer specified..."), QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical, 1 });
        return false;
    }
    QString reason;
    int number = 0;
    if (launchProgram(viewer, file, &reason, &number))
        return true;
    const QString description = number ? QString::fromLocal8Bit(std::strerror(number)) : reason;
    prompter.ask(Message { QStringLiteral("Unable to launch viewer... Error %1 - %2").arg(number).arg(description),
        QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical, 1 });
    return false;
}
