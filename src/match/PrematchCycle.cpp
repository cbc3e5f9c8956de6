#include "match/PrematchCycle.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/SqlRecordSet.h"
#include "match/FileConfirmer.h"
#include "match/MatchCursors.h"
#include "match/MatchRules.h"
#include "match/ModeOrder.h"
#include "match/PairWalker.h"
#include "match/PatternCandidates.h"
#include "match/PatternWalker.h"
#include "match/PrematchView.h"
#include "match/ResumeFile.h"
#include "match/RuleSettings.h"
#include "platform/BusyScope.h"
#include "platform/Conventions.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"
#include "platform/Yielder.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>

namespace {

// Marks written by one statement: a statement over a whole batch holds far more memory until
// it ends, and one per mark spends most of its time starting and ending.
constexpr std::size_t MarksPerStatement = 256;

} // namespace

const QString PrematchCycle::Caption = QStringLiteral("t'olq - Pre-Match Cycle");
const QString PrematchCycle::PausedCaption = QStringLiteral("tolq! - Paused");

PrematchCycle::PrematchCycle(
    const MainSettings& settings, Session& session, QString programDirectory, PrematchPorts ports)
    : m_settings(settings)
    , m_session(session)
    , m_programDirectory(std::move(programDirectory))
    , m_ports(ports)
    , m_threads(PatternCandidates::defaultThreadCount())
{
}

void PrematchCycle::setThreadCount(int threads)
{
    m_threads = std::max(1, threads);
    if (m_patternWalker)
        m_patternWalker->setThreadCount(m_threads);
}

PrematchCycle::~PrematchCycle()
{
    // Marks not yet committed are lost as they would be in a crash: Matching.dat does not name them.
    if (m_database && m_batchOpen)
        m_database->rollback();
}

bool PrematchCycle::open()
{
    m_database = CatalogueDatabase::openOrTell(listDatabasePath(m_programDirectory, m_settings), m_ports.prompter);
    if (!m_database)
        return false;
    // The cycle commits its marks every 200 ms.
    m_database->checkpointSeldom();
    m_files = std::make_unique<SqlRecordSet>(*m_database);
    applySource(*m_files,
        buildModeRecordSource(
            m_settings.mode, m_settings.exclusive, m_settings.ignoreExtension, prematchActiveCodes()));
    m_pairWalker = std::make_unique<PairWalker>(*m_files, m_pair);
    m_pairWalker->setForwardStep([this] { MoveNextUntagged(); });
    m_patternWalker = std::make_unique<PatternWalker>(*m_database, *m_files, m_pair, QStringLiteral("X"));
    m_patternWalker->setForwardStep([this] { MoveNextUntagged(); });
    m_patternWalker->setThreadCount(m_threads);
    m_patternWalker->setStopTest([this] { return QuitRequested; });
    m_patternWalker->setWholeSlots(false);
    return true;
}

void PrematchCycle::closeDatabase()
{
    m_patternWalker.reset();
    m_pairWalker.reset();
    m_files.reset();
    m_database.reset();
}

QString PrematchCycle::resumeFile() const
{
    return resumeFilePath(m_programDirectory);
}

