#include "dialogs/frmMOVEIT.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include "FakeVolumes.h"
#include "ModalScript.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "WidgetProbes.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

class tst_frmMOVEIT : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QByteArray m_previousHome;
    FakeVolumes m_volumes;

    QString dir(const QString& name) const { return m_root.filePath(name) + QLatin1Char('/'); }
    QString entry(const QString& name) const { return QStringLiteral("[] ") + dir(name); }

private Q_SLOTS:
    void initTestCase()
    {
        m_previousHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(m_root.filePath(QStringLiteral("home"))));
        for (const char* name : { "home", "src", "dst", "dst2" })
            QVERIFY(QDir().mkpath(dir(QLatin1String(name))));
        m_volumes.add(
            VolumeInfo { QStringLiteral("/"), QString(), QStringLiteral("ext4"), QString(), DriveKind::Fixed });
    }
    void cleanupTestCase() { qputenv("HOME", m_previousHome); }

    void startsInARealDirectory()
    {
        MainSettings settings;
        Session session;
        ScriptedPrompter prompter;
        frmMOVEIT dialog(settings, session, m_volumes, prompter);
        QCOMPARE(dialog.browserPath() + QLatin1Char('/'), dir(QStringLiteral("home")));
        QCOMPARE(dialog.lblDIR->text(), entry(QStringLiteral("home")));
    }

    // One showing after another, as the reviews use the dialog: what each press does, what the
    // caller reads back, and what the dialog remembers.
    void showings_data()
    {
        QTest::addColumn<QStringList>("first"); // actions of a first showing that moves a.jpg, or none
        QTest::addColumn<QStringList>("second"); // actions of the showing for b.jpg
        QTest::addColumn<QString>("to"); // the directory the caller reads for b.jpg
        QTest::addColumn<QStringList>("remembered");
        QTest::addColumn<QStringList>("messages");
        const QStringList moveToDst { "browse dst", "Move" };
        QTest::newRow("move to the browsed directory")
            << QStringList() << moveToDst << "dst" << QStringList { "dst" } << QStringList();
        QTest::newRow("cancel") << QStringList() << QStringList { "browse dst", "Cancel" } << "src" << QStringList()
                                << QStringList();
        QTest::newRow("close box") << QStringList() << QStringList { "browse dst", "close" } << "src" << QStringList()
                                   << QStringList();
        QTest::newRow("escape") << QStringList() << QStringList { "escape" } << "src" << QStringList() << QStringList();
        QTest::newRow("after a move, a fresh not moved")
            << moveToDst << QStringList { "Cancel" } << "src" << QStringList { "dst" } << QStringList();
        QTest::newRow("moving twice to one directory remembers it once")
            << moveToDst << moveToDst << "dst" << QStringList { "dst" } << QStringList();
        QTest::newRow("double click on a remembered directory")
            << moveToDst << QStringList { "browse dst2", "double click 0" } << "dst" << QStringList { "dst" }
            << QStringList();
        QTest::newRow("click on a remembered one, then Move")
            << moveToDst << QStringList { "browse dst2", "click 0", "Move" } << "dst" << QStringList { "dst", "dst2" }
            << QStringList();
        QTest::newRow("the source directory, then Cancel")
            << QStringList() << QStringList { "browse src", "Move", "Cancel" } << "src" << QStringList { "src" }
            << QStringList { "DESTINATION directory cannot equal SOURCE directory... " };
        QTest::newRow("declined, then Cancel")
            << QStringList() << QStringList { "confirm", "answer No", "browse dst", "Move", "Cancel" } << "src"
            << QStringList { "dst" } << QStringList { "QUESTION" };
    }
    void showings()
    {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QString, to);
        QFETCH(QStringList, remembered);
        QFETCH(QStringList, messages);
        for (const QString& name : { QStringLiteral("a.jpg"), QStringLiteral("b.jpg") }) {
            for (const char* d : { "src", "dst", "dst2" })
                QFile::remove(dir(QLatin1String(d)) + name);
            QVERIFY(writeFile(dir(QStringLiteral("src")) + name, name.toUtf8()));
        }
        MainSettings settings;
        settings.noConfirm = true;
        settings.thumbnailExt = QStringLiteral(".THN");
        Session session;
        session.DisableFilePolling = true;
        ScriptedPrompter prompter;
        frmMOVEIT dialog(settings, session, m_volumes, prompter);
        auto act = [&](const QStringList& actions) {
            return [&, actions](QWidget*) {
                for (const QString& action : actions) {
                    if (action.startsWith(QLatin1String("browse ")))
                        dialog.pointBrowserAt(m_root.filePath(action.mid(7)));
                    else if (action == QLatin1String("Move"))
                        dialog.cmdADDDIR->click();
                    else if (action == QLatin1String("Cancel"))
                        dialog.cmdCANCEL->click();
                    else if (action == QLatin1String("close"))
                        dialog.close();
                    else if (action == QLatin1String("escape"))
                        QTest::keyClick(&dialog, Qt::Key_Escape);
                    else if (action == QLatin1String("click 0"))
                        Q_EMIT dialog.lstPATHS->itemClicked(dialog.lstPATHS->item(0));
                    else if (action == QLatin1String("double click 0"))
                        Q_EMIT dialog.lstPATHS->itemDoubleClicked(dialog.lstPATHS->item(0));
                    else if (action == QLatin1String("confirm"))
                        settings.noConfirm = false;
                    else if (action == QLatin1String("answer No"))
                        prompter.queueAnswer(MsgAnswer::No);
                }
            };
        };
        if (!first.isEmpty()) {
            ModalScript script({ act(first) });
            QVERIFY(dialog.moveFile(QStringLiteral("a.jpg"), entry(QStringLiteral("src")), nullptr).moved);
        }
        ModalScript script({ act(second) });
        const MoveResult result = dialog.moveFile(QStringLiteral("b.jpg"), entry(QStringLiteral("src")), nullptr);
        QCOMPARE(result.to, entry(to));
        QCOMPARE(result.moved, to != QLatin1String("src"));
        QCOMPARE(result.newName, QStringLiteral("b.jpg"));
        QCOMPARE(readFile(dir(to) + QStringLiteral("b.jpg")), QByteArray("b.jpg"));
        QStringList rememberedEntries;
        for (const QString& name : remembered)
            rememberedEntries << entry(name);
        QCOMPARE(itemTexts(dialog.lstPATHS), rememberedEntries);
        QCOMPARE(dialog.engine().destinations(), rememberedEntries);
        QStringList texts = prompter.texts();
        for (QString& text : texts) {
            if (text.startsWith(QLatin1String("Move file - b.jpg")))
                text = QStringLiteral("QUESTION");
        }
        QCOMPARE(texts, messages);
        QVERIFY(!dialog.isVisible());
    }

    // A review window low at the top of the screen would put the dialog's title bar above it.
    void placedInTheOwnersLowerLeftCorner_data()
    {
        QTest::addColumn<QRect>("owner");
        QTest::newRow("a large owner") << QRect(40, 60, 700, 650);
        QTest::newRow("a low owner at the top: kept on the screen") << QRect(40, 0, 700, 120);
    }
    void placedInTheOwnersLowerLeftCorner()
    {
        QFETCH(QRect, owner);
        MainSettings settings;
        Session session;
        ScriptedPrompter prompter;
        QWidget window;
        window.setGeometry(owner);
        window.show();
        frmMOVEIT dialog(settings, session, m_volumes, prompter);
        QRect placed;
        ModalScript script({ [&](QWidget*) {
            placed = dialog.frameGeometry();
            dialog.cmdCANCEL->click();
        } });
        dialog.moveFile(QStringLiteral("b.jpg"), entry(QStringLiteral("src")), &window);
        const QRect frame = window.frameGeometry();
        QCOMPARE(placed.left(), frame.left() + 6);
        QCOMPARE(placed.top() + placed.height(), std::max(frame.top() + frame.height() - 6, placed.height()));
        QVERIFY(window.screen()->geometry().contains(placed));
    }
};

QTEST_MAIN(tst_frmMOVEIT)
#include "tst_frmMOVEIT.moc"
