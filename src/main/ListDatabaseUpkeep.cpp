#include "main/ListDatabaseUpkeep.h"

#include "catalogue/DatabaseCompaction.h"
#include "main/MainController.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

const char* const Companions[] = { "", "-journal", "-wal", "-shm" };

} // namespace

bool removeDatabaseFiles(const QString& path)
{
    bool gone = true;
    for (const char* suffix : Companions) {
        const QString file = path + QLatin1String(suffix);
        QFile::remove(file);
        if (QFileInfo(file).exists() || QFileInfo(file).isSymLink())
            gone = false;
    }
    return gone;
}

ListDatabaseUpkeep::ListDatabaseUpkeep(MainController& controller, Prompter& prompter, CompactionNotice& notice)
    : m_controller(controller)
    , m_prompter(prompter)
    , m_notice(notice)
    , m_compactor([](const QString& source, const QString& workFile, QString* error) {
        return compactDatabase(source, workFile, error);
    })
    , m_today([] { return QDate::currentDate(); })
{
}

QString ListDatabaseUpkeep::listDatabasePath() const
{
    return ::listDatabasePath(m_controller.programDirectory(), m_controller.settings());
}

QString ListDatabaseUpkeep::listTagPath() const
{
    return m_controller.listFiles().tagFilePath(m_controller.settings().listDatabaseName());
}

QString ListDatabaseUpkeep::workFilePath() const
{
    return QDir(m_controller.programDirectory()).filePath(QStringLiteral("tolqtmp.mdb"));
}

QString ListDatabaseUpkeep::purgeQuestion()
{
    return QStringLiteral("Do you wish to purge all records from the database?\r\rNote - You should do this to clear "
                          "orphaned records from the database if you move large numbers of files within your "
                          "directories or do not take advantage of the IFCD or if you permanently remove directories "
                          "from your main list.  If you use the IFCD, those records will naturally be purged.  There "
                          "is no harm in not purging your database, it will simply cause it to be larger than "
                          "necessary.\r\rRecords not accessed for more than 3 months will be auto-purged anyway...");
}

QString ListDatabaseUpkeep::compactQuestion()
{
    return QStringLiteral("Do you wish to compact the database?\r\rNote - This will be que'd automatically once a "
                          "month anyway.  This option is avaliable to simply allow you to maintain control of this "
                          "function should you wish compact the database more often.");
}

QString ListDatabaseUpkeep::compactionFailureText(const QString& programDirectory)
{
    // The drive of the program directory: here the mount point of its file system.
    QString root = QStorageInfo(programDirectory).rootPath();
    if (root.isEmpty())
        root = QStringLiteral("/");
    return QStringLiteral("Unable to compact the database.  You need to free up more space on drive ") + root
        + QStringLiteral("\r\rYou may continue on,  t'olq! will attempt to compact the database again next time...");
}

void ListDatabaseUpkeep::purge()
{
    if (m_searchRunning && m_searchRunning())
        return;
    const MsgAnswer answer = m_prompter.ask(
        Message { purgeQuestion(), QStringLiteral("Purge Database..."), MsgButtons::YesNo, MsgIcon::Question, 2 });
    if (answer != MsgAnswer::Yes)
        return;
    Session& session = m_controller.session();
    session.ChangedSearch = true;
    removeDatabaseFiles(workFilePath());
    const QString database = listDatabasePath();
    // A database that is still there was not purged: saying so beats a false "Purged".
    if (!removeDatabaseFiles(database)) {
        m_prompter.tell(QStringLiteral("Unable to purge the database...  It may be in use or write-protected."));
        return;
    }
    m_prompter.tell(QStringLiteral("Database Purged..."));
    session.StoppedAtRecord = 0;
    m_controller.writeINI();
}

void ListDatabaseUpkeep::compactOnRequest()
{
    if (m_searchRunning && m_searchRunning())
        return;
    const MsgAnswer answer = m_prompter.ask(
        Message { compactQuestion(), QStringLiteral("Compact Database..."), MsgButtons::YesNo, MsgIcon::Question, 2 });
    if (answer == MsgAnswer::Yes)
        compactListDatabase();
}

bool ListDatabaseUpkeep::compactListDatabase()
{
    m_notice.showNotice();
    m_notice.yieldOnce();
    // The compacted copy is written beside the database and renamed over it: the old database
    // is never removed first, so a failure at any step leaves it as it was.
    const QString workFile = workFilePath();
    removeDatabaseFiles(workFile);
    QString error;
    const bool success = m_compactor(listDatabasePath(), workFile, &error);
    if (!success)
        removeDatabaseFiles(workFile);
    m_notice.hideNotice();

    if (success) {
        const MainSettings& settings = m_controller.settings();
        if (!m_controller.listFiles().writeMonthTag(settings.listDatabaseName(), today())) {
            m_prompter.tell(QStringLiteral("Unable to create LIST TAG file"));
            return true;
        }
    } else {
        m_prompter.tell(
            compactionFailureText(m_controller.programDirectory()), QStringLiteral("Tolq"), MsgIcon::Information);
    }
    m_notice.yieldOnce();
    return success;
}
