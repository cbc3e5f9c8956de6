#include "platform/ProgramLauncher.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Why the program could not start, as the system would say when executing it.
int launchErrorNumber(const QString& program)
{
    QString path = program;
    if (!program.contains(QLatin1Char('/'))) {
        path = QStandardPaths::findExecutable(program);
        if (path.isEmpty())
            return ENOENT;
    }
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    if (::stat(native.constData(), &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode))
        return EACCES;
    if (::access(native.constData(), X_OK) != 0)
        return errno;
    return 0;
}

} // namespace

bool launchProgram(const QString& program, const QString& file, QString* error, int* errorNumber)
{
    if (errorNumber)
        *errorNumber = 0;
    if (program.isEmpty()) {
        if (error)
            *error = QStringLiteral("No program given");
        if (errorNumber)
            *errorNumber = ENOENT;
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
    if (errorNumber)
        *errorNumber = launchErrorNumber(program);
    return false;
}
