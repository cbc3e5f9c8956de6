#include "catalogue/RecordKey.h"
#include "dialogs/MoveFileEngine.h"

#include "FakeVolumes.h"
#include "FileSystemFixtures.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

QString entryOf(const QString& path)
{
    return QStringLiteral("[] ") + path;
}

MoveSettings settingsWith(bool noConfirm, const QString& thumbnailExt)
{
    MoveSettings settings;
    settings.noConfirm = noConfirm;
    settings.thumbnailExt = thumbnailExt;
    settings.media.DisableFilePolling = true;
    return settings;
}

QStringList messagesOf(const ScriptedPrompter& prompter, const QString& source, const QString& destination)
{
    QStringList texts;
    for (const Message& message : prompter.messages()) {
        QString text = message.text;
        text.replace(source, QStringLiteral("SRC/")).replace(destination, QStringLiteral("DST/"));
        texts << message.title + QLatin1Char('|') + text;
    }
    return texts;
}

const QString CopyFailed = QStringLiteral("File Copy Error|Error copying file...");
const QString TempFailed = QStringLiteral("File Copy Error|Error making temp file...");

} // namespace

class tst_MoveFileEngine : public QObject
{
    Q_OBJECT

    FakeVolumes m_volumes;

private Q_SLOTS:
    // One file system: every answer and outcome of the move, with what stands where afterwards
    // and the messages in their order.
    void moveOnOneFileSystem_data()
    {
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<QStringList>("destination");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("thumbnailExt");
        QTest::addColumn<bool>("noConfirm");
        QTest::addColumn<bool>("answerNo");
        QTest::addColumn<QString>("target"); // "other", "same entry", "link to source", "missing"
        QTest::addColumn<int>("clashLimit");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("sourceAfter");
        QTest::addColumn<QStringList>("destinationAfter");

        const QStringList pair { QStringLiteral("Img.JPG"), QStringLiteral("Img.THN") };
        const QString confirm
            = QStringLiteral("Confirm file move|Move file - Img.JPG\r\rFrom - [] SRC/\r\rTo - [] DST/");
        const int wide = MoveFileEngine::MaxClashNumber;
        const QStringList none;
        QTest::newRow("confirmed") << pair << none << "Img.JPG"
                                   << ".THN" << false << false << "other" << wide << int(MoveOutcome::Moved)
                                   << "Img.JPG" << QStringList { confirm } << none
                                   << QStringList { "Img.JPG=Img.JPG", "Img.THN=Img.THN" };
        QTest::newRow("declined") << pair << none << "Img.JPG"
                                  << ".THN" << false << true << "other" << wide << int(MoveOutcome::Declined) << ""
                                  << QStringList { confirm } << QStringList { "Img.JPG=Img.JPG", "Img.THN=Img.THN" }
                                  << none;
        QTest::newRow("same entry") << pair << none << "Img.JPG"
                                    << ".THN" << true << false << "same entry" << wide
                                    << int(MoveOutcome::SameDirectory) << ""
                                    << QStringList { "Error|DESTINATION directory cannot equal SOURCE directory... " }
                                    << QStringList { "Img.JPG=Img.JPG", "Img.THN=Img.THN" } << none;
        QTest::newRow("same directory through a link")
            << pair << none << "Img.JPG"
            << ".THN" << true << false << "link to source" << wide << int(MoveOutcome::SameDirectory) << ""
            << QStringList { "Error|DESTINATION directory cannot equal SOURCE directory... " }
            << QStringList { "Img.JPG=Img.JPG", "Img.THN=Img.THN" } << none;
        QTest::newRow("image name taken")
            << pair << QStringList { "Img.JPG=theirs" } << "Img.JPG"
            << ".THN" << true << false << "other" << wide << int(MoveOutcome::Moved) << "Img0.JPG" << none << none
            << QStringList { "Img.JPG=theirs", "Img0.JPG=Img.JPG", "Img0.THN=Img.THN" };
        QTest::newRow("companion name taken")
            << pair << QStringList { "Img.THN=Img.GIF's" } << "Img.JPG"
            << ".THN" << true << false << "other" << wide << int(MoveOutcome::Moved) << "Img0.JPG" << none << none
            << QStringList { "Img.THN=Img.GIF's", "Img0.JPG=Img.JPG", "Img0.THN=Img.THN" };
        QTest::newRow("both taken, then the companion of 0")
            << pair << QStringList { "Img.JPG=theirs", "Img0.THN=theirs" } << "Img.JPG"
            << ".THN" << true << false << "other" << wide << int(MoveOutcome::Moved) << "Img1.JPG" << none << none
            << QStringList { "Img.JPG=theirs", "Img0.THN=theirs", "Img1.JPG=Img.JPG", "Img1.THN=Img.THN" };
        QTest::newRow("companion in another letter case, and its name taken so")
            << QStringList { "Img.JPG", "Img.thn" } << QStringList { "IMG.THN=theirs" } << "Img.JPG"
            << ".THN" << true << false << "other" << wide << int(MoveOutcome::Moved) << "Img0.JPG" << none << none
            << QStringList { "IMG.THN=theirs", "Img0.JPG=Img.JPG", "Img0.thn=Img.thn" };
        QTest::newRow("several dots") << QStringList { "Img.old.JPG", "Img.old.THN" }
                                      << QStringList { "Img.old.JPG=theirs" } << "Img.old.JPG"
                                      << ".THN" << true << false << "other" << wide << int(MoveOutcome::Moved)
                                      << "Img.old0.JPG" << none << none
                                      << QStringList { "Img.old.JPG=theirs", "Img.old0.JPG=Img.old.JPG",
                                             "Img.old0.THN=Img.old.THN" };
        QTest::newRow("no companion at the source")
            << QStringList { "Img.JPG" } << none << "Img.JPG"
            << ".THN" << true << false << "other" << wide << int(MoveOutcome::Moved) << "Img.JPG" << none << none
            << QStringList { "Img.JPG=Img.JPG" };
        QTest::newRow("an image type names no companion")
            << QStringList { "Img.JPG", "Img.GIF" } << none << "Img.JPG"
            << ".gif" << true << false << "other" << wide << int(MoveOutcome::Moved) << "Img.JPG" << none
            << QStringList { "Img.GIF=Img.GIF" } << QStringList { "Img.JPG=Img.JPG" };
        QTest::newRow("quotes, backslashes, newline")
            << QStringList { "it's \"a\\b\"\n.jpg", "it's \"a\\b\"\n.THN" } << QStringList { "it's \"a\\b\"\n.jpg=x" }
            << "it's \"a\\b\"\n.jpg"
            << ".THN" << true << false << "other" << wide << int(MoveOutcome::Moved) << "it's \"a\\b\"\n0.jpg" << none
            << none
            << QStringList { "it's \"a\\b\"\n.jpg=x", "it's \"a\\b\"\n0.THN=it's \"a\\b\"\n.THN",
                   "it's \"a\\b\"\n0.jpg=it's \"a\\b\"\n.jpg" };
        QTest::newRow("source vanished") << QStringList { "Img.THN" } << none << "Img.JPG"
                                         << ".THN" << true << false << "other" << wide << int(MoveOutcome::Failed) << ""
                                         << QStringList { TempFailed } << QStringList { "Img.THN=Img.THN" } << none;
        QTest::newRow("destination missing")
            << pair << none << "Img.JPG"
            << ".THN" << true << false << "missing" << wide << int(MoveOutcome::Failed) << ""
            << QStringList { CopyFailed } << QStringList { "Img.JPG=Img.JPG", "Img.THN=Img.THN" } << none;
        QTest::newRow("companion cannot go, the image comes back")
            << QStringList { "Img.JPG", "Img.THN=<dir>" } << none << "Img.JPG"
            << ".THN" << true << false << "other" << wide << int(MoveOutcome::Failed) << ""
            << QStringList { TempFailed } << QStringList { "Img.JPG=Img.JPG", "Img.THN=<dir>" } << none;
        QTest::newRow("clash numbers spent")
            << pair << QStringList { "Img.JPG=a", "Img0.JPG=b", "Img1.JPG=c" } << "Img.JPG"
            << ".THN" << true << false << "other" << 1 << int(MoveOutcome::Failed) << "" << QStringList { CopyFailed }
            << QStringList { "Img.JPG=Img.JPG", "Img.THN=Img.THN" }
            << QStringList { "Img.JPG=a", "Img0.JPG=b", "Img1.JPG=c" };
    }
    void moveOnOneFileSystem()
    {
        QFETCH(QStringList, source);
        QFETCH(QStringList, destination);
        QFETCH(QString, fileName);
        QFETCH(QString, thumbnailExt);
        QFETCH(bool, noConfirm);
        QFETCH(bool, answerNo);
        QFETCH(QString, target);
        QFETCH(int, clashLimit);
        QFETCH(int, outcome);
        QFETCH(QString, newName);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, sourceAfter);
        QFETCH(QStringList, destinationAfter);

