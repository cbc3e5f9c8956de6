#include "scan/PreScanEngine.h"

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/TableRecordSet.h"
#include "imagestats/FixExtensions.h"
#include "imagestats/MediaPrompts.h"
#include "platform/Conventions.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"
#include "platform/Yielder.h"
#include "scan/DirectoryListing.h"
#include "scan/PreScanView.h"
#include "scan/ScanValues.h"
#include "scan/ScanningFile.h"
#include "scan/StatisticsPipeline.h"
#include "session/DirectoryEntry.h"
#include "session/FileTypes.h"

#include <QFile>
#include <QThread>

#include <SQLiteCpp/Database.h>

#include <algorithm>
#include <cmath>

namespace {

const QString warningTitle = QStringLiteral("t'olq! - Warning");
const QString missingText = QStringLiteral(
    "You have Re-Activated image records for which %1 information has not been Gathered.  This may effect the "
    "presentation of all possible duplilcates.  Please see the help file for more information on Re-Activation.");

QString passedOverText(int files)
{
    return QStringLiteral("%1 files were passed over: their names are not valid UTF-8 text, so they cannot be "
                          "catalogued.  Rename them to include them in a search.")
        .arg(files);
}

} // namespace

PreScanEngine::PreScanEngine(const MainSettings& settings, Session& session, PreScanConfig config, PreScanPorts ports)
    : m_settings(settings)
    , m_session(session)
    , m_config(std::move(config))
    , m_ports(ports)
{
    if (m_config.databasePath.isEmpty())
        m_config.databasePath = listDatabasePath(m_config.programDirectory, m_settings);
    if (!m_config.today.isValid())
        m_config.today = QDate::currentDate();
    if (m_config.threads <= 0)
        m_config.threads = qMax(1, QThread::idealThreadCount());
    m_accessed = SessionStamp(m_config.today).toDouble();
}

PreScanEngine::~PreScanEngine()
{
    dropPending();
    m_pipeline.reset();
    settleJournal(false);
    m_rstFILES.reset();
    m_database.reset();
}

const std::array<int, 24>& PreScanEngine::scanTypeOrder()
{
    static const std::array<int, 24> order = [] {
        std::array<int, 24> indexes {};
        for (int i = 0; i < FileTypeCount; ++i)
            indexes[i] = i;
        std::sort(indexes.begin(), indexes.end(),
            [](int a, int b) { return qstrcmp(FileTypes[a].extension, FileTypes[b].extension) < 0; });
        return indexes;
    }();
    return order;
}

QString PreScanEngine::scanningFile() const
{
    return scanningFilePath(m_config.programDirectory);
}

bool PreScanEngine::openCatalogue()
{
    m_rstFILES.reset();
    m_database = CatalogueDatabase::openOrTell(m_config.databasePath, m_ports.prompter);
    if (!m_database) {
        m_session.PreScanFailed = true;
        return false;
    }
    m_rstFILES = std::make_unique<TableRecordSet>(*m_database);
    m_rstFILES->setIndex(QStringLiteral("ref"));
    // The run rewrites a row for every file; the log is checkpointed at the close.
    m_database->checkpointSeldom();
    return true;
}

void PreScanEngine::requestAbort()
{
    m_abortRequested = true;
    m_quitRequested = true;
}

void PreScanEngine::commitNow()
{
    if (m_database && m_database->inTransaction())
        m_database->commit();
    m_writesInBatch = 0;
    m_sinceCommit.start();
}

void PreScanEngine::unload()
{
    // A run that did not finish (its catalogue could not be opened, or failed under it) keeps its
    // resume point for a later try.
    if (m_database && !m_failed && QFile::exists(scanningFile()))
        QFile::remove(scanningFile());
    m_quitRequested = true;
    dropPending();
    m_pipeline.reset();
    settleJournal(false);
    if (m_database) {
        try {
            commitNow();
        } catch (const std::exception&) {
            // Closing rolls back what could not be committed.
        }
    }
    m_rstFILES.reset();
    m_database.reset();
}

