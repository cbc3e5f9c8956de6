#include "catalogue/CatalogueDatabase.h"

#include "catalogue/CatalogueFields.h"
#include "catalogue/TolqCaseCollation.h"
#include "platform/Prompter.h"
#include "platform/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <bit>
#include <stdexcept>

namespace {

constexpr int BusyTimeoutMs = 10000;
constexpr int StatementCacheLimit = 200;
// Row changes of FILES remembered for readers that catch up on them; a reader further behind
// reads everything afresh.
constexpr std::size_t ChangeJournalLimit = 4096;

quint32 bigEndian(const unsigned char* p, int bytes)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | p[i];
    return v;
}

// What the first page's header says about the file, before SQLite touches it. A file shorter
// than the pages its header counts has lost its tail.
QString checkHeader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("The file cannot be read (%1).").arg(file.errorString());
    const qint64 size = file.size();
    if (size == 0)
        return QStringLiteral("The file is empty.");
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return QStringLiteral("The file is not a catalogue database.");
    const auto* h = reinterpret_cast<const unsigned char*>(header.constData());
    quint32 pageSize = bigEndian(h + 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return QStringLiteral("The database is damaged (its header is not valid).");
    // A write-ahead log may hold pages the file does not have yet: then only SQLite can judge.
    const QFileInfo log(path + QStringLiteral("-wal"));
    if (log.exists() && log.size() > 0)
        return {};
    const quint32 changeCounter = bigEndian(h + 24, 4);
    const quint32 pageCount = bigEndian(h + 28, 4);
    const quint32 validFor = bigEndian(h + 92, 4);
    if (size % pageSize != 0)
        return QStringLiteral("The database is damaged (the file is cut short).");
    if (changeCounter == validFor && pageCount != 0 && quint64(size) < quint64(pageCount) * pageSize)
        return QStringLiteral("The database is damaged (the file is cut short).");
    return {};
}

QString checkFilesTable(SQLite::Database& db)
{
    SQLite::Statement info(db, "PRAGMA table_info(FILES)");
    bool seen[CatalogueFields::Count] = {};
    bool any = false;
    while (info.executeStep()) {
        any = true;
        const int field = CatalogueFields::indexOf(QString::fromUtf8(info.getColumn(1).getText()));
        if (field >= 0)
            seen[field] = true;
    }
    if (!any)
        return QStringLiteral("The database has no table FILES.");
    for (int field = 0; field < CatalogueFields::Count; ++field) {
        if (!seen[field])
            return QStringLiteral("The table FILES has no field %1.").arg(QLatin1String(CatalogueFields::name(field)));
    }
    return {};
}

QString damaged(const std::exception& e)
{
    return QStringLiteral("The database is damaged or unreadable (%1).").arg(QString::fromUtf8(e.what()));
}

} // namespace

CatalogueDatabase::CatalogueDatabase(const QString& path, std::unique_ptr<SQLite::Database> connection)
    : m_path(path)
    , m_connection(std::move(connection))
{
    sqlite3_update_hook(m_connection->getHandle(), &CatalogueDatabase::rowChanged, this);
}

CatalogueDatabase::~CatalogueDatabase()
{
    sqlite3_update_hook(m_connection->getHandle(), nullptr, nullptr);
    m_statements.clear();
    m_dataVersion.reset();
    if (m_connection && inTransaction())
        m_connection->tryExec("ROLLBACK");
}

QString CatalogueDatabase::checkFile(const QString& path)
{
    const QFileInfo info(path);
    if (const QString link = wholefile::brokenLinkText(path); !link.isEmpty())
        return link;
    if (!info.exists())
        return QStringLiteral("The file does not exist.");
    if (!info.isFile())
        return QStringLiteral("The path is not a file.");
    QString reason = checkHeader(path);
    if (!reason.isEmpty())
        return reason;
    // Reading a database in WAL mode creates its -wal and -shm files; a refused file gets
    // none left beside it.
    const QString sideFiles[] = { path + QStringLiteral("-wal"), path + QStringLiteral("-shm") };
    const bool existed[] = { QFileInfo::exists(sideFiles[0]), QFileInfo::exists(sideFiles[1]) };
    try {
        SQLite::Database db(QFile::encodeName(path).toStdString(), SQLite::OPEN_READONLY);
        if (!TolqCaseCollation::registerOn(db.getHandle())) {
            reason = QStringLiteral("The text order of the catalogue cannot be set up.");
        } else {
            SQLite::Statement check(db, "PRAGMA quick_check(1)");
            if (!check.executeStep() || QString::fromUtf8(check.getColumn(0).getText()) != QStringLiteral("ok"))
                reason = QStringLiteral("The database is damaged.");
            check.reset();
            if (reason.isEmpty())
                reason = checkFilesTable(db);
        }
    } catch (const std::exception& e) {
        reason = damaged(e);
    }
    if (!reason.isEmpty()) {
        for (int i = 0; i < 2; ++i) {
            if (!existed[i] && QFileInfo(sideFiles[i]).size() == 0)
                QFile::remove(sideFiles[i]);
        }
    }
    return reason;
}

