#include "match/PrematchCycle.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueFields.h"
#include "catalogue/SqlRecordSet.h"
#include "imagestats/InvolvesIFCD.h"
#include "match/FileConfirmer.h"
#include "match/MatchCursors.h"
#include "match/MatchRules.h"
#include "match/ModeOrder.h"
#include "match/PrematchView.h"
#include "match/ResumeFile.h"
#include "match/RuleSettings.h"
#include "platform/Conventions.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"
#include "platform/Yielder.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QFile>

#include <sqlite3.h>

const QString PrematchCycle::Caption = QStringLiteral("t'olq - Pre-Match Cycle");
const QString PrematchCycle::PausedCaption = QStringLiteral("tolq! - Paused");

PrematchCycle::PrematchCycle(
    const MainSettings& settings, Session& session, QString programDirectory, PrematchPorts ports)
    : m_settings(settings)
    , m_session(session)
    , m_programDirectory(std::move(programDirectory))
    , m_ports(ports)
{
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
    m_files = std::make_unique<SqlRecordSet>(*m_database);
    applySource(*m_files,
        buildModeRecordSource(
            m_settings.mode, m_settings.exclusive, m_settings.ignoreExtension, prematchActiveCodes()));
    m_needPatternQuery = true;
    return true;
}

void PrematchCycle::closeDatabase()
{
    m_candidates.reset();
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
    m_running = true;
    RecordsDone = 0;
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
    while (!CycleDone && !QuitRequested) {
        PreMatchStep();
        m_lastFinishedReference = m_pair.reference.RECNUM;
        m_ports.yielder.yield();
        saveStep(false);
    }
    saveStep(true);
    if (m_progressPending)
        showProgress(true);
    m_running = false;
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
    commitBatch();
    if (m_lastFinishedReference)
        writeResumeFile(resumeFile(), *m_lastFinishedReference);
}

void PrematchCycle::removeResumeFile()
{
    if (QFile::exists(resumeFile()))
        QFile::remove(resumeFile());
}

void PrematchCycle::commitBatch()
{
    if (m_batchOpen) {
        m_database->commit();
        m_batchOpen = false;
    }
}

void PrematchCycle::saveStep(bool force)
{
    if (!force && m_saveInterval > 0 && m_sinceSave.isValid() && m_sinceSave.elapsed() < m_saveInterval)
        return;
    commitBatch();
    // A position that cannot be written leaves the step unsaved; the cycle goes on.
    if (m_lastFinishedReference)
        writeResumeFile(resumeFile(), *m_lastFinishedReference);
    m_sinceSave.start();
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
    if (!m_batchOpen) {
        m_database->begin();
        m_batchOpen = true;
    }
    for (const std::optional<qint32>& recnum : { std::optional<qint32>(first), second }) {
        if (!recnum)
            continue;
        m_database->execute(
            QStringLiteral("UPDATE FILES SET ACTIVE = ? WHERE RECNUM = ?"), { QStringLiteral("*"), *recnum });
        if (m_candidates)
            m_candidates->marked(*recnum);
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
    const QString left = conv::shortestDouble(m_session.FilesRead - double(RecordsDone) - 1);
    const QString found = QString::number(MatchCount);
    m_ports.view->setFoundText(
        found + QStringLiteral(" matches found...  ") + left + QStringLiteral(" records left..."));
    m_ports.view->setCaption(m_ports.view->isMinimized() ? found + QStringLiteral(" / ") + left : Caption);
    m_sinceProgress.start();
    m_progressPending = false;
}

void PrematchCycle::LoadReferenceRecord()
{
    m_pair.reference = factsOf(m_files->record());
}

void PrematchCycle::LoadCandidateRecord()
{
    m_pair.candidate = factsOf(m_files->record());
}

void PrematchCycle::FindNextPairMatch()
{
    const RuleSettings rules = RuleSettings::from(m_settings);
    ImageFacts& reference = m_pair.reference;
    ImageFacts& candidate = m_pair.candidate;
    bool matched = false;
    for (;;) {
        if (matched) {
            MarkMatched(reference.RECNUM, candidate.RECNUM);
            return;
        }
        if (m_direction == QLatin1String("PREV") || candidate.RTAG == QLatin1String("D"))
            MoveNextUntagged();
        m_direction = QStringLiteral("NEXT");
        if (m_files->isEof()) {
            CycleDone = true;
            return;
        }
        if (!(reference.RTAG == QLatin1String(" ") && candidate.RTAG != QLatin1String(" "))) {
            LoadReferenceRecord();
            MoveNextUntagged();
        }
        if (m_files->isEof()) {
            CycleDone = true;
            return;
        }
        LoadCandidateRecord();
        matched = pairVerdict(m_settings.mode, reference, candidate, rules, m_ports.confirmer);
    }
}

namespace {

// The candidate slot's record, read whole by its row; a row gone since the query reads as a
// deleted record.
ImageFacts candidateFacts(CatalogueDatabase& database, std::int64_t rowId)
{
    static const QByteArray sql = "SELECT " + CatalogueFields::columnList() + " FROM FILES WHERE rowid = ?";
    CatalogueDatabase::Lease lease = database.prepare(sql);
    sqlite3_bind_int64(lease.handle(), 1, rowId);
    CatalogueRecord record;
    if (lease.step())
        CatalogueFields::readRecord(lease.handle(), 0, record);
    else
        record.RTAG = QStringLiteral("D");
    return factsOf(record);
}

} // namespace

void PrematchCycle::FindNextPatternMatch()
{
    const RuleSettings rules = RuleSettings::from(m_settings);
    ImageFacts& reference = m_pair.reference;
    auto involvesIfcd = [&] {
        return InvolvesIFCD(reference.fileLocation(), reference.fileLocation(), rules.ifcd, rules.treeModeIfcd);
    };
    // The next live record becomes the reference; false at the end of the walk.
    auto nextReference = [&] {
        MoveNextUntagged();
        if (m_files->isEof()) {
            CycleDone = true;
            return false;
        }
        LoadReferenceRecord();
        m_needPatternQuery = true;
        return true;
    };
    for (;;) {
        if (m_files->isEof()) {
            CycleDone = true;
            return;
        }
        if (QuitRequested)
            return;
        if (reference.RTAG == QLatin1String("D")) {
            MoveNextUntagged();
            m_needPatternQuery = true;
        }
        if (m_files->isEof()) {
            CycleDone = true;
            return;
        }
        LoadReferenceRecord();
        while (!involvesIfcd()) {
            if (!nextReference())
                return;
        }
        if (m_needPatternQuery) {
            if (!m_candidates) {
                m_candidates = std::make_unique<PatternCandidates>();
                m_candidates->load(*m_database);
            }
            m_hits = m_candidates->hits(reference, rules, &m_ports.yielder);
            m_nextHit = 0;
            m_needPatternQuery = false;
        }
        while (m_nextHit < m_hits.size()) {
            const PatternCandidates::Hit hit = m_hits[m_nextHit++];
            m_pair.candidate = candidateFacts(*m_database, hit.rowId);
            if (m_pair.candidate.RTAG == QLatin1String("D") || isOneFile(reference, m_pair.candidate))
                continue;
            MarkMatched(reference.RECNUM, m_pair.candidate.RECNUM);
            pauseWait();
            return;
        }
        if (!nextReference())
            return;
    }
}