void PreScanEngine::setEntry(const QString& directoryEntry)
{
    const DirectoryEntry parts = DirectoryEntry::split(directoryEntry);
    m_entryVolume = parts.volume;
    m_entryPath = parts.path;
}

bool PreScanEngine::typeTicked(int fileTypeIndex) const
{
    return m_settings.fileTypes[std::size_t(fileTypeIndex)];
}

bool PreScanEngine::wantsStatistics() const
{
    const ComparisonMode mode = m_settings.mode;
    return m_settings.gather || mode == ComparisonMode::AverageRgb || mode == ComparisonMode::QuadrantRgb
        || mode == ComparisonMode::Pattern;
}

void PreScanEngine::beginBatch()
{
    if (!m_database->inTransaction())
        m_database->begin();
    m_writesInBatch = 0;
}

// Writes go in batches; a long directory does not grow one transaction without end.
void PreScanEngine::countWrite()
{
    constexpr int BatchLimit = 5000;
    if (++m_writesInBatch >= BatchLimit) {
        commitNow();
        beginBatch();
    }
}

// The record set is only a view on the open connection: reopening means committing the batch
// and starting the record set afresh.
void PreScanEngine::ReopenCatalogue()
{
    commitNow();
    m_rstFILES = std::make_unique<TableRecordSet>(*m_database);
    m_rstFILES->setIndex(QStringLiteral("ref"));
}

const QString PreScanEngine::EntryRows = QStringLiteral("DRIVEVOLUME = ? COLLATE BINARY AND PATH = ? COLLATE BINARY");

bool PreScanEngine::housekeeping()
{
    const auto step = [this](const QString& caption, const QString& sql, const QVariantList& params) {
        m_ports.view.showDirectory(caption);
        m_ports.yielder.yield();
        if (m_abortRequested)
            return false;
        m_database->execute(sql, params);
        return true;
    };
    if (!step(QStringLiteral("Preparing database...Purging deleted records"),
            QStringLiteral("DELETE FROM FILES WHERE RTAG = 'D'"), {}))
        return false;
    if (m_session.ThreeMonthPurge
        && !step(QStringLiteral("Preparing database...Purging records not accessed for 3 months"),
            QStringLiteral("DELETE FROM FILES WHERE ACCESSED < ?"), { PurgeCutoff(m_config.today).toDouble() }))
        return false;
    return step(QStringLiteral("Preparing database...Clearing tags from last search"),
        QStringLiteral("UPDATE FILES SET ACTIVE = ' ', RECNUM = 0, RTAG = ' ', REF = STAG"), {});
}

// A resumed run starts again at the entry it was working on. The rows that entry had claimed
// are released, so each file finds its own row again instead of getting a second one, and the
// count goes on from the largest number in use, so RECNUM stays unique.
void PreScanEngine::mendResumedEntry()
{
    if (m_resumeIndex < m_settings.directories.size()) {
        setEntry(m_settings.directories.at(m_resumeIndex));
        m_database->execute(
            QStringLiteral("UPDATE FILES SET REF = STAG, ACTIVE = ' ', RECNUM = 0 WHERE ACTIVE = 'X' AND ") + EntryRows,
            { m_entryVolume, m_entryPath });
    }
    const QVariant largest
        = m_database->queryValue(QStringLiteral("SELECT MAX(RECNUM) FROM FILES WHERE ACTIVE <> ' '"));
    m_filesCounted = largest.isNull() ? 0 : largest.toDouble();
}

void PreScanEngine::bindCatalogue()
{
    if (m_resumeIndex != 0)
        mendResumedEntry();
    ReopenCatalogue();
}