std::unique_ptr<CatalogueDatabase> CatalogueDatabase::open(const QString& path, QString* reason)
{
    auto fail = [reason](const QString& text) {
        if (reason)
            *reason = text;
        return std::unique_ptr<CatalogueDatabase>();
    };
    // Read-only first: a file we refuse is never written to.
    const QString problem = checkFile(path);
    if (!problem.isEmpty())
        return fail(problem);
    try {
        auto db = std::make_unique<SQLite::Database>(
            QFile::encodeName(path).toStdString(), SQLite::OPEN_READWRITE, BusyTimeoutMs);
        if (sqlite3_db_readonly(db->getHandle(), "main") == 1)
            return fail(QStringLiteral("The file is read-only."));
        if (!TolqCaseCollation::registerOn(db->getHandle()))
            return fail(QStringLiteral("The text order of the catalogue cannot be set up."));
        db->exec("PRAGMA journal_mode=WAL");
        db->exec("PRAGMA synchronous=NORMAL");
        db->exec("PRAGMA cache_size=-65536");
        db->exec("PRAGMA mmap_size=1073741824");
        db->exec("PRAGMA temp_store=MEMORY");
        if (reason)
            reason->clear();
        return std::unique_ptr<CatalogueDatabase>(new CatalogueDatabase(path, std::move(db)));
    } catch (const std::exception& e) {
        return fail(damaged(e));
    }
}

QString CatalogueDatabase::failureText(const QString& path, const QString& reason)
{
    return QStringLiteral("Unable to open the catalogue %1\r\r%2").arg(path, reason);
}

std::unique_ptr<CatalogueDatabase> CatalogueDatabase::openOrTell(const QString& path, Prompter& prompter)
{
    QString reason;
    auto db = open(path, &reason);
    if (!db)
        prompter.tell(failureText(path, reason), QStringLiteral("t'olq! - Error"), MsgIcon::Critical);
    return db;
}

CatalogueDatabase::Lease CatalogueDatabase::prepare(const QByteArray& sql)
{
    auto found = m_statements.constFind(sql);
    if (found != m_statements.constEnd()) {
        // A statement still leased (nested use of the same text) gets a private twin.
        if (found.value().use_count() == 1)
            return Lease(found.value());
        return Lease(compile(sql));
    }
    if (m_statements.size() >= StatementCacheLimit) {
        for (auto it = m_statements.begin(); it != m_statements.end();) {
            if (it.value().use_count() == 1)
                it = m_statements.erase(it);
            else
                ++it;
        }
    }
    auto statement = compile(sql);
    m_statements.insert(sql, statement);
    return Lease(statement);
}

std::shared_ptr<sqlite3_stmt> CatalogueDatabase::compile(const QByteArray& sql) const
{
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v3(
        m_connection->getHandle(), sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        throw SQLite::Exception(m_connection->getHandle(), rc);
    }
    return std::shared_ptr<sqlite3_stmt>(statement, &sqlite3_finalize);
}

CatalogueDatabase::SyncedCommits::SyncedCommits(CatalogueDatabase& database)
    : m_database(database)
{
    m_database.m_connection->exec("PRAGMA synchronous=FULL");
}

CatalogueDatabase::SyncedCommits::~SyncedCommits()
{
    m_database.m_connection->tryExec("PRAGMA synchronous=NORMAL");
}

void CatalogueDatabase::checkpointSeldom()
{
    m_connection->exec("PRAGMA wal_autocheckpoint = 16384");
}

int CatalogueDatabase::execute(const QString& sql, const QVariantList& params)
{
    Lease lease = prepare(sql);
    lease.bindAll(params);
    while (lease.step()) { }
    return sqlite3_changes(m_connection->getHandle());
}

int CatalogueDatabase::executeChanging(
    CatalogueFields::FieldMask fields, const QString& sql, const QVariantList& params)
{
    int changed = 0;
    changingOnly(fields, [&] { changed = execute(sql, params); });
    return changed;
}

QVariant CatalogueDatabase::queryValue(const QString& sql, const QVariantList& params)
{
    Lease lease = prepare(sql);
    lease.bindAll(params);
    if (!lease.step())
        return {};
    sqlite3_stmt* s = lease.handle();
    switch (sqlite3_column_type(s, 0)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(s, 0)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(s, 0));
    case SQLITE_NULL:
        return {};
    default:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), sqlite3_column_bytes(s, 0));
    }
}

void CatalogueDatabase::begin()
{
    m_connection->exec("BEGIN IMMEDIATE");
}

void CatalogueDatabase::commit()
{
    m_connection->exec("COMMIT");
}