void PrematchCycle::run()
{
    if (!m_files)
        return;
    BusyScope running(m_running);
    RecordsDone = 0;
    m_failed = false;
    try {
        const qint32 resumeAt = QFile::exists(resumeFile()) ? readResumeFile(resumeFile()) : 0;
        if (resumeAt > 0 && !m_files->findFirst(QStringLiteral("RECNUM = ?"), { resumeAt }))
            m_files->moveFirst();
        // Never start on a record deleted in review: the walk begins at the next live one.
        if (m_files->hasCurrent() && !onLiveRecord(*m_files))
            moveNextUntagged(*m_files);
        CycleDone = false;
        QuitRequested = false;
        m_sinceSave.invalidate(); // the first step is saved at once
        m_sinceProgress.invalidate();
        // The walk reads inside the batch, so that each read does not lock and unlock the file,
        // and reads a record under its cursor only for what a step asks of it.
        openBatch();
        {
            SqlRecordSet::Walk walk(*m_files);
            while (!CycleDone && !QuitRequested) {
                PreMatchStep();
                m_lastFinishedReference = m_pair.reference.RECNUM;
                m_ports.yielder.yield();
                saveStep(false);
            }
        }
        saveStep(true);
        if (m_progressPending)
            showProgress(true);
    } catch (const std::exception& error) {
        // The catalogue refused a write (a full disk): Matching.dat still names the last step
        // whose marks were committed, so a later search resumes there. A cycle that had saved no
        // step yet leaves one that starts it again, when the disk takes it.
        dropBatch();
        if (!QFile::exists(resumeFile()))
            writeResumeFile(resumeFile(), 0);
        m_failed = true;
        CatalogueDatabase::tellUpdateFailure(m_ports.prompter, QString::fromUtf8(error.what()));
    }
}

void PrematchCycle::finish()
{
    soundStep(m_ports.sound, m_session.SoundFiles, m_settings.noSound);
    if (!m_settings.gather)
        m_ports.prompter.tell(summaryText());
}

QString PrematchCycle::summaryText() const
{
    return conv::shortestDouble(m_session.FilesRead) + QStringLiteral(" files read,  ") + QString::number(MatchCount)
        + QStringLiteral(" matches found ...");
}

void PrematchCycle::abortCycle()
{
    if (!m_database)
        return;
    try {
        writeMarks();
        commitBatch();
    } catch (const std::exception&) {
        // The program ends now: Matching.dat keeps the last step whose marks are in.
        dropBatch();
        return;
    }
    if (m_lastFinishedReference)
        writeResumeFile(resumeFile(), *m_lastFinishedReference);
}

void PrematchCycle::removeResumeFile()
{
    if (QFile::exists(resumeFile()))
        QFile::remove(resumeFile());
}

void PrematchCycle::openBatch()
{
    if (!m_batchOpen) {
        m_database->begin();
        m_batchOpen = true;
    }
}

void PrematchCycle::writeMarks()
{
    if (m_pendingMarks.empty())
        return;
    openBatch();
    // In RECNUM order, the order the rows are mostly stored in, each RECNUM once (a reference
    // with several hits); a row marked already (by an earlier batch or run) is not written again.
    std::sort(m_pendingMarks.begin(), m_pendingMarks.end());
    m_pendingMarks.erase(std::unique(m_pendingMarks.begin(), m_pendingMarks.end()), m_pendingMarks.end());
    CatalogueDatabase::Lease lease = m_database->prepare(QByteArrayLiteral(
        "UPDATE FILES SET ACTIVE = '*' WHERE RECNUM IN (SELECT value FROM json_each(?)) AND ACTIVE <> '*'"));
    m_database->changingOnly(CatalogueFields::bit(CatalogueFields::ACTIVE), [&] {
        for (std::size_t first = 0; first < m_pendingMarks.size(); first += MarksPerStatement) {
            QByteArray numbers = "[";
            for (std::size_t i = first; i < std::min(m_pendingMarks.size(), first + MarksPerStatement); ++i) {
                if (i > first)
                    numbers += ',';
                numbers += QByteArray::number(m_pendingMarks[i]);
            }
            numbers += ']';
            sqlite3_reset(lease.handle());
            sqlite3_bind_text(lease.handle(), 1, numbers.constData(), int(numbers.size()), SQLITE_TRANSIENT);
            while (lease.step()) { }
        }
    });
    m_pendingMarks.clear();
}

void PrematchCycle::commitBatch()
{
    if (m_batchOpen) {
        m_database->commit();
        m_batchOpen = false;
    }
}