PreScanEngine::Outcome PreScanEngine::RunPreScan()
{
    if (!m_database)
        return Outcome::Failed;
    m_running = true;
    struct Running
    {
        bool& flag;
        ~Running() { flag = false; }
    } running { m_running };

    m_session.SearchCompleted = QStringLiteral("NO");
    m_failed = false;
    m_quitRequested = m_abortRequested;
    m_filesCounted = 0;
    m_passedOver = 0;
    m_checksumMissing = m_rgbMissing = m_patternMissing = false;
    m_filter = splitFilterWords(m_settings.filter);
    if (wantsStatistics())
        m_ports.view.showPreviewInsteadOfAnimation();
    m_resumeIndex = 0;
    if (QFile::exists(scanningFile()))
        m_resumeIndex = qMax(0, readResumeIndex(scanningFile()));
    // Read whether the run resumes or starts afresh: a picture that ended the process would end
    // a fresh run as well.
    const QString journalPath = DecodingJournal::pathIn(m_config.programDirectory);
    m_lastDeaths = DecodingJournal::read(journalPath);
    m_journal = std::make_unique<DecodingJournal>(journalPath);
    m_fatalPassedOver.clear();
    m_directoriesPassedOver = 0;
    m_sinceCommit.start();

    try {
        if (m_resumeIndex == 0 && !housekeeping()) {
            commitNow();
            return Outcome::Aborted;
        }
        bindCatalogue();
        m_pipeline = std::make_unique<StatisticsPipeline>(m_config.threads);
        m_pipeline->holdJobs();
        m_entries.clear();
        QStringList paths;
        for (const QString& entry : m_settings.directories) {
            m_entries.push_back(DirectoryEntry::split(entry));
            paths << m_entries.back().path;
        }
        QStringList fileTypes;
        for (const int type : scanTypeOrder()) {
            if (typeTicked(type))
                fileTypes << QString::fromLatin1(FileTypes[std::size_t(type)].extension);
        }
        m_queue = std::make_unique<ScanQueue>(
            paths, fileTypes, m_resumeIndex,
            [this](const QString& name, const QString& fileType) {
                return scanAccepts(m_filter, name, fileType, m_settings.notFilter);
            },
            [this](int entry, const ScanQueue::Listing& listing) { return usableAhead(entry, listing); });

        const MediaPromptSettings media { m_session.DisableFilePolling, m_session.ReactivateDrives };
        const int last = int(m_entries.size()) - 1;
        for (int entryIndex = m_resumeIndex; entryIndex <= last; ++entryIndex) {
            m_entryIndex = entryIndex;
            m_entryVolume = m_entries[std::size_t(entryIndex)].volume;
            m_entryPath = m_entries[std::size_t(entryIndex)].path;
            writeResumeIndex(scanningFile(), entryIndex);
            PromptForDirectory(m_entryVolume, m_entryPath, media, m_ports.volumes, m_ports.prompter);
            beginBatch();
            if (fixesJpeg()) {
                FixExtensions(m_entryPath, QStringLiteral(".jpeg"), QStringLiteral(".jpg"));
                FixExtensions(m_entryPath, QStringLiteral(".jpe"), QStringLiteral(".jpg"));
            }
            m_queue->enter(entryIndex);
            for (const int type : scanTypeOrder()) {
                if (typeTicked(type) && !m_quitRequested)
                    ScanDirectoryType(QString::fromLatin1(FileTypes[std::size_t(type)].extension));
            }
            // A directory name that was not valid UTF-8 where it was read does not open again
            // from its text, which holds a replacement character instead of the bytes.
            if (!m_quitRequested && !m_queue->entered().readable && m_entryPath.contains(QChar::ReplacementCharacter))
                ++m_directoriesPassedOver;
            if (m_abortRequested) {
                commitNow();
                return Outcome::Aborted;
            }
            ReopenCatalogue();
            if (m_quitRequested)
                break;
        }
        dropPending();
        m_queue.reset();

        const int lastAgain = int(m_settings.directories.size()) - 1;
        for (int entryIndex = 0; entryIndex <= lastAgain; ++entryIndex) {
            setEntry(m_settings.directories.at(entryIndex));
            const bool reactivated = liesInReactivatedDrive(m_entryPath, m_session.ReactivateDrives);
            beginBatch();
            for (const int type : scanTypeOrder()) {
                if (typeTicked(type) && !m_quitRequested && reactivated)
                    ReactivateDirectoryType(QString::fromLatin1(FileTypes[std::size_t(type)].extension));
            }
            if (m_abortRequested) {
                commitNow();
                return Outcome::Aborted;
            }
            ReopenCatalogue();
            if (m_quitRequested)
                break;
        }
    } catch (const std::exception& e) {
        // A database or a record that fails mid-run: the run did not finish, and the search goes
        // no further.
        dropPending();
        m_pipeline.reset();
        settleJournal(false); // the run has failed already
        m_database->rollbackQuietly();
        return failed(e);
    }
    m_pipeline.reset();

    const bool completed = !m_quitRequested;
    if (const QString failure = settleJournal(completed); !failure.isEmpty())
        return failed(DecodingJournal::Unwritable(failure));
    if (completed)
        m_session.SearchCompleted = QStringLiteral("YES");
    m_session.NumFilesFound = qint32(conv::roundHalfEven(m_filesCounted));
    soundStep(m_ports.sound, m_session.SoundFiles, m_settings.noSound);
    if (!m_settings.gather && !m_settings.preMatch)
        endMessages();
    else
        tellPassedOver();
    m_session.FilesRead = m_filesCounted;
    return completed ? Outcome::Completed : Outcome::Quit;
}

