#include "main/SearchControl.h"

#include "catalogue/TemplateDatabase.h"
#include "main/ListDatabaseUpkeep.h"
#include "main/MainController.h"
#include "main/SearchHost.h"
#include "platform/AtomicFile.h"
#include "platform/Conventions.h"
#include "platform/Prompter.h"
#include "platform/StateFile.h"
#include "platform/WholeFile.h"
#include "scan/DecodingJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

SearchControl::SearchControl(
    MainController& controller, Prompter& prompter, ListDatabaseUpkeep& upkeep, SearchHost& host)
    : m_controller(controller)
    , m_prompter(prompter)
    , m_upkeep(upkeep)
    , m_host(host)
{
    m_upkeep.setSearchRunning([this] { return m_searchRunning; });
}

QString SearchControl::reviewCaption(const MainSettings& settings)
{
    QString caption = modeCaption(settings.mode);
    if (settings.softMatch)
        caption += QStringLiteral(", SOFT MATCHING");
    if (settings.ignoreExtension)
        caption += QStringLiteral(", IGNORE TYPE");
    if (!settings.ifcd.trimmed().isEmpty())
        caption += QStringLiteral(", IFCD");
    return caption;
}

QString SearchControl::slowModeWarning()
{
    return QStringLiteral("The comparison mode you have chosen requires that I read each individual file to compute "
                          "color statistics.  This will take substantially longer.  Do you wish to continue?");
}

QString SearchControl::resumeAnywayQuestion()
{
    return QStringLiteral("The Directory Pre-Scan was not completed on your last session.\r\rWould you like to "
                          "resume where you last left off anyway?");
}

bool SearchControl::copyTemplate(const QString& templatePath, const QString& target, QString* error)
{
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    QString why;
    const std::optional<QByteArray> bytes = wholefile::read(templatePath, MaxTemplateBytes, &why);
    if (!bytes)
        return fail(QStringLiteral("The template %1 cannot be read.\r\r%2").arg(templatePath, why));
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return fail(QStringLiteral("The directory %1 cannot be created.").arg(QFileInfo(target).absolutePath()));
    QString reason;
    if (!atomicfile::write(target, *bytes, &reason))
        return fail(reason);
    return true;
}

GoResult SearchControl::refuse(const QString& text)
{
    m_prompter.tell(text);
    return notStarted(ExitStatus::Refused);
}

GoResult SearchControl::stop(ExitStatus status)
{
    m_searchRunning = false;
    return notStarted(status);
}

GoResult SearchControl::notStarted(ExitStatus status)
{
    // Nobody waits at the window of a gather run: a search that does not start ends it. Gather
    // and Quit ticked by hand leaves the user at the main window.
    if (m_controller.gatherRun() && !m_searchRunning) {
        m_controller.setExitStatus(status);
        m_host.pressQuit();
        return GoResult::ProgramEnded;
    }
    return GoResult::NotStarted;
}

void SearchControl::programEnds()
{
    if (m_searchRunning)
        m_host.endDuringStage(m_controller.exitStatus());
}

GoResult SearchControl::go()
{
    MainSettings& settings = m_controller.settings();
    Session& session = m_controller.session();

    if (m_controller.writeINI() == ProgramOutcome::EndProgram) {
        m_host.endProgramNow();
        return GoResult::ProgramEnded;
    }
    if (m_controller.listSavedAutomatically()) {
        m_controller.saveList(settings.listName);
        m_host.settingsChanged();
    }
    // A name that cannot name a file in the data directory counts as no name.
    if (settings.listName.trimmed().isEmpty() || ListFiles::isUnsafeName(settings.listDatabaseName()))
        return refuse(QStringLiteral("Please name and save the directory list."));
    if (!settings.ifcd.trimmed().isEmpty() && settings.exclusive)
        return refuse(QStringLiteral("You may not combine the IFCD and Exclusive search options..."));
    if (m_searchRunning)
        return GoResult::NotStarted;

    m_searchRunning = true;
    session.SessionMode = QStringLiteral("NEW");
    session.WasSearchMinmized = false;

    // A state file left by an interrupted stage sends the search straight back to that stage; no
    // search starts while one cannot be read, or while anything but a file of the pre-scan's own
    // stands where it records the pictures it reads (a link included: that record is neither
    // written there nor removed).
    const QString refusals[] { stateFileRefusal(m_controller.stateFile(QStringLiteral("Scanning.dat"))),
        stateFileRefusal(m_controller.stateFile(QStringLiteral("Matching.dat"))),
        DecodingJournal::refusal(m_controller.stateFile(QStringLiteral("Decoding.dat"))) };
    for (const QString& refusal : refusals) {
        if (!refusal.isEmpty()) {
            m_prompter.tell(refusal);
            return stop(ExitStatus::Failed);
        }
    }
    if (QFile::exists(m_controller.stateFile(QStringLiteral("Scanning.dat"))))
        return runFrom(Step::PreScan);
    if (QFile::exists(m_controller.stateFile(QStringLiteral("Matching.dat"))))
        return runFrom(Step::PreMatch);

    settings.ifcd = settings.ifcd.trimmed();
    settings.filter = filterOrEveryName(settings.filter);
    m_host.settingsChanged();
    if (settings.tickedTypeCount() == 0) {
        m_prompter.tell(QStringLiteral("You have not selected any file types..."));
        return stop(ExitStatus::Refused);
    }

    GoResult stopped = GoResult::NotStarted;
    const Step step = prepare(stopped);
    if (step == Step::NewSearch)
        return stopped;
    return runFrom(step);
}

