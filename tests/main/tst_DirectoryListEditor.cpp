#include "main/DirectoryListEditor.h"

#include "ScriptedPrompter.h"

#include <QTest>

Q_DECLARE_METATYPE(QList<MsgAnswer>)

namespace {

struct Editing
{
    MainSettings settings;
    Session session;
    ScriptedPrompter prompter;
    QStringList saves;
    DirectoryListEditor editor { settings, session, prompter, [this](const QString& name) { saves << name; } };
};

const QString Images = "[MYDISK] /c/IMAGES/";
const QString Old = "[MYDISK] /c/IMAGES/OLD/";
const QString Images2 = "[MYDISK] /c/IMAGES2/";
const QString OtherImages = "[OTHER] /c/IMAGES/";
const QString Plain = "[MYDISK] /d/";

} // namespace

class tst_DirectoryListEditor : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void clear_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<bool>("autosave");
        QTest::newRow("confirmed") << MsgAnswer::Yes << false;
        QTest::newRow("confirmed with autosave, nothing saved") << MsgAnswer::Yes << true;
        QTest::newRow("answered no") << MsgAnswer::No << true;
    }
    void clear()
    {
        QFETCH(MsgAnswer, answer);
        QFETCH(bool, autosave);
        Editing e;
        e.settings.directories = { Images, Old };
        e.settings.ifcd = Images;
        e.settings.treeModeIfcd = true;
        e.settings.listName = "Photos";
        e.settings.saveList = autosave;
        const MainSettings before = e.settings;
        e.prompter.queueAnswer(answer);
        QCOMPARE(e.editor.clear(), answer == MsgAnswer::Yes);

        QCOMPARE(e.prompter.messages().size(), 1);
        const Message& asked = e.prompter.messages().first();
        QCOMPARE(asked.text, QStringLiteral("Clear the entire list of directories?"));
        QCOMPARE(asked.title, QStringLiteral("t'olq! - Delete directories"));
        QCOMPARE(asked.buttons, MsgButtons::YesNo);
        QCOMPARE(asked.icon, MsgIcon::Question);
        QCOMPARE(asked.defaultButton, 1);
        QVERIFY(e.saves.isEmpty());
        if (answer == MsgAnswer::No) {
            QVERIFY(e.settings == before);
            QVERIFY(!e.session.ChangedSearch);
            return;
        }
        QVERIFY(e.settings.directories.isEmpty());
        QVERIFY(e.settings.ifcd.isEmpty());
        QVERIFY(!e.settings.treeModeIfcd);
        QVERIFY(e.settings.listName.isEmpty());
        QVERIFY(e.session.ChangedSearch);
    }

    void remove_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("ifcd");
        QTest::addColumn<bool>("tree");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QList<MsgAnswer>>("answers");
        QTest::addColumn<QStringList>("expectedList");
        QTest::addColumn<QString>("expectedIfcd");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("changed");
        const QStringList five { Images, Old, Images2, OtherImages, Plain };
        using Answers = QList<MsgAnswer>;
        QTest::newRow("selected entries, from both ends")
            << five << QString() << false << QList<int> { 0, 4 } << Answers {}
            << QStringList { Old, Images2, OtherImages } << QString() << 0 << true;
        QTest::newRow("tree IFCD among the selected: un-designated, its tree stays")
            << five << Images << true << QList<int> { 0 } << Answers {}
            << QStringList { Old, Images2, OtherImages, Plain } << QString() << 0 << true;
        QTest::newRow("selected entries keep another IFCD")
            << five << Images << true << QList<int> { 4 } << Answers {}
            << QStringList { Images, Old, Images2, OtherImages } << Images << 0 << true;
        QTest::newRow("nothing selected, no IFCD")
            << five << QString() << false << QList<int> {} << Answers {} << five << QString() << 0 << false;
        QTest::newRow("blank IFCD counts as none")
            << five << "   " << false << QList<int> {} << Answers {} << five << "   " << 0 << false;
        QTest::newRow("un-designate declined")
            << five << Images << true << QList<int> {} << Answers { MsgAnswer::No } << five << Images << 1 << false;
        QTest::newRow("un-designate, entries kept")
            << five << Images << true << QList<int> {} << Answers { MsgAnswer::Yes, MsgAnswer::No } << five << QString()
            << 2 << true;
        QTest::newRow("un-designate and remove, single directory")
            << five << Images << false << QList<int> {} << Answers { MsgAnswer::Yes, MsgAnswer::Yes }
            << QStringList { Old, Images2, OtherImages, Plain } << QString() << 2 << true;
        QTest::newRow("un-designate and remove, tree: siblings and other volumes stay")
            << five << Images << true << QList<int> {} << Answers { MsgAnswer::Yes, MsgAnswer::Yes }
            << QStringList { Images2, OtherImages, Plain } << QString() << 2 << true;
    }
    void remove()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, ifcd);
        QFETCH(bool, tree);
        QFETCH(QList<int>, selected);
        QFETCH(QList<MsgAnswer>, answers);
        QFETCH(QStringList, expectedList);
        QFETCH(QString, expectedIfcd);
        QFETCH(int, questions);
        QFETCH(bool, changed);
        for (bool autosave : { false, true }) {
            Editing e;
            e.settings.directories = list;
            e.settings.ifcd = ifcd;
            e.settings.treeModeIfcd = tree;
            e.settings.listName = "Photos";
            e.settings.saveList = autosave;
            for (MsgAnswer answer : answers)
                e.prompter.queueAnswer(answer);
            e.editor.deleteSelected(selected);
            QCOMPARE(e.settings.directories, expectedList);
            QCOMPARE(e.settings.ifcd, expectedIfcd);
            QCOMPARE(e.settings.treeModeIfcd, !expectedIfcd.trimmed().isEmpty() && tree);
            QCOMPARE(int(e.prompter.messages().size()), questions);
            QCOMPARE(e.session.ChangedSearch, changed);
            // The autosave runs in every case, also when nothing changed.
            QCOMPARE(e.saves, autosave ? QStringList { "Photos" } : QStringList {});
        }
    }

    void deleteQuestions()
    {
        Editing e;
        e.settings.directories = { Images };
        e.settings.ifcd = Images;
        e.prompter.queueAnswer(MsgAnswer::Yes);
        e.prompter.queueAnswer(MsgAnswer::Yes);
        e.editor.deleteSelected({});
        QCOMPARE(e.prompter.messages().size(), 2);
        const Message first = e.prompter.messages().at(0);
        QCOMPARE(first.text, QStringLiteral("No directories selected.  Do you wish to Un-designate the IFCD?"));
        QCOMPARE(first.title, QStringLiteral("t'olq! - Delete directories"));
        const Message second = e.prompter.messages().at(1);
        QCOMPARE(second.text, QStringLiteral("Shall I remove the IFCD Directory(s) from the seach list as well?"));
        QCOMPARE(second.title, QStringLiteral("t'olq! - Un-designate IFCD..."));
        for (const Message& m : e.prompter.messages()) {
            QCOMPARE(m.buttons, MsgButtons::YesNo);
            QCOMPARE(m.icon, MsgIcon::Question);
            QCOMPARE(m.defaultButton, 1);
        }
        QVERIFY(e.settings.directories.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_DirectoryListEditor)
#include "tst_DirectoryListEditor.moc"
