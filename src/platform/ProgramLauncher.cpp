#include "platform/ProgramLauncher.h"

#include <QProcess>

bool launchProgram(const QString& program, const QString& file, QString* error)
{
    if (program.isEmpty()) {
        if (error)
            *error = QStringLiteral("No program given");
        return false;
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments({ file });
    process.setStandardInputFile(QProcess::nullDevice());
    if (process.startDetached())
        return true;
    if (error)
        *error = process.errorString();
    return false;
}
