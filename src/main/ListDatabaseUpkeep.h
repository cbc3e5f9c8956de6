#pragma once

#include <QDate>
#include <QString>
#include <functional>

class MainController;
class Prompter;

// The compaction notice window, shown while a compaction runs.
class CompactionNotice
{
public:
    virtual ~CompactionNotice() = default;
    virtual void showNotice() = 0;
    virtual void hideNotice() = 0;
    // Lets pending window events run once.
    virtual void yieldOnce() = 0;
};

// Purge and compaction of the list's catalogue database, and where its files live.
class ListDatabaseUpkeep
{
public:
    // Compacts source through workFile; false with a reason when the source stays as it was.
    using Compactor = std::function<bool(const QString& source, const QString& workFile, QString* error)>;

    ListDatabaseUpkeep(MainController& controller, Prompter& prompter, CompactionNotice& notice);

    // data/<db>.mdb, db the list name as shown or "tolqtmp" with the single database.
    QString listDatabasePath() const;
    QString listTagPath() const;
    // tolqtmp.mdb in the program directory, where the compacted copy is built.
    QString workFilePath() const;

    // cmdPURGE_Click: asks, then deletes the work file and the list's database.
    void purge();
    // cmdCOMPACT_Click: asks, then compacts.
    void compactOnRequest();
    // While it answers true a search has the database open: Purge and Compact do nothing.
    void setSearchRunning(std::function<bool()> searchRunning) { m_searchRunning = std::move(searchRunning); }
    // CompactListDatabase: true when the database was compacted (the tag then holds this month).
    bool compactListDatabase();

    void setCompactor(Compactor compactor) { m_compactor = std::move(compactor); }
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }
    QDate today() const { return m_today(); }

    static QString purgeQuestion();
    static QString compactQuestion();
    // The failure message names the mount point that holds the program directory.
    static QString compactionFailureText(const QString& programDirectory);

private:
    MainController& m_controller;
    Prompter& m_prompter;
    CompactionNotice& m_notice;
    Compactor m_compactor;
    std::function<QDate()> m_today;
    std::function<bool()> m_searchRunning;
};

// Removes a catalogue file with the engine's companions (-journal, -wal, -shm); true when none
// of them is left.
bool removeDatabaseFiles(const QString& path);