void PrematchCycle::dropBatch()
{
    m_pendingMarks.clear();
    m_database->rollbackQuietly();
    m_batchOpen = false;
}

void PrematchCycle::saveStep(bool force)
{
    if (!force && m_saveInterval > 0 && m_sinceSave.isValid() && m_sinceSave.elapsed() < m_saveInterval)
        return;
    writeMarks();
    commitBatch();
    // A position that cannot be written leaves the step unsaved; the cycle goes on.
    if (m_lastFinishedReference)
        writeResumeFile(resumeFile(), *m_lastFinishedReference);
    m_sinceSave.start();
    if (!force)
        openBatch();
}

void PrematchCycle::PreMatchStep()
{
    if (m_files->isEof()) {
        CycleDone = true;
        return;
    }
    if (m_settings.mode == ComparisonMode::Pattern)
        FindNextPatternMatch();
    else
        FindNextPairMatch();
    if (m_files->isEof())
        m_files->movePrevious();
}

void PrematchCycle::MarkMatched(qint32 first, std::optional<qint32> second)
{
    ++MatchCount;
    // The marks are written with the batch they belong to, before it is committed: nothing the
    // walk reads depends on them, and the candidates held in memory know of them at once.
    for (const std::optional<qint32>& recnum : { std::optional<qint32>(first), second }) {
        if (!recnum)
            continue;
        m_pendingMarks.push_back(*recnum);
        if (PatternCandidates* candidates = m_patternWalker->loadedCandidates())
            candidates->marked(*recnum);
    }
}

void PrematchCycle::pauseWait()
{
    while (Paused) {
        if (m_ports.view)
            m_ports.view->setCaption(PausedCaption);
        m_ports.yielder.sleep(2000);
        m_ports.yielder.yield();
    }
}

void PrematchCycle::MoveNextUntagged()
{
    pauseWait();
    moveNextUntagged(*m_files);
    if (m_files->isEof())
        return;
    ++RecordsDone;
    showProgress(false);
    m_ports.yielder.yield();
}

void PrematchCycle::showProgress(bool force)
{
    if (!m_ports.view)
        return;
    if (!force && m_progressInterval > 0 && m_sinceProgress.isValid()
        && m_sinceProgress.elapsed() < m_progressInterval) {
        m_progressPending = true;
        return;
    }
    // Without a pre-scan in this run (a cycle resumed at start-up) no files were read: what is
    // left is counted on the walk itself rather than shown below zero.
    const QString left = conv::shortestDouble(m_session.FilesRead > 0
            ? m_session.FilesRead - double(RecordsDone) - 1
            : double(std::max(0, m_files->recordCount() - m_files->position() - 1)));
    const QString found = QString::number(MatchCount);
    m_ports.view->setFoundText(
        found + QStringLiteral(" matches found...  ") + left + QStringLiteral(" records left..."));
    m_ports.view->setCaption(m_ports.view->isMinimized() ? found + QStringLiteral(" / ") + left : Caption);
    m_sinceProgress.start();
    m_progressPending = false;
}

void PrematchCycle::FindNextPairMatch()
{
    if (m_pairWalker->find(
            SearchDirection::Forward, m_settings.mode, RuleSettings::from(m_settings), m_ports.confirmer))
        MarkMatched(m_pair.reference.RECNUM, m_pair.candidate.RECNUM);
    else
        CycleDone = true;
}

void PrematchCycle::FindNextPatternMatch()
{
    // Quit is asked at the top of each reference; the step then ends without a mark.
    switch (m_patternWalker->find(SearchDirection::Forward, RuleSettings::from(m_settings), &m_ports.yielder)) {
    case PatternWalker::Outcome::Hit:
        MarkMatched(m_pair.reference.RECNUM, m_pair.candidate.RECNUM);
        pauseWait();
        break;
    case PatternWalker::Outcome::End:
        CycleDone = true;
        break;
    case PatternWalker::Outcome::Stopped:
        break;
    }
}
