#pragma once

#include "catalogue/CatalogueFields.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace SQLite {
class Database;
}
struct sqlite3_stmt;
class Prompter;

// One open catalogue file (table FILES). Opening refuses, without writing a byte, a file that
// is not an SQLite database, is damaged or lacks FILES; an accepted file runs in WAL mode with
// a busy timeout and synchronous=NORMAL, and compares text with the collation TOLQCASE.
// Engine failures after opening throw SQLite::Exception (a std::runtime_error).
// Record sets keep a reference to their database: close them first.
class CatalogueDatabase
{
public:
    ~CatalogueDatabase();
    CatalogueDatabase(const CatalogueDatabase&) = delete;
    CatalogueDatabase& operator=(const CatalogueDatabase&) = delete;

    // Opens an existing catalogue; nullptr and a one-sentence reason when it cannot.
    static std::unique_ptr<CatalogueDatabase> open(const QString& path, QString* reason = nullptr);
    // The same, telling the user through the prompter when it fails.
    static std::unique_ptr<CatalogueDatabase> openOrTell(const QString& path, Prompter& prompter);
    // The message shown by openOrTell.
    static QString failureText(const QString& path, const QString& reason);
    // Checks a file read-only, as open does before it writes anything; empty when usable.
    static QString checkFile(const QString& path);

    const QString& path() const { return m_path; }

    // For a stage that rewrites row after row in many small commits (the pre-scan, the
    // pre-match cycle): the write-ahead log is copied back into the catalogue every 64 MB
    // instead of every 4 MB, so that a page written again and again is copied back once and the
    // syncs of a checkpoint come seldom. The commits stay as durable.
    void checkpointSeldom();

    // While it lives, every commit of the database is on disk when it returns (synchronous=FULL):
    // for a write that a step which cannot be undone follows, such as the removal of a file.
    // Other commits are durable at the next checkpoint.
    class SyncedCommits
    {
    public:
        explicit SyncedCommits(CatalogueDatabase& database);
        ~SyncedCommits();
        SyncedCommits(const SyncedCommits&) = delete;
        SyncedCommits& operator=(const SyncedCommits&) = delete;

    private:
        CatalogueDatabase& m_database;
    };

    // Runs an action statement (UPDATE, DELETE, INSERT) with its values bound in order to the
    // "?" parameters; returns the number of rows it changed.
    int execute(const QString& sql, const QVariantList& params = {});
    // The same for a statement that changes only the given fields of the FILES rows it writes,
    // so that readers holding other fields of those rows can keep them.
    int executeChanging(CatalogueFields::FieldMask fields, const QString& sql, const QVariantList& params = {});
    // Runs writes (statements leased from this connection) as changes of the given fields only.
    template <class Writes> void changingOnly(CatalogueFields::FieldMask fields, Writes writes)
    {
        m_changing = fields;
        try {
            writes();
        } catch (...) {
            m_changing = CatalogueFields::EveryField;
            throw;
        }
        m_changing = CatalogueFields::EveryField;
    }
    // The first column of the first row of a query, or a null QVariant when it yields none.
    QVariant queryValue(const QString& sql, const QVariantList& params = {});

    // Batching: one write transaction at a time (BEGIN IMMEDIATE). See CatalogueTransaction.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;
    // After a write the catalogue refused (a full disk, the file gone): the batch in hand goes,
    // whether or not the engine dropped it itself; what was committed stays.
    void rollbackQuietly() noexcept;
    // What a stage whose writes were refused tells the user; the engine's own words follow.
    static void tellUpdateFailure(Prompter& prompter, const QString& reason);

    // A prepared statement from the cache, reset and unbound; it is reset again when the lease
    // ends, so no read stays open and every read sees the latest committed rows.
    class Lease
    {
    public:
        explicit Lease(std::shared_ptr<sqlite3_stmt> statement);
        ~Lease();
        Lease(Lease&&) = default;
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        sqlite3_stmt* handle() const { return m_statement.get(); }
        // Binds values in order from parameter 1.
        void bindAll(const QVariantList& values, int firstParameter = 1) const;
        // One step: true while it yields a row; throws on an engine error.
        bool step() const;

    private:
        std::shared_ptr<sqlite3_stmt> m_statement;
    };
    Lease prepare(const QByteArray& sql);
    Lease prepare(const QString& sql) { return prepare(sql.toUtf8()); }

    SQLite::Database& connection() const { return *m_connection; }

    // Changes made through this connection, for readers that keep rows in memory: a running
    // count of the rows changed (any table, as the update hook reports them) with the engine's
    // own count, and the rows of FILES among the latest changes.
    struct ChangeMark
    {
        quint64 reported = 0;
        qint64 counted = 0;
        bool operator==(const ChangeMark&) const = default;
    };
    ChangeMark changeMark() const;
    // Appends the rows of FILES changed after a mark in any of the given fields. False when that
    // cannot be told: the journal no longer reaches back so far, or the connection changed rows
    // the hook does not report (a DELETE of every row, a statement that failed half-way); then
    // any row may have changed.
    bool filesRowsChangedSince(const ChangeMark& mark, std::vector<std::int64_t>& rows,
        CatalogueFields::FieldMask fields = CatalogueFields::EveryField) const;
    // What PRAGMA data_version says: it changes when another connection commits.
    qint64 dataVersion();
    bool inWriteTransaction() const;

private:
    CatalogueDatabase(const QString& path, std::unique_ptr<SQLite::Database> connection);

    std::shared_ptr<sqlite3_stmt> compile(const QByteArray& sql) const;

    QString m_path;
    std::unique_ptr<SQLite::Database> m_connection;
    QHash<QByteArray, std::shared_ptr<sqlite3_stmt>> m_statements;
    std::shared_ptr<sqlite3_stmt> m_dataVersion;
    qint64 m_lastDataVersion = -1;
    unsigned m_lastPagerVersion = 0;

    static void rowChanged(void* self, int operation, const char* database, const char* table, qint64 rowId);
    struct RowChange
    {
        quint64 serial;
        std::int64_t rowId;
        CatalogueFields::FieldMask fields;
    };
    CatalogueFields::FieldMask m_changing = CatalogueFields::EveryField; // of the statement running
    quint64 m_reported = 0;
    // For each field, the last change of it that has left the journal: a reader of other
    // fields can still be told what changed (a batch of marks does not drop every reader).
    std::array<quint64, 32> m_forgottenThrough {};
    std::deque<RowChange> m_filesChanges;
};
