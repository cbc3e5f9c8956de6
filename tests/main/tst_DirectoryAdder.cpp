#include "main/DirectoryAdder.h"
#include "platform/Yielder.h"
#include "session/DirectoryEntry.h"
#include "session/Session.h"

#include "FakeVolumes.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

VolumeInfo volume(const QString& mountPoint, const QString& label, DriveKind kind = DriveKind::Fixed)
{
    VolumeInfo v;
    v.mountPoint = mountPoint;
    v.label = label;
    v.kind = kind;
    return v;
}

class CountingYielder : public Yielder
{
public:
    void yield() override { ++yields; }
    void sleep(int) override { }
    int yields = 0;
};

// A directory tree under a temporary directory, its root given canonically so fake mount points
// compare with the paths the walk sees.
struct Tree
{
    QTemporaryDir dir;
    QString root;
    Tree() { root = QFileInfo(dir.path()).canonicalFilePath(); }
    QString path(const QString& relative) const { return relative.isEmpty() ? root : root + "/" + relative; }
    void mkdirs(const QStringList& relatives) const
    {
        for (const QString& relative : relatives)
            QDir().mkpath(path(relative));
    }
    QString entry(const QString& relative, const QString& label = "TREE") const
    {
        return DirectoryEntry::of(path(relative), label).text();
    }
};

} // namespace