        QTemporaryDir root;
        const QString src = root.filePath(QStringLiteral("src")) + QLatin1Char('/');
        const QString dst = root.filePath(QStringLiteral("dst")) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(src) && QDir().mkpath(dst));
        QVERIFY(populateDirectory(src, source) && populateDirectory(dst, destination));
        QVERIFY(QFile::link(src, root.filePath(QStringLiteral("link"))));
        QString to = entryOf(dst);
        if (target == QLatin1String("same entry"))
            to = entryOf(src);
        else if (target == QLatin1String("link to source"))
            to = entryOf(root.filePath(QStringLiteral("link")) + QLatin1Char('/'));
        else if (target == QLatin1String("missing"))
            to = entryOf(dst + QStringLiteral("gone/"));

        ScriptedPrompter prompter;
        if (answerNo)
            prompter.queueAnswer(MsgAnswer::No);
        MoveFileEngine engine(prompter, m_volumes, clashLimit);
        const MoveOutcome result = engine.moveFile(fileName, entryOf(src), to, settingsWith(noConfirm, thumbnailExt));
        QCOMPARE(int(result.kind), outcome);
        QCOMPARE(result.newName, newName);
        QCOMPARE(messagesOf(prompter, src, dst), messages);
        QCOMPARE(directoryListing(src), sourceAfter);
        QCOMPARE(directoryListing(dst), destinationAfter);
    }

    // Across file systems the file is copied; its key, made of its length and modification time,
    // is what it was under the new name; a disk that fills up undoes the move.
    void moveAcrossFileSystems_data()
    {
        QTest::addColumn<int>("imageBytes");
        QTest::addColumn<int>("companionBytes");
        QTest::addColumn<bool>("clash");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("moved") << 40000 << 3000 << false << int(MoveOutcome::Moved) << "Img.JPG" << QStringList();
        QTest::newRow("moved beside a namesake")
            << 40000 << 3000 << true << int(MoveOutcome::Moved) << "Img0.JPG" << QStringList();
        QTest::newRow("image does not fit")
            << 400000 << 3000 << false << int(MoveOutcome::Failed) << "" << QStringList { CopyFailed };
        QTest::newRow("companion does not fit, image copy removed")
            << 150000 << 150000 << false << int(MoveOutcome::Failed) << "" << QStringList { CopyFailed };
    }
    void moveAcrossFileSystems()
    {
        QFETCH(int, imageBytes);
        QFETCH(int, companionBytes);
        QFETCH(bool, clash);
        QFETCH(int, outcome);
        QFETCH(QString, newName);
        QFETCH(QStringList, messages);
        SmallTmpfs other(256);
        if (!other.mounted())
            QSKIP(qPrintable(other.skipReason()));
        QTemporaryDir root;
        const QString src = root.path() + QLatin1Char('/');
        const QString dst = other.path() + QLatin1Char('/');
        const QByteArray image(imageBytes, 'i');
        const QByteArray companion(companionBytes, 't');
        QVERIFY(writeFile(src + QStringLiteral("Img.JPG"), image));
        QVERIFY(writeFile(src + QStringLiteral("Img.THN"), companion));
        if (clash)
            QVERIFY(writeFile(dst + QStringLiteral("Img.JPG"), "theirs"));
        const struct timespec times[2] = { { 1100000000, 0 }, { 1234567890, 500000000 } };
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(src + QStringLiteral("Img.JPG")).constData(), times, 0) == 0);
        const QStringList destinationBefore = directoryListing(dst);

        ScriptedPrompter prompter;
        MoveFileEngine engine(prompter, m_volumes);
        const MoveOutcome result
            = engine.moveFile(QStringLiteral("Img.JPG"), entryOf(src), entryOf(dst), settingsWith(true, ".THN"));
        QCOMPARE(int(result.kind), outcome);
        QCOMPARE(result.newName, newName);
        QCOMPARE(messagesOf(prompter, src, dst), messages);
        if (outcome != int(MoveOutcome::Moved)) {
            QCOMPARE(readFile(src + QStringLiteral("Img.JPG")), image);
            QCOMPARE(readFile(src + QStringLiteral("Img.THN")), companion);
            QCOMPARE(directoryListing(dst), destinationBefore);
            return;
        }
        QCOMPARE(directoryListing(src), QStringList());
        QCOMPARE(readFile(dst + newName), image);
        QCOMPARE(readFile(dst + QFileInfo(newName).completeBaseName() + QStringLiteral(".THN")), companion);
        QCOMPARE(directoryListing(dst).size(), clash ? 3 : 2);
        for (const bool byLocation : { false, true }) {
            const QString key = MakeRecordKey(QStringLiteral("[]"), dst, newName, byLocation);
            QCOMPARE(key,
                recordKeyText(
                    QStringLiteral("[]"), dst, newName, imageBytes, fileDateTime(times[1].tv_sec), byLocation));
        }
    }

    void moveIntoAReadOnlyDirectory()
    {
        QTemporaryDir root;
        const QString src = root.filePath(QStringLiteral("src/"));
        const QString dst = root.filePath(QStringLiteral("dst/"));
        QVERIFY(QDir().mkpath(src) && QDir().mkpath(dst));
        QVERIFY(populateDirectory(src, { QStringLiteral("Img.JPG"), QStringLiteral("Img.THN") }));
        for (const QString& path : { src, src + QStringLiteral("Img.JPG"), src + QStringLiteral("Img.THN") })
            ::chmod(QFile::encodeName(path).constData(), 0777);
        ::chmod(QFile::encodeName(dst).constData(), 0555);
        openToEveryone(src);
        const std::optional<QString> failure = runUnprivileged([&] {
            ScriptedPrompter prompter;
            MoveFileEngine engine(prompter, m_volumes);
            const MoveOutcome result
                = engine.moveFile(QStringLiteral("Img.JPG"), entryOf(src), entryOf(dst), settingsWith(true, ".THN"));
            if (result.kind != MoveOutcome::Failed)
                return QStringLiteral("the move went ahead");
            if (messagesOf(prompter, src, dst) != QStringList { CopyFailed })
                return QStringLiteral("messages: ") + messagesOf(prompter, src, dst).join(QLatin1Char(';'));
            return QString();
        });
        if (!failure)
            QSKIP("cannot run as another user here");
        QVERIFY2(failure->isEmpty(), qPrintable(*failure));
        QCOMPARE(directoryListing(src), (QStringList { "Img.JPG=Img.JPG", "Img.THN=Img.THN" }));
        QCOMPARE(directoryListing(dst), QStringList());
    }
};

QTEST_GUILESS_MAIN(tst_MoveFileEngine)
#include "tst_MoveFileEngine.moc"