// Nothing is read any more. A finished run has met every picture it had to; one that did not
// finish keeps for the next the pictures of the last runs' deaths that it did not reach.
// Once per run: the end of the run, or else the unload or the engine's end. What the user is told
// when the record of those pictures could not be written; empty when it was.
QString PreScanEngine::settleJournal(bool completed)
{
    const std::unique_ptr<DecodingJournal> journal = std::move(m_journal);
    if (!journal)
        return {};
    if (completed || (m_lastDeaths.alone.isEmpty() && m_lastDeaths.suspects.isEmpty())) {
        journal->remove();
        return {};
    }
    return journal->record(m_lastDeaths.alone.values(), true, m_lastDeaths.suspects, true) ? QString()
                                                                                          : journal->failure();
}

// A run that failed under it: what was committed stays, and Scanning.dat stays for a later resume.
PreScanEngine::Outcome PreScanEngine::failed(const std::exception& cause)
{
    m_quitRequested = true;
    m_failed = true;
    m_session.PreScanFailed = true;
    const QString text = QString::fromUtf8(cause.what());
    if (dynamic_cast<const DecodingJournal::Unwritable*>(&cause))
        m_ports.prompter.tell(text);
    else
        CatalogueDatabase::tellUpdateFailure(m_ports.prompter, text);
    return Outcome::Failed;
}

void PreScanEngine::tellPassedOver()
{
    // Told whatever the options: a gather or pre-match run shows no other end message, and a
    // headless run takes the default button.
    const auto warn = [this](const QString& text) {
        m_ports.prompter.ask(Message { text, warningTitle, MsgButtons::Ok, MsgIcon::Exclamation, 1 });
    };
    if (m_passedOver > 0)
        warn(passedOverText(m_passedOver));
    if (m_directoriesPassedOver > 0)
        warn(QStringLiteral("%1 directories were passed over: their names are not valid UTF-8 text, so they cannot "
                            "be read.  Rename them to include them in a search.")
                 .arg(m_directoriesPassedOver));
    if (!m_fatalPassedOver.isEmpty())
        warn(QStringLiteral("%1 files were passed over: the program ended while it was reading them when it last "
                            "ran, so they are catalogued as files that cannot be read.\r\r%2")
                 .arg(m_fatalPassedOver.size())
                 .arg(m_fatalPassedOver.join(QLatin1Char('\r'))));
}

void PreScanEngine::endMessages()
{
    const ComparisonMode mode = m_settings.mode;
    const auto warn = [this](const char* what) {
        m_ports.prompter.ask(
            Message { missingText.arg(QLatin1String(what)), warningTitle, MsgButtons::Ok, MsgIcon::Exclamation, 1 });
    };
    if (m_checksumMissing && mode == ComparisonMode::Checksum)
        warn("CheckSum");
    if (m_rgbMissing && (mode == ComparisonMode::AverageRgb || mode == ComparisonMode::QuadrantRgb))
        warn("RGB");
    if (m_patternMissing && mode == ComparisonMode::Pattern)
        warn("Pattern");
    tellPassedOver();
    m_ports.prompter.tell(QString::number(qint64(m_filesCounted)) + QStringLiteral(" files read..."));
}