class tst_DirectoryAdder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void addingRule_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("ifcd");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("expected");
        const QString a = "[D] /a/", b = "[D] /b/";
        QTest::newRow("empty list takes anything") << QStringList {} << a << a << QStringList { a };
        QTest::newRow("new entry goes last") << QStringList { b } << QString() << a << QStringList { b, a };
        QTest::newRow("added twice stays once") << QStringList { a } << QString() << a << QStringList { a };
        QTest::newRow("IFCD refused as a second entry") << QStringList { b } << a << a << QStringList { b };
        QTest::newRow("same path, other label is another entry")
            << QStringList { a } << QString() << "[E] /a/" << QStringList { a, "[E] /a/" };
        QTest::newRow("compared exactly, case included")
            << QStringList { a } << QString() << "[D] /A/" << QStringList { a, "[D] /A/" };
    }
    void addingRule()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, ifcd);
        QFETCH(QString, entry);
        QFETCH(QStringList, expected);
        MainSettings settings;
        settings.directories = list;
        settings.ifcd = ifcd;
        QCOMPARE(DirectoryAdder::addEntry(settings, entry), expected.size() > list.size());
        QCOMPARE(settings.directories, expected);
    }

    void addDirectoryTwice()
    {
        Tree tree;
        tree.mkdirs({ "a" });
        const FakeVolumes volumes({ volume(tree.root, "tree") });
        MainSettings settings;
        DirectoryAdder adder(settings, volumes);
        QVERIFY(adder.addDirectory(tree.path("a")));
        QVERIFY(!adder.addDirectory(tree.path("a") + "/"));
        QCOMPARE(settings.directories, QStringList { tree.entry("a") });
    }

    void designatingTheIfcd()
    {
        Tree tree;
        tree.mkdirs({ "top/one/deep", "top/two", "other" });
        const FakeVolumes volumes({ volume(tree.root, "tree") });
        MainSettings settings;
        DirectoryAdder adder(settings, volumes);
        NullYielder yielder;
        adder.setIfcdTree(tree.path("top"), yielder);
        QCOMPARE(settings.directories,
            QStringList(
                { tree.entry("top"), tree.entry("top/one"), tree.entry("top/one/deep"), tree.entry("top/two") }));
        QCOMPARE(settings.ifcd, tree.entry("top"));
        QVERIFY(settings.treeModeIfcd);
        // A new IFCD replaces the old one; the old one's entries stay as ordinary entries.
        adder.setIfcd(tree.path("other"));
        QCOMPARE(settings.ifcd, tree.entry("other"));
        QVERIFY(!settings.treeModeIfcd);
        QCOMPARE(settings.directories.size(), 5);
        QCOMPARE(settings.directories.last(), tree.entry("other"));
        // Designating the IFCD again adds nothing: it is listed already.
        adder.setIfcd(tree.path("other"));
        QCOMPARE(settings.directories.size(), 5);
    }

    void treeWalk_data()
    {
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QStringList>("expectedAdded");
        const QStringList all { "", "alpha", "alpha/deep", "alpha/deep/deeper", "Beta", "Beta/inside", "gamma" };
        QTest::newRow("fresh tree in pre-order") << QStringList {} << QString() << all;
        QTest::newRow("only what is missing") << QStringList { "alpha/deep",
            "gamma" } << QString() << QStringList { "", "alpha", "alpha/deep/deeper", "Beta", "Beta/inside" };
        QTest::newRow("everything listed") << all << QString() << QStringList {};
        QTest::newRow("unreadable directory skipped with its subtree")
            << QStringList {} << "unreadable"
            << QStringList { "", "alpha", "alpha/deep", "alpha/deep/deeper", "gamma" };
        QTest::newRow("directory vanishing during the walk")
            << QStringList {} << "vanishing" << QStringList { "", "alpha", "alpha/deep", "alpha/deep/deeper", "gamma" };
    }
    void treeWalk()
    {
        QFETCH(QStringList, listed);
        QFETCH(QString, obstacle);
        QFETCH(QStringList, expectedAdded);
        Tree tree;
        tree.mkdirs({ "alpha/deep/deeper", "Beta/inside", "gamma", ".hidden/x" });
        QTemporaryDir outside;
        QDir().mkpath(outside.path() + "/far");
        // A loop back to the top, a link out of the tree and a link to a sibling: none is followed.
        QVERIFY(QFile::link(tree.root, tree.path("alpha/deep/deeper/loop")));
        QVERIFY(QFile::link(outside.path(), tree.path("gamma/away")));
        QVERIFY(QFile::link(tree.path("alpha"), tree.path("Beta/inside/again")));
        QVERIFY(QFile::setPermissions(
            tree.path("Beta/inside"), QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::WriteOwner));
        if (obstacle == "unreadable") {
            QVERIFY(QFile::setPermissions(tree.path("Beta"), {}));
            if (DirectoryAdder::canOpen(tree.path("Beta"))) {
                QFile::setPermissions(
                    tree.path("Beta"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
                QSKIP("Permissions do not keep this user out of a directory (running as root)");
            }
        }
        const FakeVolumes volumes({ volume(tree.root, "tree") });
        MainSettings settings;
        for (const QString& relative : listed)
            settings.directories << tree.entry(relative);
        const QStringList before = settings.directories;
        CountingYielder yielder;
        QStringList visited;
        DirectoryAdder adder(settings, volumes);
        const int added = adder.addTree(tree.root, yielder, [&](const QString& path) {
            visited << path;
            if (obstacle == "vanishing" && path == tree.path("alpha"))
                QDir(tree.path("Beta")).removeRecursively();
        });
        QFile::setPermissions(
            tree.path("Beta"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        QStringList expected = before;
        for (const QString& relative : expectedAdded)
            expected << tree.entry(relative);
        QCOMPARE(settings.directories, expected);
        QCOMPARE(added, int(expectedAdded.size()));
        // Every directory met is reported and yields once, listed or not.
        QCOMPARE(yielder.yields, int(visited.size()));
        const bool betaSeen = obstacle.isEmpty();
        QCOMPARE(visited.size(), betaSeen ? 7 : 5);
    }

    // A line of a list file cannot keep a name with a line break: such a directory is refused
    // with one message per action, and nothing of it is added or designated.
    void lineBreakRefused_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("refused");
        const QString bad = "bad\nname";
        QTest::newRow("Add Directory") << "add" << bad << QStringList {} << QStringList { bad };
        QTest::newRow("Set IFCD") << "ifcd" << bad << QStringList {} << QStringList { bad };
        QTest::newRow("Add Tree from it") << "tree" << bad << QStringList {} << QStringList { bad };
        QTest::newRow("Set IFCD tree from it") << "ifcd tree" << bad << QStringList {} << QStringList { bad };
        QTest::newRow("Add Tree over it and a carriage return")
            << "tree"
            << "ok" << QStringList { "ok", "ok/fine" } << QStringList { "ok/" + bad, "ok/cr\rname" };
    }
    void lineBreakRefused()
    {
        QFETCH(QString, action);
        QFETCH(QString, target);
        QFETCH(QStringList, added);
        QFETCH(QStringList, refused);
        Tree tree;
        tree.mkdirs({ "bad\nname/inner", "ok/bad\nname/inner", "ok/cr\rname", "ok/fine" });
        const FakeVolumes volumes({ volume(tree.root, "tree") });
        MainSettings settings;
        ScriptedPrompter prompter;
        DirectoryAdder adder(settings, volumes, &prompter);
        NullYielder yielder;
        if (action == "add")
            adder.addDirectory(tree.path(target));
        else if (action == "ifcd")
            adder.setIfcd(tree.path(target));
        else if (action == "tree")
            adder.addTree(tree.path(target), yielder);
        else
            adder.setIfcdTree(tree.path(target), yielder);
        QStringList expected;
        for (const QString& relative : added)
            expected << tree.entry(relative);
        QCOMPARE(settings.directories, expected);
        QCOMPARE(settings.ifcd, QString());
        QStringList paths;
        for (const QString& relative : refused)
            paths << tree.path(relative);
        QCOMPARE(prompter.texts(), QStringList { DirectoryAdder::lineBreakRefusal(paths) });
        QCOMPARE(prompter.messages().first().title, QStringLiteral("t'olq! - Add directories"));
        QVERIFY(!prompter.texts().first().contains(QLatin1Char('\n')));
    }

    void treeWalkLabelsInnerVolumes()
    {
        Tree tree;
        tree.mkdirs({ "disk/card/dcim", "plain" });
        const FakeVolumes volumes({ volume(tree.root, "outer"), volume(tree.path("disk/card"), "card") });
        MainSettings settings;
        NullYielder yielder;
        DirectoryAdder(settings, volumes).addTree(tree.root, yielder);
        QCOMPARE(settings.directories,
            QStringList({ tree.entry("", "OUTER"), tree.entry("disk", "OUTER"), tree.entry("disk/card", "CARD"),
                tree.entry("disk/card/dcim", "CARD"), tree.entry("plain", "OUTER") }));
    }

    void treeWalkTopThatCannotBeOpened()
    {
        Tree tree;
        tree.mkdirs({ "locked/inner" });
        QVERIFY(QFile::setPermissions(tree.path("locked"), {}));
        const bool locked = !DirectoryAdder::canOpen(tree.path("locked"));
        const FakeVolumes volumes({ volume(tree.root, "tree") });
        MainSettings settings;
        NullYielder yielder;
        DirectoryAdder(settings, volumes).setIfcdTree(tree.path("locked"), yielder);
        QFile::setPermissions(
            tree.path("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // The chosen top is listed like an added directory, so the IFCD is in the list.
        QCOMPARE(settings.directories.first(), tree.entry("locked"));
        QCOMPARE(settings.directories.size(), locked ? 1 : 2);
        QCOMPARE(settings.ifcd, tree.entry("locked"));
    }

    void treeWalkWithoutSubdirectories()
    {
        Tree tree;
        QVERIFY(writeFile(tree.path("file.jpg"), "x"));
        const FakeVolumes volumes({ volume(tree.root, "") });
        MainSettings settings;
        NullYielder yielder;
        QCOMPARE(DirectoryAdder(settings, volumes).addTree(tree.root, yielder), 1);
        QCOMPARE(settings.directories, QStringList { tree.entry("", "") });
    }

    void startDirectory_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("remembered"); // "tree", "missing" or ""
        QTest::addColumn<bool>("opensThere");
        QTest::newRow("fixed") << int(DriveKind::Fixed) << "tree" << true;
        QTest::newRow("remote") << int(DriveKind::Remote) << "tree" << true;
        QTest::newRow("removable") << int(DriveKind::Removable) << "tree" << false;
        QTest::newRow("cd-rom") << int(DriveKind::CdRom) << "tree" << false;
        QTest::newRow("ram disk") << int(DriveKind::RamDisk) << "tree" << false;
        QTest::newRow("directory gone") << int(DriveKind::Fixed) << "missing" << false;
        QTest::newRow("nothing remembered") << int(DriveKind::Fixed) << "" << false;
    }
    void startDirectory()
    {
        QFETCH(int, kind);
        QFETCH(QString, remembered);
        QFETCH(bool, opensThere);
        Tree tree;
        tree.mkdirs({ "photos" });
        const FakeVolumes volumes({ volume(tree.root, "", DriveKind(kind)) });
        const QString last = remembered == "tree" ? tree.path("photos")
            : remembered == "missing"             ? tree.path("gone")
                                                  : QString();
        QCOMPARE(DirectoryAdder::startDirectory(last, volumes), opensThere ? last : defaultStartDirectory());
    }
};

QTEST_GUILESS_MAIN(tst_DirectoryAdder)
#include "tst_DirectoryAdder.moc"
