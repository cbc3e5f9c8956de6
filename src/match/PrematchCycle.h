#pragma once

#include "match/ImageFacts.h"

#include <QElapsedTimer>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class CatalogueDatabase;
class FileConfirmer;
class PairWalker;
class PatternWalker;
class PrematchView;
class Prompter;
class SoundPlayer;
class SqlRecordSet;
class Yielder;
struct MainSettings;
struct RuleSettings;
struct Session;

// The ports of the cycle. The view may be null (headless).
struct PrematchPorts
{
    Yielder& yielder;
    Prompter& prompter;
    SoundPlayer& sound;
    FileConfirmer& confirmer;
    PrematchView* view = nullptr;
};

// The pre-match cycle: walks the active records of the list's catalogue in the order of the
// mode, compares each reference with its candidates by the mode's rule and marks both records
// of every match "*". Marks are written in batches; a batch is committed before Matching.dat
// moves on, so the resume file never names a step whose marks could be lost.
class PrematchCycle
{
public:
    static const QString Caption; // "t'olq - Pre-Match Cycle"
    static const QString PausedCaption; // "tolq! - Paused"

    PrematchCycle(const MainSettings& settings, Session& session, QString programDirectory, PrematchPorts ports);
    ~PrematchCycle();
    PrematchCycle(const PrematchCycle&) = delete;
    PrematchCycle& operator=(const PrematchCycle&) = delete;

    // The load's share: opens the list's database and the mode-ordered walk. When the database
    // cannot be opened the user is told and false comes back.
    bool open();
    bool isOpen() const { return m_files != nullptr; }

    // The first activation's share: resume point, the loop of steps, the last save. Then the
    // ending: the sound step and, unless gathering, the summary message.
    // A catalogue that refuses a write (a full disk) ends the run: the user is told, the marks
    // committed before stay and Matching.dat names the last step they cover; failed() is set.
    void run();
    void finish();
    bool running() const { return m_running; }
    bool failed() const { return m_failed; }

    // The buttons.
    void togglePause() { Paused = !Paused; }
    void requestQuit() { QuitRequested = true; }
    // Abort's share: the marks so far are committed and Matching.dat names the last finished
    // step; the caller then ends the program. Marks the catalogue refuses are dropped, and
    // Matching.dat keeps the last step saved before them.
    void abortCycle();
    // The unload's share: Matching.dat goes.
    void removeResumeFile();
    void closeDatabase();

    // The summary text: "1234 files read,  56 matches found ...".
    QString summaryText() const;
    QString resumeFile() const;

    // Saves (commit and Matching.dat) at most this often; 0: after every step.
    void setSaveInterval(int milliseconds) { m_saveInterval = milliseconds; }
    // Threads of the pattern step (1: the cycle's own alone); the machine's cores unless set.
    void setThreadCount(int threads);
    int threadCount() const { return m_threads; }
    // Shows progress at most this often; 0: at every landing.
    void setProgressInterval(int milliseconds) { m_progressInterval = milliseconds; }

    // The pair of the last step: in PATTERN, with the fields its checks read.
    const RecordPair& pair() const { return m_pair; }

    // Window state, under the window's names.
    bool Paused = false;
    bool QuitRequested = false;
    bool CycleDone = false;
    qint32 MatchCount = 0;
    qint32 RecordsDone = 0;

private:
    void PreMatchStep();
    void FindNextPairMatch();
    void FindNextPatternMatch();
    void MarkMatched(qint32 first, std::optional<qint32> second = std::nullopt);

    void pauseWait();
    void MoveNextUntagged();
    void showProgress(bool force);
    void saveStep(bool force);
    void openBatch();
    void writeMarks();
    void commitBatch();
    void dropBatch();

    const MainSettings& m_settings;
    Session& m_session;
    QString m_programDirectory;
    PrematchPorts m_ports;

    std::unique_ptr<CatalogueDatabase> m_database;
    std::unique_ptr<SqlRecordSet> m_files; // dboFILES
    RecordPair m_pair;
    // The pair step and the pattern step over dboFILES, with the cycle's own forward step.
    std::unique_ptr<PairWalker> m_pairWalker;
    std::unique_ptr<PatternWalker> m_patternWalker;

    bool m_running = false;
    bool m_failed = false;
    bool m_batchOpen = false;
    std::optional<qint32> m_lastFinishedReference;
    std::vector<qint32> m_pendingMarks; // RECNUMs marked, to be written with the batch
    int m_saveInterval = 200;
    int m_threads;
    int m_progressInterval = 50;
    QElapsedTimer m_sinceSave;
    QElapsedTimer m_sinceProgress;
    bool m_progressPending = false;
};
