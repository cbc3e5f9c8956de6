// The gather run as a script starts it: without a display it always ends, every message it
// shows is also on standard error, and its exit status tells how it went.

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/TemplateDatabase.h"
#include "main/ListFiles.h"
#include "main/SettingsFile.h"
#include "platform/ExitStatus.h"
#include "platform/SingleInstance.h"
#include "platform/SystemVolumes.h"
#include "scan/DecodingJournal.h"
#include "session/DirectoryEntry.h"

#include "FileSystemFixtures.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <optional>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(ExitStatus)

namespace {

constexpr uid_t Nobody = 65534;

QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../src/tolq");
}

// Runs the program's gather offscreen on the program directory home, as nobody when asked;
// false when it could not start or waited for an answer (a guard against a hang, not a timing).
bool runGather(QProcess& run, const QString& home, const QString& commandLine, bool asNobody = false)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TOLQ_HOME"), home);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    run.setProcessEnvironment(environment);
    if (asNobody)
        run.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
                ::_exit(99);
        });
    run.start(program(), { commandLine });
    return run.waitForStarted() && run.waitForFinished(120000);
}

// The settings name the list "General"; the list "Holiday" holds three pictures.
void prepareHome(const QString& home, const QString& tree, bool jpgTicked, bool listSavedAtGo = false)
{
    ScriptedPrompter prompter;
    SystemVolumes volumes;
    QDir().mkpath(tree);
    QDir().mkpath(home);
    for (const char* name : { "one.jpg", "two.jpg", "three.jpg" }) {
        QImage image(150, 120, QImage::Format_RGB32);
        image.fill(QColor(200, 30, 60));
        image.save(tree + QLatin1Char('/') + QLatin1String(name));
    }
    writeTemplateDatabase(home + QStringLiteral("/tolq.mdb"));
    MainSettings settings;
    Session session;
    settingstable::applyDesignValues(settings, session, home); // a first start
    settings.fileTypes[9] = jpgTicked; // .JPG
    settings.directories << DirectoryEntry::forPath(tree, volumes);
    ListFiles(home, prompter).saveList(QStringLiteral("Holiday"), settings);
    settings.listName = QStringLiteral("General");
    settings.saveList = listSavedAtGo;
    SettingsFile(home, prompter).write(settings, session);
}

// The program directory belongs to the user "nobody", who runs the program.
void giveToNobody(const QString& root, const QString& home)
{
    openToEveryone(root);
    QDirIterator it(home, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList paths { home };
    while (it.hasNext())
        paths << it.next();
    for (const QString& path : paths)
        QVERIFY(::lchown(QFile::encodeName(path).constData(), Nobody, Nobody) == 0);
}

// What a link holds, as readlink gives it; empty when the path is no link.
QByteArray linkText(const QString& path)
{
    char text[4096];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), text, sizeof text);
    return length < 0 ? QByteArray() : QByteArray(text, length);
}

// The file's inode, size and first bytes: what shows that nothing was written over it or in its
// place.
QString fileIdentity(const QString& path)
{
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return QStringLiteral("gone");
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(4096) : QByteArray("unreadable");
    return QStringLiteral("%1 %2 %3").arg(status.st_ino).arg(status.st_size).arg(QString::fromLatin1(head.toHex()));
}

} // namespace