SearchControl::Step SearchControl::prepare(GoResult& stopped)
{
    const MainSettings& settings = m_controller.settings();
    Session& session = m_controller.session();
    const QString database = m_upkeep.listDatabasePath();
    const bool databaseExists = wholefile::present(database);

    if (!databaseExists) {
        session.StoppedAtRecord = 0;
    } else if (!settings.gather) {
        if (!session.ChangedSearch && session.StoppedAtRecord >= 1) {
            session.SessionMode = QStringLiteral("RESUME");
            m_host.showResumeDialog();
            if (session.SearchCompleted == QLatin1String("NO") && session.SessionMode == QLatin1String("RESUME")) {
                const MsgAnswer answer = m_prompter.ask(Message { resumeAnywayQuestion(),
                    QStringLiteral("Resume session?"), MsgButtons::YesNo, MsgIcon::Information, 1 });
                if (answer != MsgAnswer::Yes)
                    session.SessionMode = QStringLiteral("NEW");
            }
        } else {
            session.SessionMode = QStringLiteral("NEW");
            m_host.showResumeDialog();
        }
        if (session.SessionMode == QLatin1String("RESUME"))
            return Step::Review;
        session.StoppedAtRecord = 0;
    }

    const bool slowMode = settings.mode == ComparisonMode::AverageRgb || settings.mode == ComparisonMode::QuadrantRgb
        || settings.mode == ComparisonMode::Pattern;
    if (!session.NoWarnings && !settings.gather && slowMode) {
        const MsgAnswer answer = m_prompter.ask(
            Message { slowModeWarning(), QStringLiteral("Warning"), MsgButtons::YesNo, MsgIcon::Information, 1 });
        if (answer != MsgAnswer::Yes) {
            stopped = stop(ExitStatus::Refused);
            return Step::NewSearch;
        }
    }

    if (!databaseExists) {
        // No search may start without the list's database.
        QString error;
        const QString templatePath = m_controller.stateFile(QStringLiteral("tolq.mdb"));
        if (!copyTemplate(templatePath, database, &error)) {
            m_prompter.tell(QStringLiteral("Unable to create the list database from the template...\r\r") + error);
            stopped = stop(ExitStatus::Failed);
            return Step::NewSearch;
        }
        return Step::PreScan;
    }

    const ListFiles& lists = m_controller.listFiles();
    const QString db = settings.listDatabaseName();
    const QDate today = m_upkeep.today();
    if (!wholefile::present(m_upkeep.listTagPath())) {
        if (!lists.writeMonthTag(db, today)) {
            m_prompter.tell(QStringLiteral("Unable to create LIST TAG file"));
            stopped = stop(ExitStatus::Failed);
            return Step::NewSearch;
        }
        return Step::PreScan;
    }
    QString reason;
    const std::optional<QString> tag = lists.readMonthTag(db, &reason);
    if (!tag) {
        m_prompter.tell(QStringLiteral("Unable to read LIST TAG file\r\r") + reason);
        m_searchRunning = false;
        m_controller.setExitStatus(ExitStatus::Failed);
        m_host.endProgramNow();
        stopped = GoResult::ProgramEnded;
        return Step::NewSearch;
    }
    // A failed compaction has said so; the search goes on with the database as it was.
    if (tag->trimmed() != QString::number(today.month()))
        m_upkeep.compactListDatabase();
    return Step::PreScan;
}

GoResult SearchControl::runFrom(Step step)
{
    MainSettings& settings = m_controller.settings();
    Session& session = m_controller.session();

    if (step == Step::PreScan) {
        m_host.stopAnimation();
        m_host.hideMainWindow();
        session.SearchUnloaded = false;
        session.PreScanFailed = false;
        m_host.showPreScan();
        if (!m_host.waitUntil(session.SearchUnloaded)) {
            m_searchRunning = false;
            return GoResult::ProgramEnded;
        }
        // A pre-scan that failed has said why; the search ends there and the main window is back.
        if (session.PreScanFailed && !settings.gather) {
            m_searchRunning = false;
            m_host.showMainWindow();
            return GoResult::NotStarted;
        }
        if (settings.gather) {
            m_searchRunning = false;
            m_controller.setExitStatus(session.PreScanFailed          ? ExitStatus::Failed
                    : session.SearchCompleted == QLatin1String("YES") ? ExitStatus::Completed
                                                                      : ExitStatus::Quit);
            m_host.pressQuit();
            return GoResult::Gathered;
        }
        step = Step::PreMatch;
    }
    // A gather run that nobody can see, sent here by a left Matching.dat, finishes the interrupted
    // cycle and ends instead of waiting in a review.
    const bool unseenGather = step == Step::PreMatch && m_controller.gatherRun() && !m_host.showsWindows();
    if (step == Step::PreMatch && (settings.preMatch || unseenGather)) {
        session.PrematchUnloaded = false;
        session.PrematchFailed = false;
        m_host.showPreMatch();
        if (!m_host.waitUntil(session.PrematchUnloaded)) {
            m_searchRunning = false;
            return GoResult::ProgramEnded;
        }
        // A cycle that failed has said why; Matching.dat is kept and the main window is back.
        if (session.PrematchFailed && !unseenGather) {
            m_searchRunning = false;
            m_host.showMainWindow();
            return GoResult::NotStarted;
        }
    }
    if (unseenGather) {
        m_searchRunning = false;
        const bool finished = !QFile::exists(m_controller.stateFile(QStringLiteral("Matching.dat")));
        m_controller.setExitStatus(finished ? ExitStatus::Completed : ExitStatus::Failed);
        m_host.pressQuit();
        return GoResult::Gathered;
    }

    m_host.stopAnimation();
    m_host.hideMainWindow();
    m_host.showReview(settings.snapshot, reviewCaption(settings));
    settingschange::setSearchBox(settings.gather, false, session);
    m_searchRunning = false;
    m_host.settingsChanged();
    return GoResult::Reviewing;
}
