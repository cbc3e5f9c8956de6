// The gather run as a script starts it: without a display it always ends, every message it
// shows is also on standard error, and its exit status tells how it went.

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/TemplateDatabase.h"
#include "main/ListFiles.h"
#include "main/SettingsFile.h"
#include "platform/ExitStatus.h"
#include "platform/ScriptedPrompter.h"
#include "platform/SingleInstance.h"
#include "platform/SystemVolumes.h"
#include "session/DirectoryEntry.h"

#include "FileSystemFixtures.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <grp.h>
#include <unistd.h>

Q_DECLARE_METATYPE(ExitStatus)

namespace {

constexpr uid_t Nobody = 65534;

QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../src/tolq");
}

// A program directory with its template, a settings file naming the list "General", and the list
// "Holiday" over three pictures.
struct GatherHome
{
    QTemporaryDir root;
    QString m_home;
    MainSettings settings;

    QString home() const { return m_home; }
    QString file(const QString& name) const { return home() + QLatin1Char('/') + name; }

    // The program directory is home, or one of its own when that is empty.
    explicit GatherHome(const QString& home = {})
        : m_home(home.isEmpty() ? root.filePath(QStringLiteral("home")) : home)
    {
        const QString tree = root.filePath(QStringLiteral("pictures"));
        QDir().mkpath(tree);
        QDir().mkpath(m_home);
        for (const char* name : { "one.jpg", "two.jpg", "three.jpg" }) {
            QImage image(150, 120, QImage::Format_RGB32);
            image.fill(QColor(200, 30, 60));
            image.save(tree + QLatin1Char('/') + QLatin1String(name));
        }
        writeTemplateDatabase(file(QStringLiteral("tolq.mdb")));
        ScriptedPrompter prompter;
        SystemVolumes volumes;
        settings.fileTypes[9] = true; // .JPG
        settings.directories << DirectoryEntry::forPath(tree, volumes);
        ListFiles(this->home(), prompter).saveList(QStringLiteral("Holiday"), settings);
        settings.listName = QStringLiteral("General");
        writeSettings();
    }
    void writeSettings()
    {
        ScriptedPrompter prompter;
        Session session;
        session.applyReaderPresets(home());
        SettingsFile(home(), prompter).write(settings, session);
    }
    // Everything in the program directory belongs to the user "nobody" from now on.
    void giveToNobody()
    {
        openToEveryone(root.path());
        const std::function<void(const QString&)> give = [&](const QString& path) {
            if (::lchown(QFile::encodeName(path).constData(), Nobody, Nobody) != 0)
                qWarning("cannot give %s away", qPrintable(path));
            if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink()) {
                for (const QString& name : QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
                    give(path + QLatin1Char('/') + name);
            }
        };
        give(home());
    }

    struct Run
    {
        bool finished = false;
        int status = -1;
        QString errors;
    };
    Run gather(const QString& commandLine, bool asNobody) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TOLQ_HOME"), home());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        if (asNobody) {
            process.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
                    ::_exit(99);
            });
        }
        process.start(program(), { commandLine });
        Run run;
        if (!process.waitForStarted())
            return run;
        // Guards a hang on a message; not a timing check.
        run.finished = process.waitForFinished(120000);
        if (!run.finished)
            process.kill();
        run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.errors = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }
};

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
        QTest::newRow("program volume under 20 MB")
            << "small volume" << ExitStatus::Completed << "t'olq! - Low Disk Space Warning: You have less than 20";
        QTest::newRow("no file types") << "no types" << ExitStatus::Refused
                                       << "Tolq: You have not selected any file types...";
        QTest::newRow("list on the command line missing")
            << "missing list" << ExitStatus::Refused << "Tolq: Unable to read DIR LIST file";
        QTest::newRow("another instance runs")
            << "locked" << ExitStatus::Refused << "Tolq: Another instance of t'olq! is already running...";
        QTest::newRow("catalogue is not SQLite")
            << "not sqlite" << ExitStatus::Failed << "t'olq! - Error: Unable to open the catalogue";
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
        std::unique_ptr<SmallTmpfs> volume;
        if (situation == QLatin1String("small volume")) {
            volume = std::make_unique<SmallTmpfs>(2048);
            if (!volume->mounted())
                QSKIP(qPrintable(volume->skipReason()));
        }
        GatherHome g(volume ? volume->path() : QString());
        QString commandLine = QStringLiteral("Holiday /GATHER");
        bool asNobody = false;
        std::unique_ptr<SingleInstance> holder;
        const QString database = g.file(QStringLiteral("data/Holiday.mdb"));
        if (situation == QLatin1String("no types")) {
            g.settings.fileTypes[9] = false;
            g.writeSettings();
        } else if (situation == QLatin1String("missing list")) {
            commandLine = QStringLiteral("Elsewhere /gather");
        } else if (situation == QLatin1String("locked")) {
            holder = std::make_unique<SingleInstance>(g.home());
            QCOMPARE(holder->acquire(), SingleInstance::Result::Acquired);
        } else if (situation == QLatin1String("not sqlite")) {
            QVERIFY(writeFile(database, QByteArray(2048, 'x')));
        } else if (situation.startsWith(QLatin1String("read-only"))) {
            QVERIFY(writeTemplateDatabase(database));
            QFile::remove(g.file(QStringLiteral("data/Holiday.lcd")));
            g.giveToNobody();
            asNobody = true;
            const QString target = situation == QLatin1String("read-only data") ? g.file(QStringLiteral("data"))
                : situation == QLatin1String("read-only settings")              ? g.file(QStringLiteral("TOLQ.INI"))
                                                                                : g.home();
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther));
        }
        const QByteArray settingsBefore = readFile(g.file(QStringLiteral("TOLQ.INI")));

        const GatherHome::Run run = g.gather(commandLine, asNobody);
        QVERIFY2(run.finished, "the gather run waited for an answer");
        if (asNobody && run.status == 99)
            QSKIP("cannot run the program as an unprivileged user here");
        QVERIFY2(
            run.status == int(status), qPrintable(QStringLiteral("status %1: %2").arg(run.status).arg(run.errors)));
        if (message.isEmpty())
            QVERIFY2(
                !run.errors.contains(QStringLiteral("Tolq: ")) && !run.errors.contains(QStringLiteral("t'olq! - ")),
                qPrintable(run.errors));
        else
            QVERIFY2(run.errors.contains(message), qPrintable(run.errors));

        if (status == ExitStatus::Completed) {
            auto db = CatalogueDatabase::open(database);
            QVERIFY(db);
            QCOMPARE(db->queryValue(QStringLiteral("SELECT count(*) FROM FILES WHERE ACTIVE = 'X' AND "
                                                   "length(CHECKSUM) >= 200 AND length(PXLRAY) = 100"))
                         .toInt(),
                3);
        }
        if (situation == QLatin1String("read-only settings"))
            QCOMPARE(readFile(g.file(QStringLiteral("TOLQ.INI"))), settingsBefore);
        QVERIFY(!QFile::exists(g.file(QStringLiteral("Scanning.dat"))));
    }
};

QTEST_GUILESS_MAIN(tst_GatherRun)
#include "tst_GatherRun.moc"
