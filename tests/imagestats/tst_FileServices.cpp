#include "CallStops.h"
#include "FakeVolumes.h"
#include "FileSystemFixtures.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include "imagestats/CheckDiskSpace.h"
#include "imagestats/CurrentDate.h"
#include "imagestats/FileCompare.h"
#include "imagestats/FixExtensions.h"
#include "imagestats/InvolvesIFCD.h"
#include "imagestats/MediaPrompts.h"
#include "imagestats/RecoveredSpace.h"
#include "imagestats/RecycleFiles.h"
#include "imagestats/ScreenColours.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using Words = std::vector<std::int16_t>;
Q_DECLARE_METATYPE(Words)

class tst_FileServices : public QObject
{
    Q_OBJECT

    static VolumeInfo volume(const QString& mount, qint64 freeBytes, DriveKind kind = DriveKind::Fixed)
    {
        VolumeInfo v;
        v.mountPoint = mount;
        v.freeBytes = freeBytes;
        v.kind = kind;
        v.sectorSize = 512;
        return v;
    }

private Q_SLOTS:
    void readFileIntoArray_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("words");
        QTest::addColumn<Words>("expected");
        QTest::newRow("odd length: high byte of the last word stays")
            << QByteArray("\x01\x02\x03", 3) << 3 << Words { 0x0201, 0x0003, 0 };
        QTest::newRow("negative words") << QByteArray("\xff\xff\x00\x80", 4) << 2 << Words { -1, -32768 };
        QTest::newRow("reads no more than the array holds")
            << QByteArray("\x01\x00\x02\x00\x03\x00", 6) << 2 << Words { 1, 2 };
    }
    void readFileIntoArray()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, words);
        QFETCH(Words, expected);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("f.bin")), bytes));
        Words array(std::size_t(words), 0);
        ReadFileIntoArray(dir.filePath(QStringLiteral("f.bin")), array);
        QCOMPARE(array, expected);
    }

    void readFileIntoArrayLeavesTheRest()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("f.bin")), QByteArray(100, '\x11')));
        Words array(201, 7);
        ReadFileIntoArray(dir.filePath(QStringLiteral("f.bin")), array);
        QCOMPARE(array[49], std::int16_t(0x1111));
        QCOMPARE(array[50], std::int16_t(7));
        QCOMPARE(array[200], std::int16_t(7));
        // No file: nothing created, nothing changed.
        Words untouched(4, 9);
        ReadFileIntoArray(dir.filePath(QStringLiteral("none.bin")), untouched);
        QCOMPARE(untouched, Words(4, 9));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("none.bin"))));
    }

    void filesIdentical_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<bool>("secondExists");
        QTest::addColumn<bool>("same");
        const QByteArray big = severalChunks();
        QByteArray bigLastByte = big;
        bigLastByte[bigLastByte.size() - 1] = char(bigLastByte.back() ^ 1);
        QTest::newRow("two copies") << QByteArray("abcdef") << QByteArray("abcdef") << true << true;
        QTest::newRow("first two bytes differ") << QByteArray("xxcdef") << QByteArray("abcdef") << true << false;
        QTest::newRow("last byte differs") << QByteArray("abcdef") << QByteArray("abcdeg") << true << false;
        QTest::newRow("second is shorter") << QByteArray("abcdef") << QByteArray("abc") << true << false;
        QTest::newRow("second is a longer copy") << QByteArray("abc") << QByteArray("abc\0", 4) << true << false;
        QTest::newRow("second is missing") << QByteArray("abc") << QByteArray() << false << false;
        QTest::newRow("two empty files") << QByteArray() << QByteArray() << true << true;
        QTest::newRow("several chunks, equal") << big << big << true << true;
        QTest::newRow("several chunks, last byte differs") << big << bigLastByte << true << false;
    }
    void filesIdentical()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(bool, secondExists);
        QFETCH(bool, same);
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.jpg"));
        const QString b = dir.filePath(QStringLiteral("b.jpg"));
        QVERIFY(writeFile(a, first));
        if (secondExists)
            QVERIFY(writeFile(b, second));
        FakeVolumes volumes;
        ScriptedPrompter prompter;
        const MediaPromptSettings noPolling { true, QString() };
        QCOMPARE(FilesIdentical(QStringLiteral("[]"), a, QStringLiteral("[]"), b, noPolling, volumes, prompter), same);
        QVERIFY(prompter.messages().isEmpty());
    }

    void checkDiskSpace_data()
    {
        QTest::addColumn<QList<VolumeInfo>>("mounted");
        QTest::addColumn<QString>("programDirectory");
        QTest::addColumn<QStringList>("drives");
        const qint64 mb = 1024 * 1024;
        QTest::newRow("19.9 MB warns") << QList<VolumeInfo> { volume("/", qint64(19.9 * mb)) }
                                       << "/home/u/.local/share/tolq" << QStringList { "/" };
        QTest::newRow("exactly 20 MB does not")
            << QList<VolumeInfo> { volume("/", 20 * mb) } << "/opt/tolq" << QStringList {};
        QTest::newRow("program on the same file system: one message")
            << QList<VolumeInfo> { volume("/", 10 * mb) } << "/opt/tolq" << QStringList { "/" };
        QTest::newRow("both low: two messages") << QList<VolumeInfo> { volume("/", 10 * mb), volume("/data", 5 * mb) }
                                                << "/data/tolq" << QStringList { "/", "/data" };
        QTest::newRow("plenty on the system, program still checked")
            << QList<VolumeInfo> { volume("/", 3LL * 1024 * mb), volume("/data", 5 * mb) } << "/data/tolq"
            << QStringList { "/data" };
        QTest::newRow("unreadable system ends the check")
            << QList<VolumeInfo> { volume("/data", 5 * mb) } << "/data/tolq" << QStringList {};
        QTest::newRow("unreadable program directory")
            << QList<VolumeInfo> { volume("/", 5 * mb), volume("/data", 5 * mb) } << "//server/share"
            << QStringList { "/" };
    }
    void checkDiskSpace()
    {
        QFETCH(QList<VolumeInfo>, mounted);
        QFETCH(QString, programDirectory);
        QFETCH(QStringList, drives);
        FakeVolumes volumes(mounted, false);
        ScriptedPrompter prompter;
        CheckDiskSpace(volumes, prompter, QStringLiteral("/"), programDirectory);
        QCOMPARE(prompter.messages().size(), drives.size());
        for (int i = 0; i < drives.size(); ++i) {
            const Message& m = prompter.messages().at(i);
            QCOMPARE(m.title, QStringLiteral("t'olq! - Low Disk Space Warning"));
            QCOMPARE(m.icon, MsgIcon::Critical);
            QCOMPARE(m.buttons, MsgButtons::Ok);
            const QString advice = i == 0 && drives[0] == QLatin1String("/")
                ? QStringLiteral("You should free up more drive space for Windows Virtual Memory and the t'olq! Image "
                                 "Database before continuing.")
                : QStringLiteral(
                    "You should free up more drive space for the t'olq! Image Database before continuing.");
            QCOMPARE(m.text,
                QStringLiteral("You have less than 20 meg free on drive ") + drives[i] + QStringLiteral("\r\r")
                    + advice);
        }
    }

    void addRecoveredSpace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("length");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<qint64>("sectorBytes");
        QTest::newRow("1000 bytes") << "a.jpg" << 1000 << qint64(1000) << qint64(1024);
        QTest::newRow("1024 bytes: one sector more") << "a.jpg" << 1024 << qint64(1024) << qint64(1536);
        QTest::newRow("empty file: one sector") << "a.jpg" << 0 << qint64(0) << qint64(512);
        QTest::newRow("missing file") << "" << 0 << qint64(0) << qint64(0);
        QTest::newRow("hidden file counts as missing") << ".a.jpg" << 10 << qint64(0) << qint64(0);
    }
    void addRecoveredSpace()
    {
        QFETCH(QString, name);
        QFETCH(int, length);
        QFETCH(qint64, bytes);
        QFETCH(qint64, sectorBytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(name.isEmpty() ? QStringLiteral("none.jpg") : name);
        if (!name.isEmpty())
            QVERIFY(writeFile(path, QByteArray(length, 'x')));
        FakeVolumes volumes({ volume(dir.path(), 0) });
        qint64 recovered = 5'000'000'000LL; // beyond 32 bits already
        qint64 recoveredSectors = 7;
        AddRecoveredSpace(path, volumes, recovered, recoveredSectors);
        QCOMPARE(recovered, 5'000'000'000LL + bytes);
        QCOMPARE(recoveredSectors, 7 + sectorBytes);
    }

    void fixExtensions_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("plain") << QStringList { "A.jpeg", "b.JPEG" } << QStringList { "A.jpg", "b.jpg" };
        QTest::newRow("clash gives A1") << QStringList { "A.jpeg", "A.jpg" } << QStringList { "A.jpg", "A1.jpg" };
        QTest::newRow("clash gives A2") << QStringList { "A.jpeg", "A.jpg", "A1.jpg" }
                                        << QStringList { "A.jpg", "A1.jpg", "A2.jpg" };
        QTest::newRow("hidden files and other types stay")
            << QStringList { ".x.jpeg", "c.jpe", "d.jpeg.txt" } << QStringList { ".x.jpeg", "c.jpe", "d.jpeg.txt" };
    }
    void fixExtensions()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QTemporaryDir dir;
        for (const QString& name : before)
            QVERIFY(writeFile(dir.filePath(name), name.toUtf8()));
        FixExtensions(dir.path() + QLatin1Char('/'), QStringLiteral(".jpeg"), QStringLiteral(".jpg"));
        QStringList found = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        after.sort();
        QCOMPARE(found, after);
        // Nothing was overwritten: every original content is still there.
        QStringList contents;
        for (const QString& name : found)
            contents << QString::fromUtf8(readFile(dir.filePath(name)));
        contents.sort();
        before.sort();
        QCOMPARE(contents, before);
    }

    void fixExtensionsAtMostAThousand()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 1500; ++i)
            QVERIFY(writeFile(dir.filePath(QStringLiteral("p%1.jpe").arg(i, 4, 10, QLatin1Char('0'))), "x"));
        FixExtensions(dir.path() + QLatin1Char('/'), QStringLiteral(".jpe"), QStringLiteral(".jpg"));
        QCOMPARE(QDir(dir.path()).entryList({ QStringLiteral("*.jpg") }, QDir::Files).size(), 1000);
        QCOMPARE(QDir(dir.path()).entryList({ QStringLiteral("*.jpe") }, QDir::Files).size(), 500);
        FixExtensions(dir.path() + QLatin1Char('/'), QStringLiteral(".jpe"), QStringLiteral(".jpg"));
        QCOMPARE(QDir(dir.path()).entryList({ QStringLiteral("*.jpg") }, QDir::Files).size(), 1500);
    }

    void recycleFiles_data()
    {
        // Where the picture ends up ("" : it stays) and the Path its information file gives.
        // $HOME is the test's home, $TOP the top of another mount, $UID the user's number.
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("trashed");
        QTest::addColumn<QString>("pathLine");
        const QString name = QStringLiteral("a b%.jpg");
        const QString encoded = QStringLiteral("a%20b%25.jpg");
        const QString home = QStringLiteral("$HOME/data/Trash/files/") + name;
        QTest::newRow("home trash") << "" << home << "$HOME/pics/" + encoded;
        QTest::newRow("name taken in the trash") << "name taken"
                                                 << "$HOME/data/Trash/files/a b%.2.jpg"
                                                 << "$HOME/pics/" + encoded;
        QTest::newRow("missing file") << "missing"
                                      << ""
                                      << "";
        QTest::newRow("info folder read-only") << "info read-only"
                                               << ""
                                               << "";
        QTest::newRow("files folder read-only") << "files read-only"
                                                << ""
                                                << "";
        QTest::newRow("Trash is a plain file") << "Trash a file"
                                               << ""
                                               << "";
        QTest::newRow("data home missing: made with its parents")
            << "data home missing"
            << "$HOME/absent/share/Trash/files/" + name << "$HOME/pics/" + encoded;
        QTest::newRow("fresh account: no data home and no ~/.local")
            << "fresh account"
            << "$HOME/.local/share/Trash/files/" + name << "$HOME/pics/" + encoded;
        QTest::newRow("relative data home: the default one")
            << "data home relative"
            << "$HOME/.local/share/Trash/files/" + name << "$HOME/pics/" + encoded;
        QTest::newRow("another mount: its own trash, path from the top")
            << "other mount"
            << "$TOP/.Trash-$UID/files/" + name << "pics/" + encoded;
        QTest::newRow("another mount, shared trash") << "shared .Trash"
                                                     << "$TOP/.Trash/$UID/files/" + name << "pics/" + encoded;
        QTest::newRow("another mount, shared trash without the sticky bit")
            << "unsticky .Trash"
            << "$TOP/.Trash-$UID/files/" + name << "pics/" + encoded;
        QTest::newRow("another mount, shared trash is a link") << "linked .Trash"
                                                               << "$TOP/.Trash-$UID/files/" + name << "pics/" + encoded;
    }
    void recycleFiles()
    {
        QFETCH(QString, fault);
        QFETCH(QString, trashed);
        QFETCH(QString, pathLine);
        QTemporaryDir root;
        const QString home = root.filePath(QStringLiteral("home"));
        const QString cwd = root.filePath(QStringLiteral("cwd"));
        QVERIFY(QDir().mkpath(home + QStringLiteral("/data/Trash/files")));
        QVERIFY(QDir().mkpath(home + QStringLiteral("/data/Trash/info")));
        QVERIFY(QDir().mkpath(home + QStringLiteral("/.local/share")));
        QVERIFY(QDir().mkpath(cwd));
        const bool otherMount = fault.endsWith(QLatin1String("mount")) || fault.endsWith(QLatin1String(".Trash"));
        SmallTmpfs mount(256);
        if (otherMount && !mount.mounted())
            QSKIP(qPrintable(mount.skipReason()));
        const QString top = mount.path();
        const QString picture = (otherMount ? top : home) + QStringLiteral("/pics/a b%.jpg");
        if (fault != QLatin1String("missing"))
            QVERIFY(writeFile(picture, "jpeg"));
        QByteArray dataHome = QFile::encodeName(home + QStringLiteral("/data"));
        std::optional<ReadOnlyFolder> readOnly;
        if (fault == QLatin1String("name taken")) {
            QVERIFY(writeFile(home + QStringLiteral("/data/Trash/files/a b%.jpg"), "older"));
            QVERIFY(writeFile(home + QStringLiteral("/data/Trash/info/a b%.jpg.trashinfo"), "older"));
        } else if (fault.endsWith(QLatin1String(" read-only"))) {
            readOnly.emplace(home + QStringLiteral("/data/Trash/") + fault.section(QLatin1Char(' '), 0, 0));
            if (!readOnly->made())
                QSKIP(qPrintable(readOnly->skipReason()));
        } else if (fault == QLatin1String("Trash a file")) {
            QVERIFY(QDir(home + QStringLiteral("/data/Trash")).removeRecursively());
            QVERIFY(writeFile(home + QStringLiteral("/data/Trash"), "not a folder"));
        } else if (fault == QLatin1String("data home missing")) {
            dataHome = QFile::encodeName(home + QStringLiteral("/absent/share"));
        } else if (fault == QLatin1String("fresh account")) {
            QVERIFY(QDir(home + QStringLiteral("/.local")).removeRecursively());
            dataHome.clear();
        } else if (fault == QLatin1String("data home relative")) {
            dataHome = "data";
        } else if (fault == QLatin1String("shared .Trash") || fault == QLatin1String("unsticky .Trash")) {
            QVERIFY(QDir().mkdir(top + QStringLiteral("/.Trash")));
            QVERIFY(chmod(QFile::encodeName(top + QStringLiteral("/.Trash")).constData(),
                        fault.startsWith(QLatin1String("shared")) ? 01777 : 0777)
                == 0);
        } else if (fault == QLatin1String("linked .Trash")) {
            QVERIFY(QDir().mkdir(top + QStringLiteral("/shared")));
            QVERIFY(chmod(QFile::encodeName(top + QStringLiteral("/shared")).constData(), 01777) == 0);
            QVERIFY(QFile::link(top + QStringLiteral("/shared"), top + QStringLiteral("/.Trash")));
        }

        // The step runs in a child process, so one that never ends fails here instead of hanging.
        const QString answer = runInChild(
            [&]() -> QString {
                qputenv("HOME", QFile::encodeName(home));
                if (dataHome.isEmpty())
                    qunsetenv("XDG_DATA_HOME");
                else
                    qputenv("XDG_DATA_HOME", dataHome);
                QDir::setCurrent(cwd);
                QStringList failed;
                const int failures = RecycleFiles({ picture }, &failed);
                return QString::number(failures) + QLatin1Char(' ') + failed.join(QLatin1Char('|'));
            },
            30);
        QCOMPARE(answer, trashed.isEmpty() ? QStringLiteral("1 ") + picture : QStringLiteral("0 "));

        const auto place = [&](QString path) {
            return path.replace(QLatin1String("$HOME"), home)
                .replace(QLatin1String("$TOP"), top)
                .replace(QLatin1String("$UID"), QString::number(getuid()));
        };
        QCOMPARE(QFileInfo::exists(picture), trashed.isEmpty() && fault != QLatin1String("missing"));
        // No information file without its file, nothing beside the current directory.
        QStringList infoFiles;
        for (const QString& tree : { root.path(), otherMount ? top : QString() }) {
            QDirIterator it(
                tree, { QStringLiteral("*.trashinfo") }, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (!tree.isEmpty() && it.hasNext())
                infoFiles << it.next();
        }
        if (fault == QLatin1String("name taken"))
            infoFiles.removeAll(home + QStringLiteral("/data/Trash/info/a b%.jpg.trashinfo"));
        QCOMPARE(QDir(cwd).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        if (trashed.isEmpty()) {
            QCOMPARE(infoFiles, QStringList());
            return;
        }
        // A data directory made for the trash is the user's alone, its parents too.
        const QStringList made = fault == QLatin1String("data home missing")
            ? QStringList { "/absent", "/absent/share" }
            : fault == QLatin1String("fresh account") ? QStringList { "/.local", "/.local/share" }
                                                      : QStringList();
        for (const QString& folder : made) {
            struct stat status = {};
            QCOMPARE(stat(QFile::encodeName(home + folder).constData(), &status), 0);
            QCOMPARE(status.st_mode & 07777, mode_t(0700));
        }
        const QString inTrash = place(trashed);
        QCOMPARE(readFile(inTrash), QByteArray("jpeg"));
        QString info = inTrash;
        info.replace(info.lastIndexOf(QLatin1String("/files/")), 7, QStringLiteral("/info/"));
        QCOMPARE(infoFiles, QStringList { info + QStringLiteral(".trashinfo") });
        const QStringList lines = QString::fromUtf8(readFile(infoFiles.first())).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0), QStringLiteral("[Trash Info]"));
        QCOMPARE(lines.at(1), QStringLiteral("Path=") + place(pathLine));
        QVERIFY(lines.at(2).startsWith(QLatin1String("DeletionDate=")));
        const QDateTime deleted = QDateTime::fromString(lines.at(2).mid(13), QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
        QVERIFY2(
            deleted.isValid() && qAbs(deleted.secsTo(QDateTime::currentDateTime())) < 120, qPrintable(lines.at(2)));
        QCOMPARE(lines.at(3), QString());
        if (fault == QLatin1String("name taken"))
            QCOMPARE(readFile(home + QStringLiteral("/data/Trash/files/a b%.jpg")), QByteArray("older"));
    }

    // Killed at any step of a trashing, the trash holds no information file that is not whole,
    // the picture is where it was or in the trash, and the next trashing removes what the crash
    // left of the program's own.
    void recycleFilesKilled_data()
    {
        QTest::addColumn<QString>("step"); // the call stopped at: "open", "name" (link or rename), "rename"
        QTest::addColumn<bool>("onPicture"); // of the picture, else in the info folder
        QTest::addColumn<bool>("after");
        QTest::addColumn<QStringList>("infos"); // the info folder after the next trashing
        const QStringList both { "a.jpg.trashinfo", "b.jpg.trashinfo" };
        QTest::newRow("once the information file is made")
            << "open" << false << true << QStringList { "b.jpg.trashinfo" };
        QTest::newRow("before the information takes its name")
            << "name" << false << false << QStringList { "b.jpg.trashinfo" };
        QTest::newRow("before the picture moves") << "rename" << true << false << both;
        QTest::newRow("once the picture moved") << "rename" << true << true << both;
    }
    void recycleFilesKilled()
    {
        QFETCH(QString, step);
        QFETCH(bool, onPicture);
        QFETCH(bool, after);
        QFETCH(QStringList, infos);
        TrashHome trash;
        QTemporaryDir pics;
        const QString picture = pics.filePath(QStringLiteral("a.jpg"));
        QVERIFY(writeFile(picture, "jpeg"));
        QVERIFY(writeFile(pics.filePath(QStringLiteral("b.jpg")), "next"));
        const QString infoFolder = QDir::cleanPath(trash.trashed(QString()) + QStringLiteral("../info"));
        const QString stopped = runInChild(
            [&]() -> QString {
                const QList<CallKind> kinds = step == QLatin1String("open") ? QList { CallKind::Open }
                    : step == QLatin1String("name")                         ? QList { CallKind::Link, CallKind::Rename }
                                                                            : QList { CallKind::Rename };
                stopAtCall(kinds, onPicture ? QFile::encodeName(picture) : QByteArrayLiteral("/Trash/info/"),
                    after ? StopWhen::After : StopWhen::Before);
                return QString::number(RecycleFiles({ picture }));
            },
            30);
        QCOMPARE(stopped, stoppedAnswer());
        const bool moved = onPicture && after;
        QCOMPARE(QFileInfo::exists(picture), !moved);
        QCOMPARE(readFile(trash.trashed(QStringLiteral("a.jpg"))), moved ? QByteArray("jpeg") : QByteArray());
        // Every information file in the folder, its name and whether it is whole.
        const QDir folder(QDir::cleanPath(trash.trashed(QString()) + QStringLiteral("../info")));
        const auto information = [&] {
            QStringList found;
            for (const QString& name :
                folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
                const QStringList lines = QString::fromUtf8(readFile(folder.filePath(name))).split(QLatin1Char('\n'));
                const bool whole = lines.size() == 4 && lines.at(0) == QLatin1String("[Trash Info]")
                    && lines.at(1) == QStringLiteral("Path=") + pics.filePath(name.chopped(10))
                    && lines.at(2).startsWith(QLatin1String("DeletionDate=")) && lines.at(3).isEmpty();
                found << (name.endsWith(QLatin1String(".trashinfo")) && !whole ? name + QStringLiteral(" (not whole)")
                                                                               : name);
            }
            return found;
        };
        for (const QString& name : information())
            QVERIFY2(!name.endsWith(QLatin1String("(not whole)")), qPrintable(name));

        const QString next
            = runInChild([&] { return QString::number(RecycleFiles({ pics.filePath(QStringLiteral("b.jpg")) })); }, 30);
        QCOMPARE(next, QStringLiteral("0"));
        QCOMPARE(readFile(trash.trashed(QStringLiteral("b.jpg"))), QByteArray("next"));
        QCOMPARE(information(), infos);
    }

    // The next trashing removes only what a writer that is gone left under a name of the
    // program's own, as it writes it: ".tolq-trashinfo-", the writer's process number, "-", a
    // count. $DEAD is a process that ended, $LIVE one that runs (the test beside the trashing).
    void strayParts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("kept");
        QTest::newRow("a dead writer's") << ".tolq-trashinfo-$DEAD-1" << false;
        QTest::newRow("a live writer's") << ".tolq-trashinfo-$LIVE-1" << true;
        QTest::newRow("a blank before the number") << ".tolq-trashinfo- $DEAD-1" << true;
        QTest::newRow("a plus sign") << ".tolq-trashinfo-+$DEAD-1" << true;
        QTest::newRow("leading zeros") << ".tolq-trashinfo-00$DEAD-1" << true;
        QTest::newRow("beyond any process number") << ".tolq-trashinfo-2147483648-1" << true;
        QTest::newRow("no count") << ".tolq-trashinfo-$DEAD-" << true;
        QTest::newRow("a count with a leading zero") << ".tolq-trashinfo-$DEAD-01" << true;
        QTest::newRow("more after the count") << ".tolq-trashinfo-$DEAD-1x" << true;
    }
    void strayParts()
    {
        QFETCH(QString, name);
        QFETCH(bool, kept);
        const qint64 dead = goneProcessId();
        QVERIFY(dead > 0);
        name.replace(QLatin1String("$DEAD"), QString::number(dead))
            .replace(QLatin1String("$LIVE"), QString::number(::getpid()));
        TrashHome trash;
        const QString stray = QDir::cleanPath(trash.trashed(QString()) + QStringLiteral("../info/") + name);
        QVERIFY(writeFile(stray, "[Trash Info]\n"));
        QTemporaryDir pics;
        const QString picture = pics.filePath(QStringLiteral("a.jpg"));
        QVERIFY(writeFile(picture, "jpeg"));
        QCOMPARE(runInChild([&] { return QString::number(RecycleFiles({ picture })); }, 30), QStringLiteral("0"));
        QCOMPARE(QFileInfo::exists(stray), kept);
    }

    void dates_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("year");
        QTest::newRow("July") << QDate(2026, 7, 4) << "07"
                              << "2026";
        QTest::newRow("December") << QDate(1999, 12, 31) << "12"
                                  << "1999";
        QTest::newRow("January") << QDate(2030, 1, 1) << "01"
                                 << "2030";
    }
    void dates()
    {
        QFETCH(QDate, date);
        QFETCH(QString, month);
        QFETCH(QString, year);
        QCOMPARE(CurrentMonth(date), month);
        QCOMPARE(CurrentYear(date), year);
        QCOMPARE(CurrentYear(), QString::number(QDate::currentDate().year()));
    }

    void involvesIFCD_data()
    {
        QTest::addColumn<QString>("ifcd");
        QTest::addColumn<bool>("tree");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("involves");
        const QString other = QStringLiteral("[DISK] /old/");
        QTest::newRow("no IFCD") << "" << false << other << other << true;
        QTest::newRow("all-blank IFCD") << "   " << true << other << other << true;
        QTest::newRow("single: the directory") << "[DISK] /new/" << false << "[DISK] /new/" << other << true;
        QTest::newRow("single: case ignored") << "[DISK] /new/" << false << other << "[disk] /NEW/" << true;
        QTest::newRow("single: blanks trimmed") << " [DISK] /new/ " << false << "  [DISK] /new/" << other << true;
        QTest::newRow("single: not below") << "[DISK] /new/" << false << "[DISK] /new/sub/" << other << false;
        QTest::newRow("tree: below") << "[DISK] /new/" << true << "[DISK] /new/sub/" << other << true;
        QTest::newRow("tree: a longer name is not below")
            << "[DISK] /new/" << true << "[DISK] /newer/" << other << false;
        QTest::newRow("tree: other volume") << "[DISK] /new/" << true << "[OTHER] /new/" << other << false;
        QTest::newRow("neither inside") << "[DISK] /new/" << true << other << other << false;
        QTest::newRow("both inside") << "[DISK] /new/" << true << "[DISK] /new/"
                                     << "[DISK] /new/a/" << true;
    }
    void involvesIFCD()
    {
        QFETCH(QString, ifcd);
        QFETCH(bool, tree);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, involves);
        QCOMPARE(InvolvesIFCD(first, second, ifcd, tree), involves);
    }

    void screenColours()
    {
        const QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        QCOMPARE(ScreenColours(), std::pow(2.0, screen->depth()));
    }
};

QTEST_MAIN(tst_FileServices)
#include "tst_FileServices.moc"