void CatalogueDatabase::rollback()
{
    if (inTransaction())
        m_connection->exec("ROLLBACK");
}

void CatalogueDatabase::rollbackQuietly() noexcept
{
    try {
        rollback();
    } catch (const std::exception&) {
        // Closing the connection drops what is left.
    }
}

void CatalogueDatabase::tellUpdateFailure(Prompter& prompter, const QString& reason)
{
    prompter.tell(QStringLiteral("The catalogue could not be updated.\r\r%1").arg(reason),
        QStringLiteral("t'olq! - Error"), MsgIcon::Critical);
}

bool CatalogueDatabase::inTransaction() const
{
    return sqlite3_get_autocommit(m_connection->getHandle()) == 0;
}

bool CatalogueDatabase::inWriteTransaction() const
{
    return sqlite3_txn_state(m_connection->getHandle(), "main") == SQLITE_TXN_WRITE;
}

void CatalogueDatabase::rowChanged(void* self, int, const char*, const char* table, qint64 rowId)
{
    auto* database = static_cast<CatalogueDatabase*>(self);
    const quint64 serial = ++database->m_reported;
    if (qstricmp(table, "FILES") != 0)
        return;
    std::deque<RowChange>& journal = database->m_filesChanges;
    journal.push_back({ serial, rowId, database->m_changing });
    if (journal.size() > ChangeJournalLimit) {
        for (CatalogueFields::FieldMask fields = journal.front().fields; fields != 0; fields &= fields - 1)
            database->m_forgottenThrough[std::size_t(std::countr_zero(fields))] = journal.front().serial;
        journal.pop_front();
    }
}

CatalogueDatabase::ChangeMark CatalogueDatabase::changeMark() const
{
    return { m_reported, sqlite3_total_changes64(m_connection->getHandle()) };
}

bool CatalogueDatabase::filesRowsChangedSince(
    const ChangeMark& mark, std::vector<std::int64_t>& rows, CatalogueFields::FieldMask fields) const
{
    const ChangeMark now = changeMark();
    if (now.reported - mark.reported != quint64(now.counted - mark.counted))
        return false;
    for (CatalogueFields::FieldMask asked = fields; asked != 0; asked &= asked - 1) {
        if (mark.reported < m_forgottenThrough[std::size_t(std::countr_zero(asked))])
            return false;
    }
    for (auto change = m_filesChanges.rbegin(); change != m_filesChanges.rend() && change->serial > mark.reported;
         ++change) {
        if (change->fields & fields)
            rows.push_back(change->rowId);
    }
    return true;
}

qint64 CatalogueDatabase::dataVersion()
{
    sqlite3* handle = m_connection->getHandle();
    // Within a read the pager's own counter moves whenever the data it reads may have changed
    // (a commit it finds at the start of the read, or one of this connection): while it stands
    // still the pragma would say what it said last, and asking it costs a statement. (A null
    // name: the main database, the only one a catalogue connection uses.)
    unsigned pager = 0;
    const bool reading = sqlite3_txn_state(handle, nullptr) != SQLITE_TXN_NONE;
    if (reading && m_lastDataVersion >= 0
        && sqlite3_file_control(handle, nullptr, SQLITE_FCNTL_DATA_VERSION, &pager) == SQLITE_OK
        && pager == m_lastPagerVersion)
        return m_lastDataVersion;
    if (!m_dataVersion)
        m_dataVersion = compile("PRAGMA data_version");
    {
        Lease lease(m_dataVersion);
        if (!lease.step())
            throw std::runtime_error("PRAGMA data_version gave no value");
        m_lastDataVersion = sqlite3_column_int64(lease.handle(), 0);
    }
    if (sqlite3_file_control(handle, nullptr, SQLITE_FCNTL_DATA_VERSION, &m_lastPagerVersion) != SQLITE_OK)
        m_lastDataVersion = -1;
    return m_lastDataVersion;
}

CatalogueDatabase::Lease::Lease(std::shared_ptr<sqlite3_stmt> statement)
    : m_statement(std::move(statement))
{
    sqlite3_reset(m_statement.get());
    sqlite3_clear_bindings(m_statement.get());
}

CatalogueDatabase::Lease::~Lease()
{
    if (m_statement)
        sqlite3_reset(m_statement.get());
}

void CatalogueDatabase::Lease::bindAll(const QVariantList& values, int firstParameter) const
{
    if (firstParameter + values.size() - 1 > sqlite3_bind_parameter_count(handle()))
        throw std::invalid_argument("more values than the statement has parameters");
    for (int i = 0; i < values.size(); ++i)
        CatalogueFields::bindValue(handle(), firstParameter + i, values.at(i));
}

bool CatalogueDatabase::Lease::step() const
{
    const int rc = sqlite3_step(m_statement.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw SQLite::Exception(sqlite3_db_handle(m_statement.get()), rc);
}