class tst_GatherRun : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (!QFile::exists(program()))
            QSKIP("the program is not built beside the tests");
    }

    void endsWithItsStatus_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<ExitStatus>("status");
        QTest::addColumn<QString>("message"); // on standard error; empty: no message at all
        QTest::newRow("completed") << "completed" << ExitStatus::Completed << "";
        // An interrupted pre-match is finished without a review, and the run ends.
        QTest::newRow("left Matching.dat") << "matching" << ExitStatus::Completed << "";
        QTest::newRow("program volume under 20 MB")
            << "small volume" << ExitStatus::Completed << "t'olq! - Low Disk Space Warning: You have less than 20";
        // Told on standard error, and the run goes on to its end.
        QTest::newRow("a name not UTF-8")
            << "undecodable" << ExitStatus::Completed << "t'olq! - Warning: 1 files were passed over";
        QTest::newRow("a picture the last run ended on")
            << "fatal" << ExitStatus::Completed
            << "t'olq! - Warning: 1 files were passed over: the program ended while it was reading them";
        QTest::newRow("no file types") << "no types" << ExitStatus::Refused
                                       << "Tolq: You have not selected any file types...";
        QTest::newRow("list on the command line missing")
            << "missing list" << ExitStatus::Refused << "Tolq: Unable to read DIR LIST file";
        QTest::newRow("another instance runs")
            << "locked" << ExitStatus::Refused << "Tolq: Another instance of t'olq! is already running...";
        // Not read as no number: the run resumes from nothing, and the file stays.
        QTest::newRow("Scanning.dat larger than any the program writes")
            << "sparse scanning" << ExitStatus::Failed << "Tolq: Unable to read " + QStringLiteral("%1/Scanning.dat");
        // The record of the pictures being read is refused at Go and kept, never taken in silence.
        QTest::newRow("Decoding.dat larger than any record")
            << "sparse record" << ExitStatus::Failed
            << "Tolq: Unable to read %1/Decoding.dat\n\nThe file is larger than "
                + QString::number(DecodingJournal::MostBytes) + " bytes.";
        QTest::newRow("read-only Decoding.dat")
            << "read-only record" << ExitStatus::Failed
            << "Tolq: Unable to write %1/Decoding.dat\n\nThe file cannot be written ("
                + QString::fromLocal8Bit(std::strerror(EACCES)) + ").";
        QTest::newRow("catalogue is not SQLite")
            << "not sqlite" << ExitStatus::Failed << "t'olq! - Error: Unable to open the catalogue";
        QTest::newRow("read-only catalogue") << "read-only catalogue" << ExitStatus::Failed << "t'olq! - Error: ";
        QTest::newRow("read-only data folder")
            << "read-only data" << ExitStatus::Failed << "Tolq: Unable to create LIST TAG file";
        QTest::newRow("read-only settings file")
            << "read-only settings" << ExitStatus::Failed << "Tolq: Unable to create INI file";
        QTest::newRow("read-only program directory")
            << "read-only home" << ExitStatus::Failed << "is not writable (or its disk is full)";
    }
    void endsWithItsStatus()
    {
        QFETCH(QString, situation);
        QFETCH(ExitStatus, status);
        QFETCH(QString, message);
        QTemporaryDir root;
        std::optional<SmallTmpfs> volume;
        if (situation == QLatin1String("small volume")) {
            volume.emplace(2048);
            if (!volume->mounted())
                QSKIP(qPrintable(volume->skipReason()));
        }
        const QString home = volume ? volume->path() : root.filePath("home");
        const QString database = home + QStringLiteral("/data/Holiday.mdb");
        const QString settingsFile = home + QStringLiteral("/TOLQ.INI");
        prepareHome(home, root.filePath("pictures"), situation != QLatin1String("no types"));
        const QString tag = home + QStringLiteral("/data/Holiday.lcd");
        QString commandLine = QStringLiteral("Holiday /GATHER");
        SingleInstance holder(home);
        if (situation == QLatin1String("missing list"))
            commandLine = QStringLiteral("Elsewhere /gather");
        if (situation == QLatin1String("locked"))
            QCOMPARE(holder.acquire(), SingleInstance::Result::Acquired);
        if (situation == QLatin1String("matching")) {
            QVERIFY(writeTemplateDatabase(database));
            QVERIFY(writeFile(home + QStringLiteral("/Matching.dat"), " 2 \r\n"));
        }
        // Removed by its bytes: the temporary directory cannot remove what it cannot name.
        const QByteArray undecodable = QFile::encodeName(root.filePath("pictures")) + "/bad\xff.jpg";
        const auto removeUndecodable = qScopeGuard([&] { ::unlink(undecodable.constData()); });
        if (situation == QLatin1String("undecodable"))
            QVERIFY(::close(::open(undecodable.constData(), O_WRONLY | O_CREAT, 0644)) == 0);
        if (situation == QLatin1String("fatal"))
            QVERIFY(DecodingJournal(DecodingJournal::pathIn(home))
                        .record({ root.filePath("pictures/two.jpg") }, true, {}, true));
        const QString scanning = home + QStringLiteral("/Scanning.dat");
        const QString record = DecodingJournal::pathIn(home);
        if (situation.startsWith(QLatin1String("sparse"))) {
            QVERIFY(writeTemplateDatabase(database)); // so that only the program file can fail the run
            const QString sparse = situation.endsWith(QLatin1String("record")) ? record : scanning;
            QVERIFY(writeFile(sparse, "1\r\n"));
            QVERIFY(::truncate(QFile::encodeName(sparse).constData(), 10LL << 30) == 0);
        }
        if (situation == QLatin1String("read-only record"))
            QVERIFY(DecodingJournal(record).record({}, false, {}, true));
        message = message.arg(home);
        if (situation == QLatin1String("not sqlite"))
            QVERIFY(writeFile(database, QByteArray(2048, 'x')));
        const bool asNobody = situation.startsWith(QLatin1String("read-only"));
        if (asNobody) {
            QVERIFY(writeTemplateDatabase(database));
            if (situation == QLatin1String("read-only catalogue"))
                QVERIFY(writeFile(tag, ListFiles::monthTagLine(QDate::currentDate().month()).toLatin1()));
            else
                QFile::remove(tag);
            giveToNobody(root.path(), home);
            const QString target = situation.endsWith(QLatin1String("data")) ? home + QStringLiteral("/data")
                : situation.endsWith(QLatin1String("settings"))              ? settingsFile
                : situation.endsWith(QLatin1String("catalogue"))             ? database
                : situation.endsWith(QLatin1String("record"))                ? record
                                                                             : home;
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther));
        }
        const QByteArray settingsBefore = readFile(settingsFile);
        const QString recordBefore = fileIdentity(record);

        QProcess run;
        QVERIFY2(runGather(run, home, commandLine, asNobody), "the gather run waited for an answer");
        const QString errors = QString::fromLocal8Bit(run.readAllStandardError());
        if (asNobody && run.exitCode() == 99)
            QSKIP("cannot run the program as an unprivileged user here");
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QVERIFY2(run.exitCode() == int(status), qPrintable(QStringLiteral("%1: %2").arg(run.exitCode()).arg(errors)));
        if (message.isEmpty())
            QVERIFY2(!errors.contains(QStringLiteral("Tolq: ")) && !errors.contains(QStringLiteral("t'olq! - ")),
                qPrintable(errors));
        else
            QVERIFY2(errors.contains(message), qPrintable(errors));
        if (situation == QLatin1String("matching")) {
            QVERIFY(!QFile::exists(home + QStringLiteral("/Matching.dat")));
        } else if (status == ExitStatus::Completed) {
            auto db = CatalogueDatabase::open(database);
            QVERIFY(db);
            QCOMPARE(db->queryValue(QStringLiteral("SELECT count(*) FROM FILES WHERE length(PXLRAY) = 100")).toInt(),
                situation == QLatin1String("fatal") ? 2 : 3);
        }
        if (situation == QLatin1String("read-only settings"))
            QCOMPARE(readFile(settingsFile), settingsBefore);
        if (situation == QLatin1String("sparse scanning"))
            QCOMPARE(QFileInfo(scanning).size(), 10LL << 30);
        if (situation.endsWith(QLatin1String("record")))
            QCOMPARE(fileIdentity(record), recordBefore);
    }

    // A program file that is a link nobody can follow (its disk not mounted, or links that go
    // round) is not one that is missing: the run ends with the file's message and the cause, and
    // nothing is written in the link's place.
    void linkThatLeadsNowhere_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("loop");
        QTest::addColumn<QString>("message"); // on standard error; %1: the file's path, %2: the cause
        const QString cause = QStringLiteral("The path is a link that cannot be followed (%2).\n");
        const QList<QPair<QString, QString>> files {
            { "TOLQ.INI", "Tolq: Unable to read INI file\n\n" },
            { "data/Holiday.lcd", "Tolq: Unable to read LIST TAG file\n\n" },
            { "tolq.mdb",
                "Tolq: Unable to create the list database from the template...\n\nThe template %1 cannot be "
                "read.\n\n" },
            { "data/Holiday.mdb", "t'olq! - Error: Unable to open the catalogue %1\n\n" },
        };
        for (const auto& [file, message] : files) {
            QTest::newRow(qPrintable(file + ", target gone")) << file << false << message + cause;
            QTest::newRow(qPrintable(file + ", a loop")) << file << true << message + cause;
        }
    }
    void linkThatLeadsNowhere()
    {
        QFETCH(QString, file);
        QFETCH(bool, loop);
        QFETCH(QString, message);
        QTemporaryDir root;
        const QString home = root.filePath("home");
        prepareHome(home, root.filePath("pictures"), true);
        // The tag is read only beside the list's catalogue; the template only when there is none.
        if (file.endsWith(QLatin1String(".lcd")))
            QVERIFY(writeTemplateDatabase(home + QStringLiteral("/data/Holiday.mdb")));
        const QString path = home + QLatin1Char('/') + file;
        QFile::remove(path);
        const QString target = loop ? path : root.filePath("unmounted/") + file;
        QVERIFY(QFile::link(target, path));
        const QByteArray before = linkText(path);

        QProcess run;
        QVERIFY2(runGather(run, home, QStringLiteral("Holiday /GATHER")), "the gather run waited for an answer");
        const QString errors = QString::fromLocal8Bit(run.readAllStandardError());
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QVERIFY2(run.exitCode() == int(ExitStatus::Failed),
            qPrintable(QStringLiteral("%1: %2").arg(run.exitCode()).arg(errors)));
        const QString told
            = QString(message)
                  .replace(QLatin1String("%2"), QString::fromLocal8Bit(std::strerror(loop ? ELOOP : ENOENT)))
                  .replace(QLatin1String("%1"), path);
        QVERIFY2(errors.contains(told), qPrintable(errors));
        QCOMPARE(linkText(path), before);
    }

    // A settings or list file the user keeps in a folder of their own and links in stays a link:
    // the file it leads to is written anew (the gather writes the settings, and with "save list"
    // ticked the list).
    void linkToAFileStaysALink_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("written"); // what the file holds afterwards
        QTest::newRow("settings") << "TOLQ.INI" << QByteArray("Holiday");
        QTest::newRow("list") << "data/Holiday.lst" << QByteArray("] /");
    }
    void linkToAFileStaysALink()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, written);
        QTemporaryDir root;
        const QString home = root.filePath("home");
        prepareHome(home, root.filePath("pictures"), true, true);
        const QString path = home + QLatin1Char('/') + file;
        const QString target = root.filePath("own/") + QFileInfo(file).fileName();
        QVERIFY(QDir().mkpath(root.filePath("own")));
        QVERIFY(QFile::rename(path, target));
        QVERIFY(QFile::link(target, path));
        const QByteArray link = linkText(path);
        const QString before = fileIdentity(target);

        QProcess run;
        QVERIFY2(runGather(run, home, QStringLiteral("Holiday /GATHER")), "the gather run waited for an answer");
        QVERIFY2(run.exitCode() == int(ExitStatus::Completed), run.readAllStandardError().constData());
        QCOMPARE(linkText(path), link);
        QVERIFY(fileIdentity(target) != before);
        QVERIFY(readFile(target).contains(written));
        QCOMPARE(QDir(root.filePath("own")).entryList(QDir::Files | QDir::Hidden), { QFileInfo(file).fileName() });
    }
};

QTEST_GUILESS_MAIN(tst_GatherRun)
#include "tst_GatherRun.moc"
