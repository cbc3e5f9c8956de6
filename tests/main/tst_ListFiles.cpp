#include "main/ListFiles.h"

#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTest>

class tst_ListFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("directories");
        QTest::addColumn<QString>("ifcd");
        QTest::addColumn<bool>("treeMode");
        QTest::newRow("entries and a tree IFCD")
            << QStringList { "[DATA] /mnt/data/Photos/", "[] /home/me/Bilder Ä/", "[USB] /media/usb/in/" }
            << "[USB] /media/usb/in/" << true;
        QTest::newRow("no IFCD") << QStringList { "[] /home/me/" } << "" << false;
        // A path may hold anything a line can: the marker's own text, "=", "] /", blanks.
        QTest::newRow("paths holding = and the marker")
            << QStringList { "[] /pics/a=b/", "[] /x = INCOMING FILE DIRECTORY/", "[] /p/q] /r /", "[] /in = out/" }
            << "[] /in = out/" << true;
        QTest::newRow("empty list") << QStringList {} << "" << false;
    }
    void roundTrip()
    {
        QFETCH(QStringList, directories);
        QFETCH(QString, ifcd);
        QFETCH(bool, treeMode);
        TemporaryProgramDirectory dir;
        ScriptedPrompter prompter;
        ListFiles lists(dir.path(), prompter);
        MainSettings saved;
        saved.directories = directories;
        saved.ifcd = ifcd;
        saved.treeModeIfcd = treeMode;
        QVERIFY(lists.saveList("Mine", saved));
        QCOMPARE(saved.listName, QStringLiteral("Mine"));

        MainSettings loaded;
        loaded.directories = QStringList { "[] /old/" };
        QVERIFY(lists.loadList("Mine", loaded));
        QCOMPARE(loaded.directories, directories);
        QCOMPARE(loaded.ifcd, ifcd);
        QCOMPARE(loaded.treeModeIfcd, treeMode);
        QCOMPARE(loaded.listName, QStringLiteral("Mine"));
        QVERIFY(prompter.messages().isEmpty());
    }

    void fileLayout()
    {
        TemporaryProgramDirectory dir;
        ScriptedPrompter prompter;
        ListFiles lists(dir.path(), prompter);
        MainSettings s;
        s.directories = QStringList { "[] /a/" };
        QVERIFY(lists.saveList("L", s));
        QCOMPARE(readFile(dir.file("data/L.lst")),
            QByteArray("[DIRECTORIES]\r\n[] /a/\r\n = INCOMING FILE DIRECTORY\r\n \r\n"));
        QCOMPARE(
            readFile(dir.file("data/L.lcd")), QStringLiteral(" %1 \r\n").arg(QDate::currentDate().month()).toUtf8());
    }

    void loadRules()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("data/Hand.lst"),
            "[DIRECTORIES]\r\n"
            "[] /kept/Case/\r\n"
            "[usb] /Media/Ä=1/  \r\n"
            "[X] /no/final/slash\r\n"
            "[NET] smb://server/share/\r\n"
            "not an entry\r\n"
            "[in] /incoming/ = incoming file directory\r\n"
            "tree mode ifcd\r\n"
            " \r\n"));
        ScriptedPrompter prompter;
        ListFiles lists(dir.path(), prompter);
        MainSettings s;
        QVERIFY(lists.loadList("Hand", s));
        // Labels written by hand are upper-cased, paths keep their case. The IFCD is not among
        // the entries: appended, tree mode off.
        QCOMPARE(s.directories, (QStringList { "[] /kept/Case/", "[USB] /Media/Ä=1/", "[IN] /incoming/" }));
        QCOMPARE(s.ifcd, QStringLiteral("[IN] /incoming/"));
        QVERIFY(!s.treeModeIfcd);
    }

    void failedLoadLeavesTheListAsItWas_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("missing list") << "Nope" << QStringList { "Unable to read DIR LIST file" };
        QTest::newRow("missing general is silent") << "gEnErAl" << QStringList {};
        QTest::newRow("slash") << "../TOLQ" << QStringList { "Unable to read DIR LIST file" };
        QTest::newRow("backslash") << "a\\b" << QStringList { "Unable to read DIR LIST file" };
        QTest::newRow("blank name does nothing") << "   " << QStringList {};
    }
    void failedLoadLeavesTheListAsItWas()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, messages);
        TemporaryProgramDirectory dir;
        ScriptedPrompter prompter;
        ListFiles lists(dir.path(), prompter);
        MainSettings s;
        s.listName = "Current";
        s.directories = QStringList { "[] /x/" };
        s.ifcd = "[] /x/";
        s.treeModeIfcd = true;
        const MainSettings before = s;
        QVERIFY(!lists.loadList(name, s));
        QVERIFY(s == before);
        QCOMPARE(prompter.texts(), messages);
    }

    void refusedSaves_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::newRow("empty") << ""
                               << "No list name...  Unable to save list..."
                               << "t'olq! - Save directory list";
        QTest::newRow("blanks") << "  "
                                << "No list name...  Unable to save list..."
                                << "t'olq! - Save directory list";
        QTest::newRow("slash") << "a/b"
                               << "Unable to create DIR LIST file"
                               << "Tolq";
        QTest::newRow("backslash") << "a\\b"
                                   << "Unable to create DIR LIST file"
                                   << "Tolq";
        QTest::newRow("dot dot") << ".."
                                 << "Unable to create DIR LIST file"
                                 << "Tolq";
        QTest::newRow("nul") << QString("a") + QChar(0) << "Unable to create DIR LIST file"
                             << "Tolq";
        QTest::newRow("carriage return") << "a\rb"
                                         << "Unable to create DIR LIST file"
                                         << "Tolq";
    }
    void refusedSaves()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(QString, title);
        TemporaryProgramDirectory dir;
        ScriptedPrompter prompter;
        ListFiles lists(dir.path(), prompter);
        MainSettings s;
        QVERIFY(!lists.saveList(name, s));
        QCOMPARE(s.listName, QStringLiteral("General"));
        QCOMPARE(prompter.texts(), QStringList { message });
        QCOMPARE(prompter.messages().first().title, title);
        QCOMPARE(QDir(dir.file("data")).entryList(QDir::Files), QStringList {});
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {});
    }

    // A line break in an entry or the IFCD would end its line: the list is refused as a list name
    // holding one is, and the file stays as it was.
    void lineBreakInTheListIsRefused_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("ifcd");
        const QString pasted = QStringLiteral("x%1[] /etc/%1DO NOT CONFIRM DELETES");
        QTest::newRow("IFCD, LF") << "[] /pics/" << pasted.arg("\n");
        QTest::newRow("IFCD, CR") << "[] /pics/" << pasted.arg("\r");
        QTest::newRow("IFCD, CRLF") << "[] /pics/" << pasted.arg("\r\n");
        QTest::newRow("entry, LF") << "[] /a\n[] /etc/"
                                   << "";
        QTest::newRow("entry, CR") << "[] /a\r/"
                                   << "";
    }
    void lineBreakInTheListIsRefused()
    {
        QFETCH(QString, entry);
        QFETCH(QString, ifcd);
        TemporaryProgramDirectory dir;
        const QByteArray before = "[DIRECTORIES]\r\n[] /pics/\r\n = INCOMING FILE DIRECTORY\r\n \r\n";
        QVERIFY(writeFile(dir.file("data/L.lst"), before));
        ScriptedPrompter prompter;
        ListFiles lists(dir.path(), prompter);
        MainSettings s;
        s.directories = QStringList { "[] /pics/", entry };
        s.ifcd = ifcd;
        QVERIFY(!lists.saveList("L", s));
        QCOMPARE(prompter.texts(), QStringList { "Unable to create DIR LIST file" });
        QCOMPARE(s.listName, QStringLiteral("General"));
        QCOMPARE(readFile(dir.file("data/L.lst")), before);
        QCOMPARE(QDir(dir.file("data")).entryList(QDir::Files | QDir::Hidden), QStringList { "L.lst" });
    }

    void unwritableListKeepsOldFileAndLabel()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(QDir().mkpath(dir.file("data/Busy.lst"))); // a directory in the way
        ScriptedPrompter prompter;
        ListFiles lists(dir.path(), prompter);
        MainSettings s;
        QVERIFY(!lists.saveList("Busy", s));
        QCOMPARE(prompter.texts(), QStringList { "Unable to create DIR LIST file" });
        QCOMPARE(s.listName, QStringLiteral("General"));
        QVERIFY(!QFile::exists(dir.file("data/Busy.lcd")));
    }

    void existingTagIsNotRewritten()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("data/Old.lcd"), " 13 \r\n"));
        ScriptedPrompter prompter;
        ListFiles lists(dir.path(), prompter);
        MainSettings s;
        QVERIFY(lists.saveList("Old", s));
        QCOMPARE(readFile(dir.file("data/Old.lcd")), QByteArray(" 13 \r\n"));
        QCOMPARE(lists.readMonthTag("Old"), std::optional<QString>("13"));
        QCOMPARE(lists.readMonthTag("Missing"), std::nullopt);
        QVERIFY(lists.writeMonthTag("Old", QDate(2026, 3, 1)));
        QCOMPARE(lists.readMonthTag("Old"), std::optional<QString>("3"));
    }
};

QTEST_GUILESS_MAIN(tst_ListFiles)
#include "tst_ListFiles.moc"
