#include "main/MainController.h"

#include "main/QuitStatistics.h"
#include "platform/Conventions.h"
#include "platform/Prompter.h"
#include "platform/StateFile.h"

#include <QDir>
#include <QFile>

MainController::MainController(QString programDirectory, Prompter& prompter)
    : m_programDirectory(std::move(programDirectory))
    , m_prompter(prompter)
    , m_settingsFile(m_programDirectory, prompter)
    , m_listFiles(m_programDirectory, prompter)
{
}

QString MainController::stateFile(const QString& name) const
{
    return QDir(m_programDirectory).filePath(name);
}

ProgramOutcome MainController::load()
{
    m_firstActivation = true;
    if (!m_settingsFile.exists()) {
        settingstable::applyDesignValues(m_settings, m_session, m_programDirectory);
        if (writeINI() == ProgramOutcome::EndProgram)
            return ProgramOutcome::EndProgram;
        m_firstRun = true;
    }
    // The settings file fills the list later.
    m_settings.directories.clear();
    return ProgramOutcome::Continue;
}

ProgramOutcome MainController::activate(StartupServices& services, const CommandLine& commandLine)
{
    if (m_firstActivation && firstActivationSequence(services, commandLine) == ProgramOutcome::EndProgram)
        return ProgramOutcome::EndProgram;
    if (m_firstRun) {
        m_firstRun = false;
        services.openHelp();
    }
    const ProgramOutcome written = writeINI();
    services.settingsChanged();
    return written;
}

ProgramOutcome MainController::firstActivationSequence(StartupServices& services, const CommandLine& commandLine)
{
    services.yieldOnce();
    if (readINI() == ProgramOutcome::EndProgram)
        return ProgramOutcome::EndProgram;
    services.settingsChanged();
    services.checkDiskSpace();
    services.buildOrientationTable();
    if (services.screenColours() <= 256)
        m_prompter.tell(QStringLiteral("You should increase your screen color resolution for better performance..."));
    m_firstActivation = false;
    m_session.ChangedSearch = false;
    services.yieldOnce();

    if (!commandLine.isEmpty()) {
        m_session.ChangedSearch = true;
        // A gather run of a list that cannot be read would gather another list: it ends instead.
        if (!commandLine.listName.isEmpty() && !loadList(commandLine.listName) && commandLine.gather
            && conv::upper(commandLine.listName) != QLatin1String("GENERAL")) {
            m_exitStatus = ExitStatus::Refused;
            return ProgramOutcome::EndProgram;
        }
        if (commandLine.gather) {
            settingschange::setSearchBox(m_settings.gather, true, m_session);
            services.settingsChanged();
            m_gatherRun = true;
            const ProgramOutcome gathered = services.pressGo();
            m_gatherRun = false;
            if (gathered == ProgramOutcome::EndProgram)
                return ProgramOutcome::EndProgram;
        }
        services.settingsChanged();
    }

    if (offerRecovery(services, QStringLiteral("Scanning.dat"),
            QStringLiteral("t'olq! appears to have crashed during a Pre-Scan.  Do you wish to continue the scan?"))
        == ProgramOutcome::EndProgram)
        return ProgramOutcome::EndProgram;
    return offerRecovery(services, QStringLiteral("Matching.dat"),
        QStringLiteral("t'olq! appears to have crashed during a Pre-Match.  Do you wish to continue the scan?"));
}

ProgramOutcome MainController::offerRecovery(
    StartupServices& services, const QString& stateName, const QString& question)
{
    const QString path = stateFile(stateName);
    // Something other than a file in its place offers nothing to resume and is not the
    // program's to remove: the user is told, and Go refuses until it is gone.
    const QString refusal = stateFileRefusal(path);
    if (!refusal.isEmpty()) {
        m_prompter.tell(refusal);
        return ProgramOutcome::Continue;
    }
    if (!QFile::exists(path))
        return ProgramOutcome::Continue;
    const MsgAnswer answer = m_prompter.ask(
        Message { question, QStringLiteral("tolq! - Crash recovery"), MsgButtons::YesNo, MsgIcon::Critical, 1 });
    if (answer == MsgAnswer::Yes)
        return services.pressGo();
    QFile::remove(path);
    return ProgramOutcome::Continue;
}

ProgramOutcome MainController::quit(StatsPresenter& presenter)
{
    if (m_session.ShowEndStats && !m_settings.gather) {
        const QString text = quitStatisticsText(m_session.NumberDeleted, m_session.RecoveredBytes,
            m_session.RecoveredSectorBytes, m_session.TotalSectorBytes, m_session.TotalDeleted);
        if (presenter.showStatistics(text) == StatsAnswer::OkDoNotDisplay) {
            m_session.ShowEndStats = false;
            m_prompter.tell(reenableStatisticsNote(), QStringLiteral("Tolq"), MsgIcon::Information);
        }
    }
    if (writeINI() == ProgramOutcome::Continue && listSavedAutomatically())
        saveList(m_settings.listName);
    return ProgramOutcome::EndProgram;
}

ProgramOutcome MainController::writeINI()
{
    const ProgramOutcome outcome = m_settingsFile.write(m_settings, m_session);
    if (outcome == ProgramOutcome::EndProgram)
        m_exitStatus = ExitStatus::Failed;
    return outcome;
}

ProgramOutcome MainController::readINI()
{
    const ProgramOutcome outcome
        = m_settingsFile.read(m_settings, m_session, [this](const QString& name) { loadList(name); });
    if (outcome == ProgramOutcome::EndProgram)
        m_exitStatus = ExitStatus::Failed;
    return outcome;
}

bool MainController::saveList(const QString& name)
{
    return m_listFiles.saveList(name, m_settings);
}

bool MainController::loadList(const QString& name)
{
    return m_listFiles.loadList(name, m_settings);
}

bool MainController::listSavedAutomatically() const
{
    return conv::upper(m_settings.listName) == QLatin1String("GENERAL") || m_settings.saveList;
}

QPoint MainController::placement(QSize screenTwips, QSize windowTwips)
{
    const bool large = screenTwips.width() >= 12000 || screenTwips.height() >= 9000;
    const double divisor = large ? 4.0 : 2.0;
    return QPoint(int(conv::roundHalfEven((screenTwips.width() - windowTwips.width()) / divisor)),
        int(conv::roundHalfEven((screenTwips.height() - windowTwips.height()) / divisor)));
}
