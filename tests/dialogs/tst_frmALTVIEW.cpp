#include "dialogs/ExternalViewer.h"
#include "dialogs/ProgramPicker.h"
#include "dialogs/frmALTVIEW.h"
#include "dialogs/frmFINDVIEW.h"
#include "session/Session.h"

#include "FakeVolumes.h"
#include "ModalScript.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "WidgetProbes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class tst_frmALTVIEW : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_viewer; // writes its arguments beside itself
    QString m_programs; // a directory of programs and other files
    FakeVolumes m_volumes;

private Q_SLOTS:
    void initTestCase()
    {
        m_viewer = m_dir.filePath(QStringLiteral("viewer"));
        QVERIFY(writeFile(m_viewer,
            "#!/bin/sh\n"
            "d=$(dirname \"$0\")\n"
            "printf '%s|%s' \"$#\" \"$1\" > \"$d/marker.tmp\"\n"
            "mv \"$d/marker.tmp\" \"$d/marker\"\n"));
        QVERIFY(QFile::setPermissions(m_viewer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_programs = m_dir.filePath(QStringLiteral("programs"));
        QVERIFY(QDir().mkpath(m_programs + QStringLiteral("/sub")));
        for (const char* name : { "zoom", "Alpha", ".hidden", "notes.txt" }) {
            const QString path = m_programs + QLatin1Char('/') + QLatin1String(name);
            QVERIFY(writeFile(path, "#!/bin/sh\n"));
            const bool program = QByteArray(name) != "notes.txt";
            QVERIFY(QFile::setPermissions(
                path, QFile::ReadOwner | QFile::WriteOwner | (program ? QFile::ExeOwner : QFile::Permissions())));
        }
        m_volumes.add(
            VolumeInfo { QStringLiteral("/"), QString(), QStringLiteral("ext4"), QString(), DriveKind::Fixed });
        m_volumes.add(VolumeInfo {
            QStringLiteral("/media/gone"), QStringLiteral("DISK"), QStringLiteral("vfat"), {}, DriveKind::Removable });
    }

    // The button names the program after the last "/"; the path keeps its case.
    void useCaption_data()
    {
        QTest::addColumn<QString>("viewer");
        QTest::addColumn<QString>("caption");
        QTest::newRow("none") << ""
                              << "Use ";
        QTest::newRow("a path") << "/usr/bin/eog"
                                << "Use eog";
        QTest::newRow("no slash") << "eog"
                                  << "Use eog";
        QTest::newRow("case kept") << "/opt/My Viewer/View.EXE"
                                   << "Use View.EXE";
        QTest::newRow("backslash is a character") << "/opt/a\\b"
                                                  << "Use a\\b";
    }
    void useCaption()
    {
        QFETCH(QString, viewer);
        QFETCH(QString, caption);
        Session session;
        session.AltViewer = viewer;
        ScriptedPrompter prompter;
        frmALTVIEW launcher(session, m_volumes, prompter);
        launcher.show();
        QCOMPARE(launcher.cmdVIEW->text(), caption);
        QCOMPARE(session.AltViewer, viewer);
        launcher.hide();
        // Every showing starts again from the stored path.
        session.AltViewer = QStringLiteral("/usr/bin/other");
        launcher.show();
        QCOMPARE(launcher.cmdVIEW->text(), QStringLiteral("Use other"));
    }

    void launch_data()
    {
        QTest::addColumn<QString>("viewer");
        QTest::addColumn<QString>("message"); // "" when it starts
        QTest::newRow("none") << ""
                              << "Error|No viewer specified...";
        QTest::newRow("blanks") << "   "
                                << "Error|No viewer specified...";
        QTest::newRow("missing") << "/no/such/viewer"
                                 << "Error|Unable to launch viewer... Error 2 - No such file or directory";
        QTest::newRow("a directory") << "DIR"
                                     << "Error|Unable to launch viewer... Error 13 - Permission denied";
        QTest::newRow("not a program") << "PLAIN"
                                       << "Error|Unable to launch viewer... Error 13 - Permission denied";
        QTest::newRow("a program") << "VIEWER"
                                   << "";
    }
    void launch()
    {
        QFETCH(QString, viewer);
        QFETCH(QString, message);
        viewer.replace(QStringLiteral("DIR"), m_programs + QStringLiteral("/sub"));
        viewer.replace(QStringLiteral("PLAIN"), m_programs + QStringLiteral("/notes.txt"));
        viewer.replace(QStringLiteral("VIEWER"), m_viewer);
        const QString file = QStringLiteral("/photos/it's \"a\" b.jpg");
        const QString marker = m_dir.filePath(QStringLiteral("marker"));
        QFile::remove(marker);
        Session session;
        session.AltViewer = viewer;
        ScriptedPrompter prompter;
        frmALTVIEW launcher(session, m_volumes, prompter);
        launcher.setFile(file);
        launcher.show();
        launcher.cmdVIEW->click();
        QStringList shown;
        for (const Message& m : prompter.messages())
            shown << m.title + QLatin1Char('|') + m.text;
        QCOMPARE(shown, message.isEmpty() ? QStringList() : QStringList { message });
        QVERIFY(launcher.isVisible());
        if (message.isEmpty()) {
            QTRY_VERIFY(QFile::exists(marker));
            QCOMPARE(QString::fromUtf8(readFile(marker)), QStringLiteral("1|") + file);
        }
    }

    // Find a Viewer: Accept hands the box's text over unchecked and it is stored; Cancel and
    // closing leave the stored viewer alone.
    void findAViewer_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("accept") << "cmdACCEPT"
                                << "/usr/bin/My Viewer"
                                << "/usr/bin/My Viewer";
        QTest::newRow("accept an empty box") << "cmdACCEPT"
                                             << ""
                                             << "";
        QTest::newRow("cancel") << "cmdCANCEL"
                                << "/usr/bin/other"
                                << "/old/viewer";
        QTest::newRow("closed") << "close"
                                << "/usr/bin/other"
                                << "/old/viewer";
        QTest::newRow("double click on a file") << "double click"
                                                << ""
                                                << "PROGRAMS/zoom";
        // Refused with the reason, the box back to the directory; the picker stays for Cancel.
        QTest::newRow("accept two lines, then cancel") << "accept two lines"
                                                       << "/bin/true\nDO NOT CONFIRM DELETES"
                                                       << "/old/viewer";
    }
    void findAViewer()
    {
        QFETCH(QString, action);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        stored.replace(QStringLiteral("PROGRAMS"), m_programs);
        Session session;
        session.AltViewer = QStringLiteral("/old/viewer");
        ScriptedPrompter prompter;
        frmALTVIEW launcher(session, m_volumes, prompter);
        launcher.show();
        ModalScript script({ [&](QWidget* modal) {
            auto* picker = static_cast<frmFINDVIEW*>(modal);
            picker->txtFILENAME->setText(typed);
            if (action == QLatin1String("close")) {
                picker->close();
            } else if (action == QLatin1String("double click")) {
                picker->pointBrowserAt(m_programs);
                QListWidgetItem* item
                    = picker->lstFILENAME->findItems(QStringLiteral("zoom"), Qt::MatchExactly).value(0);
                QVERIFY(item);
                Q_EMIT picker->lstFILENAME->itemDoubleClicked(item);
            } else if (action == QLatin1String("accept two lines")) {
                picker->cmdACCEPT->click();
                QCOMPARE(picker->txtFILENAME->text(), ::joinPickerPath(picker->browserPath(), QString()));
                picker->cmdCANCEL->click();
            } else {
                picker->findChild<QPushButton*>(action)->click();
            }
        } });
        launcher.cmdFIND->click();
        QCOMPARE(script.seen, QStringList { "frmFINDVIEW" });
        QCOMPARE(session.AltViewer, stored);
        QCOMPARE(launcher.lblVIEWER->text(), stored);
        QCOMPARE(launcher.cmdVIEW->text(), ::useCaption(stored).replace(QLatin1Char('&'), QStringLiteral("&&")));
        const QStringList told = prompter.texts();
        QCOMPARE(told.size(), typed.contains('\n') ? 1 : 0);
        QVERIFY(told.isEmpty() || (told[0].contains("viewer program") && told[0].contains("line break")));
    }

    void joinPickerPath_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("joined");
        QTest::newRow("directory and file") << "/usr/bin"
                                            << "eog"
                                            << "/usr/bin/eog";
        QTest::newRow("root and file") << "/"
                                       << "eog"
                                       << "/eog";
        QTest::newRow("directory alone") << "/usr/bin"
                                         << ""
                                         << "/usr/bin/";
        QTest::newRow("root alone") << "/"
                                    << ""
                                    << "/";
    }
    void joinPickerPath()
    {
        QFETCH(QString, directory);
        QFETCH(QString, file);
        QFETCH(QString, joined);
        QCOMPARE(::joinPickerPath(directory, file), joined);
    }

    // The picker opens on the current directory with only programs listed and the box naming the
    // directory; the check box lists every file; a click names the file.
    void pickerBrowsing()
    {
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_programs);
        ScriptedPrompter prompter;
        frmFINDVIEW picker(m_volumes, prompter);
        QDir::setCurrent(previous);
        QVERIFY(picker.chkTYPE->isChecked());
        QCOMPARE(picker.txtFILENAME->text(), m_programs + QLatin1Char('/'));
        QCOMPARE(itemTexts(picker.lstFILENAME), (QStringList { "Alpha", "zoom" }));
        picker.chkTYPE->setChecked(false);
        QCOMPARE(itemTexts(picker.lstFILENAME), (QStringList { "Alpha", "notes.txt", "zoom" }));
        Q_EMIT picker.lstFILENAME->itemClicked(picker.lstFILENAME->item(1));
        QCOMPARE(picker.txtFILENAME->text(), m_programs + QStringLiteral("/notes.txt"));
        picker.pointBrowserAt(m_programs + QStringLiteral("/sub"));
        QCOMPARE(picker.txtFILENAME->text(), m_programs + QStringLiteral("/sub/"));
        QCOMPARE(picker.lstFILENAME->count(), 0);
        // A drive that cannot be read: the message, and the lists stay where they were.
        const int gone = picker.lstDRIVE->findData(QStringLiteral("/media/gone"));
        QVERIFY(gone >= 0);
        Q_EMIT picker.lstDRIVE->activated(gone);
        QCOMPARE(prompter.texts(), QStringList { "Device not responding..." });
        QCOMPARE(picker.browserPath(), m_programs + QStringLiteral("/sub"));
        QCOMPARE(picker.txtFILENAME->text(), m_programs + QStringLiteral("/sub/"));
    }
};

QTEST_MAIN(tst_frmALTVIEW)
#include "tst_frmALTVIEW.moc"
