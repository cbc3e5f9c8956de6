#include "main/ListDialogActions.h"

#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Dialog
{
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    QStringList loads;
    QStringList saves;
    ListDialogActions actions { dir.path() + "/data", prompter };
    ListDialogActions::ListCall load = [this](const QString& name) { loads << name; };
    ListDialogActions::ListCall save = [this](const QString& name) { saves << name; };
    QString data(const QString& name) const { return dir.path() + "/data/" + name; }
    QStringList present() const { return QDir(dir.path() + "/data").entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};

} // namespace

class tst_ListDialogActions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void normaliseName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::newRow("listed file name") << "GENERAL.lst"
                                          << "GENERAL";
        QTest::newRow("cut at the first dot") << "my.list.lst"
                                              << "my";
        QTest::newRow("extension only") << ".lst"
                                        << "";
        QTest::newRow("blanks only") << "   "
                                     << "";
        QTest::newRow("blanks trimmed, case kept") << "  Holiday Pics  "
                                                   << "Holiday Pics";
        QTest::newRow("parent reference loses everything") << "../../etc"
                                                           << "";
    }
    void normaliseName()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QCOMPARE(ListDialogActions::normaliseName(text), name);
    }

    void action_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("boxText");
        QTest::newRow("load a listed file") << "Load"
                                            << "GENERAL.lst"
                                            << ""
                                            << "GENERAL"
                                            << "" << true << "GENERAL";
        QTest::newRow("save a typed name") << "Save"
                                           << " Photos "
                                           << ""
                                           << ""
                                           << "Photos" << true << "Photos";
        QTest::newRow("load: no name") << "Load"
                                       << ".lst"
                                       << "No list name specified..."
                                       << ""
                                       << "" << false << "";
        QTest::newRow("save: blanks") << "Save"
                                      << "   "
                                      << "No list name specified..."
                                      << ""
                                      << "" << false << "";
        QTest::newRow("load: the short name") << "Load"
                                              << "tolq"
                                              << "You may not use the name TOLQ!"
                                              << ""
                                              << "" << false << "";
        QTest::newRow("save: the short name in mixed case") << "Save"
                                                            << "ToLq.lst"
                                                            << "You may not use the name TOLQ!"
                                                            << ""
                                                            << "" << false << "";
        const QString twoLines = QStringLiteral("This list name was not taken: it holds a line break, and the settings "
                                                "file keeps it on one line...\r\rA\u21b5B");
        QTest::newRow("save: two lines") << "Save"
                                         << "A\nB" << twoLines << ""
                                         << "" << false << "";
        QTest::newRow("load: two lines") << "Load"
                                         << "A\rB.lst" << twoLines << ""
                                         << "" << false << "";
        QTest::newRow("any caption but Save loads") << "Open"
                                                    << "x"
                                                    << ""
                                                    << "x"
                                                    << "" << true << "x";
    }
    void action()
    {
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, loaded);
        QFETCH(QString, saved);
        QFETCH(bool, closes);
        QFETCH(QString, boxText);
        Dialog d;
        const ListDialogActions::Outcome outcome = d.actions.act(caption, text, d.load, d.save);
        QCOMPARE(outcome.close, closes);
        QCOMPARE(outcome.boxText, boxText);
        QCOMPARE(d.loads, loaded.isEmpty() ? QStringList {} : QStringList { loaded });
        QCOMPARE(d.saves, saved.isEmpty() ? QStringList {} : QStringList { saved });
        QCOMPARE(d.prompter.texts(), message.isEmpty() ? QStringList {} : QStringList { message });
        if (!message.isEmpty()) {
            const Message& m = d.prompter.messages().first();
            QCOMPARE(m.title, QStringLiteral("Tolq"));
            QCOMPARE(m.buttons, MsgButtons::Ok);
            QCOMPARE(m.icon, MsgIcon::None);
        }
    }

    void removeList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QString>("boxText");
        const QStringList neighbours { "Photos2.lst", "Photos2.mdb", "Other.lst", "Photos.txt", "tolqtmp.mdb" };
        const QStringList whole { "Photos.lst", "Photos.mdb", "Photos.lcd", "Photos.mdb-wal", "Photos.mdb-shm",
            "Photos.mdb-journal" };
        QTest::newRow("list with database, tag and journals")
            << "Photos.lst" << whole + neighbours << MsgAnswer::Yes << "Delete list - Photos ?" << neighbours << "";
        QTest::newRow("list without a database") << "Photos" << QStringList { "Photos.lst", "Photos.lcd" } + neighbours
                                                 << MsgAnswer::Yes << "Delete list - Photos ?" << neighbours << "";
        QTest::newRow("answered no") << " Photos.lst" << whole << MsgAnswer::No << "Delete list - Photos ?" << whole
                                     << "Photos";
        QTest::newRow("the short name may be deleted")
            << "TOLQ" << QStringList { "TOLQ.lst", "TOLQ.lcd" } << MsgAnswer::Yes << "Delete list - TOLQ ?"
            << QStringList {} << "";
        QTest::newRow("no name") << ".lst" << whole << MsgAnswer::Yes << "" << whole << "";
    }
    void removeList()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, files);
        QFETCH(MsgAnswer, answer);
        QFETCH(QString, question);
        QFETCH(QStringList, remaining);
        QFETCH(QString, boxText);
        Dialog d;
        for (const QString& file : files)
            QVERIFY(writeFile(d.data(file), "x"));
        d.prompter.queueAnswer(answer);
        const ListDialogActions::Outcome outcome = d.actions.remove(text);
        QVERIFY(!outcome.close);
        QCOMPARE(outcome.boxText, boxText);
        remaining.sort();
        QCOMPARE(d.present(), remaining);
        if (question.isEmpty()) {
            QCOMPARE(d.prompter.texts(), QStringList { "No list name specified..." });
            return;
        }
        QCOMPARE(d.prompter.messages().size(), 1);
        const Message& m = d.prompter.messages().first();
        QCOMPARE(m.text, question);
        QCOMPARE(m.title, QStringLiteral("Confirm Deletion..."));
        QCOMPARE(m.buttons, MsgButtons::YesNo);
        QCOMPARE(m.icon, MsgIcon::Question);
        QCOMPARE(m.defaultButton, 2);
    }

    void removeRefusesNamesOutsideTheDataDirectory_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString noName = QStringLiteral("No list name specified...");
        QTest::newRow("slash") << "sub/Photos" << noName;
        QTest::newRow("backslash") << "sub\\Photos" << noName;
        QTest::newRow("absolute") << "/tmp/Photos" << noName;
        QTest::newRow("nul") << QString("Pho") + QChar(0) + "tos" << noName;
        QTest::newRow("two lines") << "sub/\nPhotos"
                                   << "This list name was not taken: it holds a line break, and the settings file "
                                      "keeps it on one line...\r\rsub/\u21b5Photos";
    }
    void removeRefusesNamesOutsideTheDataDirectory()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        Dialog d;
        QVERIFY(writeFile(d.data("sub/Photos.lst"), "x"));
        d.prompter.queueAnswer(MsgAnswer::Yes);
        d.actions.remove(text);
        QVERIFY(QFile::exists(d.data("sub/Photos.lst")));
        QCOMPARE(d.prompter.texts(), QStringList { message });
    }

    void savedLists()
    {
        Dialog d;
        for (const char* file : { "b.lst", "A.lst", "c.LST", "d.lcd", "my.list.lst" })
            QVERIFY(writeFile(d.data(file), "x"));
        QDir().mkpath(d.data("dir.lst"));
        QCOMPARE(d.actions.savedLists(), QStringList({ "A.lst", "b.lst", "my.list.lst" }));
    }
};

QTEST_GUILESS_MAIN(tst_ListDialogActions)
#include "tst_ListDialogActions.moc"
