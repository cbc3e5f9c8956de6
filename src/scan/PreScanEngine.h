#pragma once

#include "catalogue/CatalogueRecord.h"
#include "scan/DecodingJournal.h"
#include "scan/NameFilter.h"
#include "scan/PendingFile.h"
#include "session/DirectoryEntry.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include <QDate>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <array>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

class CatalogueDatabase;
class TableRecordSet;
class Prompter;
class Yielder;
class SoundPlayer;
class Volumes;
class PreScanView;
class StatisticsPipeline;

// Where the pre-scan works and how hard.
struct PreScanConfig
{
    QString programDirectory;
    QString databasePath; // empty: the list's database in the program directory's data/
    int threads = 0; // workers measuring files ahead of the loop; 0: one per core
    QDate today; // invalid: the system date
};

// The ports through which the pre-scan talks to the user and the machine.
struct PreScanPorts
{
    Prompter& prompter;
    Yielder& yielder;
    SoundPlayer& sound;
    const Volumes& volumes;
    PreScanView& view;
};

// The directory pre-scan of a search: prepares the catalogue, scans every list entry type by
// type, re-activates the records of the chosen mount points, and ends with the counts, a sound
// and the end messages. It keeps Scanning.dat while it runs. The window drives it; it runs
// headless as well.
class PreScanEngine
{
public:
    enum class Outcome { Completed, Quit, Aborted, Failed };

    PreScanEngine(const MainSettings& settings, Session& session, PreScanConfig config, PreScanPorts ports);
    ~PreScanEngine();
    PreScanEngine(const PreScanEngine&) = delete;
    PreScanEngine& operator=(const PreScanEngine&) = delete;

    // The 24 types in the order both passes try them: indexes into FileTypes.
    static const std::array<int, 24>& scanTypeOrder();

    // Opens the catalogue (the window's load); tells the user, sets PreScanFailed and returns false
    // when it cannot.
    bool openCatalogue();
    bool catalogueOpen() const { return m_database != nullptr; }
    // The whole run. After it the caller unloads (see unload()), except after Aborted. Failed: the
    // catalogue failed under the run, which said so; Scanning.dat stays and PreScanFailed is set.
    Outcome RunPreScan();
    bool running() const { return m_running; }

    // The window's buttons; they act at the loop's next yield.
    void requestQuit() { m_quitRequested = true; }
    void togglePause() { m_paused = !m_paused; }
    // Stops the run at once, keeps what was written and leaves Scanning.dat.
    void requestAbort();
    bool QuitRequested() const { return m_quitRequested; }
    bool Paused() const { return m_paused; }

    // The engine's share of the window's unload: Scanning.dat deleted (kept after a failure),
    // QuitRequested set, the catalogue committed and closed.
    void unload();
    // Commits what the run has written (Abort does this before the program ends).
    void commitNow();

    // Steps of the run, for the window and tests.
    void setEntry(const QString& directoryEntry);
    void ReactivateDirectoryType(const QString& fileType);

    // Files of a ticked type that the filter accepts but whose names are not valid UTF-8.
    int passedOver() const { return m_passedOver; }
    int resumeIndex() const { return m_resumeIndex; }
    QString scanningFile() const;
    CatalogueDatabase* database() const { return m_database.get(); }

private:
    // The rows of the current entry: its volume and path compared exactly, since paths keep
    // their case here (/p/A/ and /p/a/ are two directories); parameters volume, path.
    static const QString EntryRows;
    bool housekeeping();
    void bindCatalogue();
    void mendResumedEntry();
    void ReopenCatalogue();
    void beginBatch();
    void countWrite();
    // The scan of the current entry and one type; the files come from m_queue.
    void ScanDirectoryType(const QString& fileType);
    bool fixesJpeg() const;
    bool usableAhead(int entry, const ScanQueue::Listing& listing) const;
    void lookAhead();
    PendingFile* nextPending(const QString& fileType);
    void dropPending();
    void lookup(PendingFile& item);
    void recordAhead(bool needed);
    void recordReading(const QStringList& reading, bool alone, bool sync);
    StatisticsResult measure(PendingFile& item);
    StatisticsResult measureAlone(PendingFile& item);
    void commitBeforeWait(bool waitedLong);
    QString settleJournal(bool completed);
    Outcome failed(const std::exception& cause);
    bool seekRow(const QString& key, CatalogueRecord& row);
    void writeRecord(const PendingFile& item, const QString& fileType);
    void showProgress(const QString& name);
    void pauseWait();
    void endMessages();
    void tellPassedOver();
    bool typeTicked(int fileTypeIndex) const;
    bool wantsStatistics() const;

    const MainSettings& m_settings;
    Session& m_session;
    PreScanConfig m_config;
    PreScanPorts m_ports;
    std::unique_ptr<CatalogueDatabase> m_database;
    std::unique_ptr<TableRecordSet> m_rstFILES;
    std::unique_ptr<StatisticsPipeline> m_pipeline;

    double m_accessed = 0;
    FilterWords m_filter;
    // The list entries as the run read them at its start.
    std::vector<DirectoryEntry> m_entries;
    int m_entryIndex = -1;
    // The files of the scan pass, and those of them taken from the queue and not yet written,
    // the first m_lookedUpAhead of them already keyed and sought.
    std::unique_ptr<ScanQueue> m_queue;
    std::deque<PendingFile> m_pending;
    std::size_t m_lookedUpAhead = 0;
    bool m_aheadUseful = true;
    QString m_entryVolume;
    QString m_entryPath;
    int m_resumeIndex = 0;
    double m_filesCounted = 0;
    int m_writesInBatch = 0;
    int m_passedOver = 0; // files of this run whose names cannot be catalogued
    int m_directoriesPassedOver = 0; // list entries whose names cannot be opened again
    // Pictures the process died on, and pictures it died beside; from the last runs' journal.
    DecodingJournal::Contents m_lastDeaths;
    QStringList m_fatalPassedOver;
    std::unique_ptr<DecodingJournal> m_journal;
    QElapsedTimer m_sinceCommit;
    bool m_checksumMissing = false;
    bool m_rgbMissing = false;
    bool m_patternMissing = false;
    bool m_quitRequested = false;
    bool m_paused = false;
    bool m_abortRequested = false;
    bool m_failed = false;
    bool m_running = false;
};
