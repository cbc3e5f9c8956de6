#include "platform/FileMove.h"
#include "platform/SafeRename.h"

#include "FileSystemFixtures.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// From linux/fs.h, which clashes with sys/mount.h.
constexpr unsigned long GetFlags = 0x80086601; // FS_IOC_GETFLAGS
constexpr unsigned long SetFlags = 0x40086602; // FS_IOC_SETFLAGS
constexpr int CaseFoldFlag = 0x40000000; // FS_CASEFOLD_FL

// Every entry of a directory as the file system holds it, hidden ones included.
QList<QByteArray> entries(const QByteArray& directory)
{
    QList<QByteArray> names;
    if (DIR* dir = ::opendir(directory.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names << name;
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool writeBytes(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0640);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return ok;
}

QByteArray readBytes(const QByteArray& path)
{
    QFile file(QFile::decodeName(path));
    // decodeName is lossy for names that are not UTF-8, so read through the descriptor.
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return "<missing>";
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    return file.readAll();
}

struct timespec modified(const QByteArray& path)
{
    struct stat info
    {
    };
    ::lstat(path.constData(), &info);
    return info.st_mtim;
}

// A picture-sized file with bytes that differ along their length.
QByteArray content(int length, char seed)
{
    QByteArray bytes(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        bytes[i] = char(seed + i * 7 + i / 251);
    return bytes;
}

} // namespace

class tst_SafeFileOperations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void renameRefusesNamesTheProgramNeverGives_data()
    {
        QTest::addColumn<QByteArray>("newName");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("dot") << QByteArray(".");
        QTest::newRow("dot dot") << QByteArray("..");
        QTest::newRow("slash") << QByteArray("../escaped.jpg");
        QTest::newRow("nul") << QByteArray("a\0b.jpg", 7);
        QTest::newRow("newline") << QByteArray("a\nb.jpg");
        QTest::newRow("tab") << QByteArray("a\tb.jpg");
        QTest::newRow("delete character") << QByteArray("a\x7f.jpg");
    }
    void renameRefusesNamesTheProgramNeverGives()
    {
        QFETCH(QByteArray, newName);
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.path()) + "/";
        QVERIFY(writeBytes(path + "a.jpg", "A"));
        const FileOpResult result = renameInDirectory(path, "a.jpg", newName);
        QCOMPARE(result.status, FileOpResult::BadName);
        QCOMPARE(entries(path), QList<QByteArray> { "a.jpg" });
        QVERIFY(!isAcceptableFileName(QString::fromUtf8(newName)));
    }

    // Each rename keeps both files when the new name is taken, and carries names byte for byte.
    void renameNeverReplaces_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QByteArray>("oldName");
        QTest::addColumn<QByteArray>("newName");
        QTest::addColumn<bool>("taken");
        for (const auto method : { RenameMethod::Automatic, RenameMethod::LinkAndUnlink }) {
            const QByteArray tag = method == RenameMethod::Automatic ? "renameat2 " : "link and unlink ";
            QTest::newRow(tag + "free name") << int(method) << QByteArray("a.jpg") << QByteArray("b.jpg") << false;
            QTest::newRow(tag + "taken name") << int(method) << QByteArray("a.jpg") << QByteArray("b.jpg") << true;
            QTest::newRow(tag + "not UTF-8")
                << int(method) << QByteArray("caf\xe9.jpg") << QByteArray("\xff\xfe.jpg") << false;
            QTest::newRow(tag + "quotes and backslash")
                << int(method) << QByteArray("it's \"x\".jpg") << QByteArray("a\\b\\\"c.jpg") << false;
            QTest::newRow(tag + "newline in the old name")
                << int(method) << QByteArray("a\nb.jpg") << QByteArray("-n.jpg") << false;
            QTest::newRow(tag + "other case beside it")
                << int(method) << QByteArray("a.jpg") << QByteArray("Dog.JPG") << false;
        }
    }
    void renameNeverReplaces()
    {
        QFETCH(int, method);
        QFETCH(QByteArray, oldName);
        QFETCH(QByteArray, newName);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.path()) + "/";
        QVERIFY(writeBytes(path + oldName, "old"));
        // This file system keeps case: a name that differs only in case is another name.
        QVERIFY(writeBytes(path + "dog.JPG", "dog"));
        if (taken)
            QVERIFY(writeBytes(path + newName, "taken"));
        const FileOpResult result = renameNoReplace(path + oldName, path + newName, RenameMethod(method));
        if (taken) {
            QCOMPARE(result.status, FileOpResult::TargetExists);
            QCOMPARE(readBytes(path + oldName), QByteArray("old"));
            QCOMPARE(readBytes(path + newName), QByteArray("taken"));
        } else {
            QVERIFY2(result.ok(), qPrintable(result.reason()));
            QCOMPARE(readBytes(path + newName), QByteArray("old"));
            QCOMPARE(probeEntry(path + oldName), EntryProbe::Missing);
        }
        QCOMPARE(readBytes(path + "dog.JPG"), QByteArray("dog"));
        // The temporary directory cannot remove a name that is not UTF-8 by itself.
        for (const QByteArray& entry : entries(path))
            ::unlink((path + entry).constData());
    }

    void renameOnAFileSystemThatFoldsCase()
    {
        QTemporaryDir dir;
        const QByteArray mountPoint = QFile::encodeName(dir.path());
        if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k,casefold") != 0)
            QSKIP("no tmpfs with case folding on this machine (needs root and a kernel with casefold)");
        const QByteArray folded = mountPoint + "/folded/";
        bool ready = ::mkdir(folded.constData(), 0755) == 0;
        if (ready) {
            const int fd = ::open(folded.constData(), O_RDONLY | O_DIRECTORY);
            int flags = 0;
            ready
                = fd >= 0 && ::ioctl(fd, GetFlags, &flags) == 0 && ::ioctl(fd, SetFlags, &(flags |= CaseFoldFlag)) == 0;
            ::close(fd);
        }
        if (!ready) {
            ::umount2(mountPoint.constData(), MNT_DETACH);
            QSKIP("the tmpfs does not fold case in its directories here");
        }
        QVERIFY(writeBytes(folded + "Dog.JPG", "dog"));
        QVERIFY(writeBytes(folded + "cat.JPG", "cat"));
        const FileOpResult result = renameInDirectory(folded, "cat.JPG", "dog.JPG");
        QCOMPARE(result.status, FileOpResult::TargetExists);
        QCOMPARE(readBytes(folded + "Dog.JPG"), QByteArray("dog"));
        QCOMPARE(readBytes(folded + "cat.JPG"), QByteArray("cat"));
        ::umount2(mountPoint.constData(), MNT_DETACH);
    }

    // A move within one file system and one across: the file arrives whole with its times and
    // mode, the source goes only at finish(), and no temporary is left at either end.
    void moveCarriesTheFileWhole_data()
    {
        QTest::addColumn<bool>("across");
        QTest::addColumn<bool>("unnamed");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("same file system") << false << true << QByteArray("photo.jpg");
        QTest::newRow("across, unnamed temporary") << true << true << QByteArray("photo.jpg");
        QTest::newRow("across, named temporary") << true << false << QByteArray("photo.jpg");
        QTest::newRow("across, not UTF-8") << true << true << QByteArray("\xe9t\xe9\n\"'\\.jpg");
        QTest::newRow("same, not UTF-8") << false << true << QByteArray("\xe9t\xe9\n\"'\\.jpg");
    }
    void moveCarriesTheFileWhole()
    {
        QFETCH(bool, across);
        QFETCH(bool, unnamed);
        QFETCH(QByteArray, name);
        QTemporaryDir home;
        SmallTmpfs other(1024);
        if (across && !other.mounted())
            QSKIP(qPrintable(other.skipReason()));
        const QByteArray from = QFile::encodeName(home.path()) + "/from/";
        const QByteArray to = QFile::encodeName(across ? other.path() : home.path()) + "/to/";
        QVERIFY(::mkdir(from.constData(), 0755) == 0 && ::mkdir(to.constData(), 0755) == 0);
        const QByteArray bytes = content(300 * 1024, 3);
        QVERIFY(writeBytes(from + name, bytes));
        const struct timespec times[2] = { { 1000000000, 123456789 }, { 1200000000, 987654321 } };
        QVERIFY(::utimensat(AT_FDCWD, (from + name).constData(), times, 0) == 0);

        FileMove move(from + name, to + name, FileMove::Options { unnamed });
        const FileOpResult placed = move.place();
        QVERIFY2(placed.ok(), qPrintable(placed.reason()));
        QCOMPARE(move.copied(), across);
        QCOMPARE(readBytes(to + name), bytes);
        QCOMPARE(modified(to + name).tv_sec, times[1].tv_sec);
        QCOMPARE(modified(to + name).tv_nsec, times[1].tv_nsec);
        struct stat info
        {
        };
        QVERIFY(::lstat((to + name).constData(), &info) == 0);
        QCOMPARE(int(info.st_mode & 0777), 0640);
        QCOMPARE(probeEntry(from + name), across ? EntryProbe::Present : EntryProbe::Missing);
        QVERIFY(move.finish().ok());
        QCOMPARE(entries(from), QList<QByteArray>());
        QCOMPARE(entries(to), QList<QByteArray> { name });
        // The temporary directory cannot remove a name that is not UTF-8 by itself.
        ::unlink((to + name).constData());
    }

    // The destination refuses: the name taken, the disk full mid-copy, the directory missing or
    // the source gone. Nothing changes at either end and no temporary is left.
    void moveThatFailsChangesNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("across");
        QTest::addColumn<bool>("unnamed");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("side");
        for (const bool across : { false, true }) {
            for (const bool unnamed : { true, false }) {
                if (!across && !unnamed)
                    continue;
                const QByteArray tag = QByteArray(across ? "across" : "same") + (unnamed ? "" : ", named") + ": ";
                QTest::newRow(tag + "taken") << "taken" << across << unnamed << int(FileOpResult::TargetExists)
                                             << int(FileOpResult::Destination);
                QTest::newRow(tag + "no directory") << "no directory" << across << unnamed << int(FileOpResult::Failed)
                                                    << int(FileOpResult::Destination);
                QTest::newRow(tag + "source gone") << "source gone" << across << unnamed
                                                   << int(FileOpResult::SourceMissing) << int(FileOpResult::Source);
                if (across)
                    QTest::newRow(tag + "full")
                        << "full" << across << unnamed << int(FileOpResult::Failed) << int(FileOpResult::Destination);
            }
        }
    }
    void moveThatFailsChangesNothing()
    {
        QFETCH(QString, fault);
        QFETCH(bool, across);
        QFETCH(bool, unnamed);
        QFETCH(int, status);
        QFETCH(int, side);
        QTemporaryDir home;
        SmallTmpfs other(256);
        if (across && !other.mounted())
            QSKIP(qPrintable(other.skipReason()));
        const QByteArray from = QFile::encodeName(home.path()) + "/";
        QByteArray to = QFile::encodeName(across ? other.path() : home.path()) + "/to/";
        QVERIFY(::mkdir(to.constData(), 0755) == 0);
        const QByteArray bytes = content(fault == QLatin1String("full") ? 400 * 1024 : 1000, 5);
        QVERIFY(writeBytes(from + "a.jpg", bytes));
        if (fault == QLatin1String("taken"))
            QVERIFY(writeBytes(to + "a.jpg", "theirs"));
        if (fault == QLatin1String("no directory"))
            to += "missing/";
        if (fault == QLatin1String("source gone"))
            QVERIFY(::unlink((from + "a.jpg").constData()) == 0);
        const QList<QByteArray> before = entries(QFile::encodeName(other.path()) + "/to/");

        FileMove move(from + "a.jpg", to + "a.jpg", FileMove::Options { unnamed });
        const FileOpResult result = move.place();
        QCOMPARE(int(result.status), status);
        QCOMPARE(int(result.side), side);
        QVERIFY(!move.placed());
        if (fault != QLatin1String("source gone"))
            QCOMPARE(readBytes(from + "a.jpg"), bytes);
        if (fault == QLatin1String("taken"))
            QCOMPARE(readBytes(to + "a.jpg"), QByteArray("theirs"));
        QCOMPARE(entries(QFile::encodeName(other.path()) + "/to/"), before);
        QVERIFY(move.rollBack());
    }

    void moveIntoAReadOnlyDirectory_data()
    {
        QTest::addColumn<bool>("across");
        QTest::newRow("same file system") << false;
        QTest::newRow("across") << true;
    }
    void moveIntoAReadOnlyDirectory()
    {
        QFETCH(bool, across);
        QTemporaryDir home;
        SmallTmpfs other(256);
        if (across && !other.mounted())
            QSKIP(qPrintable(other.skipReason()));
        const QString to = (across ? other.path() : home.path()) + QStringLiteral("/locked");
        QVERIFY(QDir().mkdir(to));
        QVERIFY(writeFile(home.filePath(QStringLiteral("a.jpg")), "mine"));
        ::chmod(QFile::encodeName(to).constData(), 0555);
        ::chmod(QFile::encodeName(home.path()).constData(), 0777);
        ::chmod(QFile::encodeName(home.filePath(QStringLiteral("a.jpg"))).constData(), 0666);
        openToEveryone(home.path());
        openToEveryone(to);
        const std::optional<QString> failure = runUnprivileged([&] {
            FileMove move(home.filePath(QStringLiteral("a.jpg")), to + QStringLiteral("/a.jpg"));
            const FileOpResult result = move.place();
            if (result.ok() || result.side != FileOpResult::Destination)
                return QStringLiteral("the move went ahead or blamed the source: %1").arg(result.reason());
            if (!QDir(to).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
                return QStringLiteral("something was left in the read-only directory");
            return QString();
        });
        if (!failure)
            QSKIP("cannot run as another user here");
        QVERIFY2(failure->isEmpty(), qPrintable(*failure));
        QCOMPARE(readFile(home.filePath(QStringLiteral("a.jpg"))), QByteArray("mine"));
    }

    // Undoing a placed move takes away only what the move made.
    void rollBackRemovesOnlyWhatTheMoveMade_data()
    {
        QTest::addColumn<bool>("across");
        QTest::addColumn<bool>("replacedMeanwhile");
        QTest::newRow("rename goes back") << false << false;
        QTest::newRow("copy removed") << true << false;
        QTest::newRow("someone else's file left") << true << true;
        QTest::newRow("someone else's file left after a rename") << false << true;
    }
    void rollBackRemovesOnlyWhatTheMoveMade()
    {
        QFETCH(bool, across);
        QFETCH(bool, replacedMeanwhile);
        QTemporaryDir home;
        SmallTmpfs other(256);
        if (across && !other.mounted())
            QSKIP(qPrintable(other.skipReason()));
        const QByteArray from = QFile::encodeName(home.path()) + "/a.jpg";
        const QByteArray to = QFile::encodeName(across ? other.path() : home.path()) + "/b.jpg";
        QVERIFY(writeBytes(from, "mine"));
        FileMove move(from, to);
        QVERIFY(move.place().ok());
        if (replacedMeanwhile) {
            QVERIFY(::unlink(to.constData()) == 0);
            QVERIFY(writeBytes(to, "theirs"));
        }
        QCOMPARE(move.rollBack(), !replacedMeanwhile);
        QCOMPARE(readBytes(to), replacedMeanwhile ? QByteArray("theirs") : QByteArray("<missing>"));
        if (across || !replacedMeanwhile)
            QCOMPARE(readBytes(from), QByteArray("mine"));
    }

    void finishLeavesASourceThatChangedHands()
    {
        QTemporaryDir home;
        SmallTmpfs other(256);
        if (!other.mounted())
            QSKIP(qPrintable(other.skipReason()));
        const QByteArray from = QFile::encodeName(home.path()) + "/a.jpg";
        QVERIFY(writeBytes(from, "mine"));
        FileMove move(from, QFile::encodeName(other.path()) + "/a.jpg");
        QVERIFY(move.place().ok());
        QVERIFY(::unlink(from.constData()) == 0);
        QVERIFY(writeBytes(from, "new one"));
        QCOMPARE(move.finish().status, FileOpResult::Failed);
        QCOMPARE(readBytes(from), QByteArray("new one"));
    }
};

QTEST_GUILESS_MAIN(tst_SafeFileOperations)
#include "tst_SafeFileOperations.moc"
