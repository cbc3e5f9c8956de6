#include "platform/FileMove.h"
#include "platform/SafeRename.h"

#include "FileSystemFixtures.h"

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
            QTest::newRow(tag + "taken name") << int(method) << QByteArray("a.jpg") << QByteArray("b.jpg") << true;
            QTest::newRow(tag + "not UTF-8, quotes, backslash, newline")
                << int(method) << QByteArray("caf\xe9 \"x\"\n.jpg") << QByteArray("\xff\\'.jpg") << false;
            // This file system keeps case: a name that differs only in case is another name.
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

    // Across file systems, with either kind of temporary: the name taken or the disk full
    // mid-copy. Nothing changes at either end and no temporary is left.
    void moveThatFailsChangesNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("unnamed");
        QTest::addColumn<int>("status");
        for (const bool unnamed : { true, false }) {
            const QByteArray tag = unnamed ? "unnamed temporary, " : "named temporary, ";
            QTest::newRow(tag + "taken") << "taken" << unnamed << int(FileOpResult::TargetExists);
            QTest::newRow(tag + "full") << "full" << unnamed << int(FileOpResult::Failed);
        }
    }
    void moveThatFailsChangesNothing()
    {
        QFETCH(QString, fault);
        QFETCH(bool, unnamed);
        QFETCH(int, status);
        QTemporaryDir home;
        SmallTmpfs other(256);
        if (!other.mounted())
            QSKIP(qPrintable(other.skipReason()));
        const QByteArray from = QFile::encodeName(home.path()) + "/a.jpg";
        const QByteArray to = QFile::encodeName(other.path()) + "/";
        const QByteArray bytes = content(fault == QLatin1String("full") ? 400 * 1024 : 1000, 5);
        QVERIFY(writeBytes(from, bytes));
        if (fault == QLatin1String("taken"))
            QVERIFY(writeBytes(to + "a.jpg", "theirs"));
        const QList<QByteArray> before = entries(to);
        FileMove move(from, to + "a.jpg", FileMove::Options { unnamed });
        const FileOpResult result = move.place();
        QCOMPARE(int(result.status), status);
        QCOMPARE(result.side, FileOpResult::Destination);
        QVERIFY(!move.placed());
        QCOMPARE(readBytes(from), bytes);
        QCOMPARE(entries(to), before);
    }

    // Undoing a placed move takes away only what the move made, and finishing a copy removes
    // the source only while it is still the file copied.
    void onlyWhatTheMoveMadeGoes_data()
    {
        QTest::addColumn<bool>("across");
        QTest::addColumn<bool>("replacedMeanwhile");
        QTest::addColumn<bool>("finish");
        QTest::newRow("rename goes back") << false << false << false;
        QTest::newRow("copy removed") << true << false << false;
        QTest::newRow("someone else's file left") << true << true << false;
        QTest::newRow("someone else's file left after a rename") << false << true << false;
        QTest::newRow("finish leaves a source that changed hands") << true << true << true;
    }
    void onlyWhatTheMoveMadeGoes()
    {
        QFETCH(bool, across);
        QFETCH(bool, replacedMeanwhile);
        QFETCH(bool, finish);
        QTemporaryDir home;
        SmallTmpfs other(256);
        if (across && !other.mounted())
            QSKIP(qPrintable(other.skipReason()));
        const QByteArray from = QFile::encodeName(home.path()) + "/a.jpg";
        const QByteArray to = QFile::encodeName(across ? other.path() : home.path()) + "/b.jpg";
        QVERIFY(writeBytes(from, "mine"));
        FileMove move(from, to);
        QVERIFY(move.place().ok());
        // A freed inode number can come back at once for the new file.
        const QByteArray replaced = finish ? from : to;
        if (replacedMeanwhile) {
            QVERIFY(::unlink(replaced.constData()) == 0);
            QVERIFY(writeBytes(replaced, "theirs"));
        }
        if (finish) {
            QCOMPARE(move.finish().status, FileOpResult::Failed);
            QCOMPARE(readBytes(from), QByteArray("theirs"));
            return;
        }
        QCOMPARE(move.rollBack(), !replacedMeanwhile);
        QCOMPARE(readBytes(to), replacedMeanwhile ? QByteArray("theirs") : QByteArray("<missing>"));
        if (across || !replacedMeanwhile)
            QCOMPARE(readBytes(from), QByteArray("mine"));
    }
};

QTEST_GUILESS_MAIN(tst_SafeFileOperations)
#include "tst_SafeFileOperations.moc"
