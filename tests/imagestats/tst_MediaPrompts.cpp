#include "FakeVolumes.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include "imagestats/FileCompare.h"
#include "imagestats/MediaPrompts.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

// Answers from a list; runs an action before each answer (the user loading a disk).
class ActingPrompter : public ScriptedPrompter
{
public:
    std::function<void(int)> beforeAnswer;
    MsgAnswer ask(const Message& message) override
    {
        if (beforeAnswer)
            beforeAnswer(int(messages().size()));
        return ScriptedPrompter::ask(message);
    }
};

const QString directoryTail = QStringLiteral(
    "If you are using removable media (MO, Zip disk, etc.), please load the disk that contains this directory.  "
    "Otherwise, click CANCEL (deleted directories from previous sessions will cause this prompting as well).");
const QString fileTail = QStringLiteral(
    "If you are using removable media (MO, Zip disk, etc.), please load the disk that contains this file.  "
    "Otherwise, click CANCEL...");

} // namespace

class tst_MediaPrompts : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;

    QString at(const QString& relative) const { return m_root.filePath(relative); }

    VolumeInfo volume(const QString& mount, const QString& label, DriveKind kind) const
    {
        VolumeInfo v;
        v.mountPoint = at(mount);
        v.label = label;
        v.kind = kind;
        return v;
    }

    QList<VolumeInfo> table(const QString& zipLabel = QStringLiteral("MyDisk")) const
    {
        return { volume(QStringLiteral("fixed"), QStringLiteral("DATA"), DriveKind::Fixed),
            volume(QStringLiteral("net"), QStringLiteral("SERVER"), DriveKind::Remote),
            volume(QStringLiteral("zip"), zipLabel, DriveKind::Removable),
            volume(QStringLiteral("cd"), QStringLiteral("PHOTOS"), DriveKind::CdRom) };
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char* dir : { "fixed/pics", "net/pics", "zip/pics", "cd/pics" })
            QVERIFY(QDir().mkpath(at(QLatin1String(dir))));
        QVERIFY(writeFile(at(QStringLiteral("zip/pics/a.jpg")), "jpeg"));
        QVERIFY(writeFile(at(QStringLiteral("zip/pics/.hidden.jpg")), "jpeg"));
        QVERIFY(writeFile(at(QStringLiteral("zip/pics/b.jpg")), "jpeg"));
    }

    void directory_data()
    {
        QTest::addColumn<QString>("volumeText");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("disablePolling");
        QTest::addColumn<QString>("reactivate");
        QTest::addColumn<bool>("diskInDrive");
        QTest::addColumn<int>("prompts");
        const QString none;
        QTest::newRow("fixed, present") << "[DATA]"
                                        << "fixed/pics/" << false << none << true << 0;
        QTest::newRow("fixed, deleted directory") << "[DATA]"
                                                  << "fixed/gone/" << false << none << true << 0;
        QTest::newRow("remote, missing") << "[SERVER]"
                                         << "net/gone/" << false << none << true << 0;
        QTest::newRow("removable, right disk") << "[MYDISK]"
                                               << "zip/pics/" << false << none << true << 0;
        QTest::newRow("label case ignored") << "[mydisk]"
                                            << "zip/pics/" << false << none << true << 0;
        QTest::newRow("removable, other disk") << "[OTHER]"
                                               << "zip/pics/" << false << none << true << 1;
        QTest::newRow("removable, no disk") << "[MYDISK]"
                                            << "zip/pics/" << false << none << false << 1;
        QTest::newRow("removable, deleted directory") << "[MYDISK]"
                                                      << "zip/gone/" << false << none << true << 1;
        QTest::newRow("cd, other disk") << "[OTHER]"
                                        << "cd/pics/" << false << none << true << 1;
        QTest::newRow("re-activated mount point") << "[OTHER]"
                                                  << "zip/pics/" << false << "@net|@zip" << true << 0;
        QTest::newRow("other mount point re-activated") << "[OTHER]"
                                                        << "zip/pics/" << false << "@cd" << true << 1;
        QTest::newRow("DISABLE FILE POLLING") << "[OTHER]"
                                              << "zip/gone/" << true << none << false << 0;
    }
    void directory()
    {
        QFETCH(QString, volumeText);
        QFETCH(QString, path);
        QFETCH(bool, disablePolling);
        QFETCH(QString, reactivate);
        QFETCH(bool, diskInDrive);
        QFETCH(int, prompts);
        QList<VolumeInfo> mounted = table();
        if (!diskInDrive)
            mounted.removeAt(2);
        FakeVolumes volumes(mounted);
        ScriptedPrompter prompter;
        prompter.queueAnswer(MsgAnswer::Cancel);
        const MediaPromptSettings settings { disablePolling,
            QString(reactivate).replace(QLatin1Char('@'), m_root.path() + QLatin1Char('/')) };
        PromptForDirectory(volumeText, at(path), settings, volumes, prompter);
        QCOMPARE(prompter.messages().size(), prompts);
        if (prompts) {
            const Message& m = prompter.messages().first();
            QCOMPARE(m.title, QStringLiteral("t'olq! - Cannot find DIRECTORY..."));
            QCOMPARE(m.text, volumeText + QLatin1Char(' ') + at(path) + QStringLiteral("\r\r") + directoryTail);
            QCOMPARE(m.buttons, MsgButtons::OkCancel);
            QCOMPARE(m.icon, MsgIcon::None);
        }
    }

    void file_data()
    {
        QTest::addColumn<QString>("volumeText");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reactivate");
        QTest::addColumn<int>("prompts");
        QTest::newRow("removable, right disk") << "[MYDISK]"
                                               << "zip/pics/a.jpg" << QString() << 0;
        QTest::newRow("fixed, missing file") << "[DATA]"
                                             << "fixed/pics/none.jpg" << QString() << 0;
        QTest::newRow("remote, missing file") << "[SERVER]"
                                              << "net/pics/none.jpg" << QString() << 0;
        QTest::newRow("removable, other disk") << "[OTHER]"
                                               << "zip/pics/a.jpg" << QString() << 1;
        QTest::newRow("hidden file is not found") << "[MYDISK]"
                                                  << "zip/pics/.hidden.jpg" << QString() << 1;
        QTest::newRow("no exception for re-activated") << "[OTHER]"
                                                       << "zip/pics/a.jpg"
                                                       << "@zip" << 1;
    }
    void file()
    {
        QFETCH(QString, volumeText);
        QFETCH(QString, path);
        QFETCH(QString, reactivate);
        QFETCH(int, prompts);
        FakeVolumes volumes(table());
        ScriptedPrompter prompter;
        prompter.queueAnswer(MsgAnswer::Cancel);
        const MediaPromptSettings settings { false,
            QString(reactivate).replace(QLatin1Char('@'), m_root.path() + QLatin1Char('/')) };
        PromptForFile(volumeText, at(path), settings, volumes, prompter);
        QCOMPARE(prompter.messages().size(), prompts);
        if (prompts) {
            QCOMPARE(prompter.messages().first().title, QStringLiteral("t'olq! - Cannot find FILE..."));
            QCOMPARE(prompter.messages().first().text,
                volumeText + QLatin1Char(' ') + at(path) + QStringLiteral("\r\r") + fileTail);
        }
    }

    void rightDiskAfterOneOk_data()
    {
        QTest::addColumn<bool>("forFile");
        QTest::newRow("directory") << false;
        QTest::newRow("file") << true;
    }
    void rightDiskAfterOneOk()
    {
        QFETCH(bool, forFile);
        FakeVolumes volumes(table(QStringLiteral("HOLIDAY")));
        ActingPrompter prompter;
        // The user loads the right disk, then presses OK.
        prompter.beforeAnswer = [&](int) { volumes.setTable(table()); };
        prompter.queueAnswer(MsgAnswer::Ok);
        prompter.queueAnswer(MsgAnswer::Cancel); // would end a loop that failed to see the disk
        if (forFile)
            PromptForFile(QStringLiteral("[MYDISK]"), at(QStringLiteral("zip/pics/a.jpg")), {}, volumes, prompter);
        else
            PromptForDirectory(QStringLiteral("[MYDISK]"), at(QStringLiteral("zip/pics/")), {}, volumes, prompter);
        QCOMPARE(prompter.messages().size(), 1);
    }

    void okKeepsAskingUntilCancel()
    {
        FakeVolumes volumes(table(QStringLiteral("HOLIDAY")));
        ScriptedPrompter prompter;
        prompter.queueAnswer(MsgAnswer::Ok);
        prompter.queueAnswer(MsgAnswer::Ok);
        prompter.queueAnswer(MsgAnswer::Cancel);
        PromptForDirectory(QStringLiteral("[MYDISK]"), at(QStringLiteral("zip/pics/")), {}, volumes, prompter);
        QCOMPARE(prompter.messages().size(), 3);
    }

    // A medium without a label that is not loaded: the nearest existing ancestor of its path is
    // on the unlabelled root file system ("[]" too), yet the path lies where media are mounted.
    void absentMediumWithoutLabel_data()
    {
        QTest::addColumn<QString>("path"); // "@" stands for the test's directory
        QTest::addColumn<QString>("reactivate");
        QTest::addColumn<int>("directoryPrompts");
        QTest::addColumn<int>("filePrompts");
        QTest::newRow("deleted directory of the root file system") << "@gone/" << QString() << 0 << 0;
        QTest::newRow("below /media") << "/media/ann/0A1B-2C3D/pics/" << QString() << 1 << 1;
        QTest::newRow("below /run/media") << "/run/media/ann/0A1B-2C3D/pics/" << QString() << 1 << 1;
        QTest::newRow("below a remembered mount point") << "@stick/pics/"
                                                        << "@stick" << 0 << 1;
        QTest::newRow("below a file system of the table, not mounted") << "@mo/pics/" << QString() << 1 << 1;
        QTest::newRow("below a network share of the table, not mounted") << "@share/pics/" << QString() << 0 << 0;
    }
    void absentMediumWithoutLabel()
    {
        QFETCH(QString, path);
        QFETCH(QString, reactivate);
        QFETCH(int, directoryPrompts);
        QFETCH(int, filePrompts);
        const auto expand
            = [&](QString text) { return text.replace(QLatin1Char('@'), m_root.path() + QLatin1Char('/')); };
        VolumeInfo root;
        root.mountPoint = QStringLiteral("/");
        FakeVolumes volumes({ root });
        volumes.setListed({ volume(QStringLiteral("mo"), QString(), DriveKind::Removable),
            volume(QStringLiteral("share"), QString(), DriveKind::Remote) });
        ScriptedPrompter prompter;
        prompter.queueAnswer(MsgAnswer::Cancel);
        prompter.queueAnswer(MsgAnswer::Cancel);
        const MediaPromptSettings settings { false, expand(reactivate) };
        PromptForDirectory(QStringLiteral("[]"), expand(path), settings, volumes, prompter);
        QCOMPARE(prompter.messages().size(), directoryPrompts);
        PromptForFile(QStringLiteral("[]"), expand(path) + QStringLiteral("a.jpg"), settings, volumes, prompter);
        QCOMPARE(prompter.messages().size(), directoryPrompts + filePrompts);
    }

    // Two files on two disks used in turn in one drive: the first is read before the second disk
    // is asked for, and the user takes the first out to load the second.
    void filesIdenticalOnDisksInTurn_data()
    {
        QTest::addColumn<QByteArray>("second"); // the file on the second disk
        QTest::addColumn<bool>("load");
        QTest::addColumn<bool>("same");
        const QByteArray big = severalChunks();
        QByteArray bigLastByte = big;
        bigLastByte[bigLastByte.size() - 1] = char(bigLastByte.back() ^ 1);
        QTest::newRow("two copies") << big << true << true;
        QTest::newRow("the last byte differs") << bigLastByte << true << false;
        QTest::newRow("the second is longer") << big + 'x' << true << false;
        QTest::newRow("the second disk is not loaded") << big << false << false;
    }
    void filesIdenticalOnDisksInTurn()
    {
        QFETCH(QByteArray, second);
        QFETCH(bool, load);
        QFETCH(bool, same);
        const QString firstPath = at(QStringLiteral("drive/one.jpg"));
        const QString secondPath = at(QStringLiteral("drive/two.jpg"));
        QVERIFY(writeFile(firstPath, severalChunks()));
        FakeVolumes volumes({ volume(QStringLiteral("drive"), QStringLiteral("ONE"), DriveKind::Removable) });
        ActingPrompter prompter;
        prompter.beforeAnswer = [&](int) {
            if (!load)
                return;
            QFile::remove(firstPath);
            writeFile(secondPath, second);
            volumes.setTable({ volume(QStringLiteral("drive"), QStringLiteral("TWO"), DriveKind::Removable) });
        };
        prompter.queueAnswer(load ? MsgAnswer::Ok : MsgAnswer::Cancel);
        prompter.queueAnswer(MsgAnswer::Cancel);
        QCOMPARE(FilesIdentical(
                     QStringLiteral("[ONE]"), firstPath, QStringLiteral("[TWO]"), secondPath, {}, volumes, prompter),
            same);
        QCOMPARE(prompter.messages().size(), 1);
        QVERIFY(prompter.messages().first().text.startsWith(QStringLiteral("[TWO] ") + secondPath));
        QFile::remove(secondPath);
    }

    void filesIdenticalAsksForEachFile()
    {
        FakeVolumes volumes(table(QStringLiteral("HOLIDAY")));
        ScriptedPrompter prompter;
        prompter.queueAnswer(MsgAnswer::Cancel);
        prompter.queueAnswer(MsgAnswer::Cancel);
        const bool same = FilesIdentical(QStringLiteral("[MYDISK]"), at(QStringLiteral("zip/pics/a.jpg")),
            QStringLiteral("[MYDISK]"), at(QStringLiteral("zip/pics/b.jpg")), {}, volumes, prompter);
        QVERIFY(same);
        QCOMPARE(prompter.messages().size(), 2);
        QVERIFY(prompter.messages().at(1).text.contains(QStringLiteral("b.jpg")));
    }
};

QTEST_GUILESS_MAIN(tst_MediaPrompts)
#include "tst_MediaPrompts.moc"
