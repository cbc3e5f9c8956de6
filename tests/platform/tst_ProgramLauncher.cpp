#include "platform/ProgramLauncher.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_ProgramLauncher : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_viewer;

private Q_SLOTS:
    void initTestCase()
    {
        // A stand-in viewer: writes the argument it got next to itself, then renames it into place
        // so that the marker's presence means the program has finished.
        m_viewer = m_dir.filePath(QStringLiteral("viewer"));
        QVERIFY(writeFile(m_viewer,
            "#!/bin/sh\n"
            "d=$(dirname \"$0\")\n"
            "printf '%s|%s' \"$#\" \"$1\" > \"$d/marker.tmp\"\n"
            "mv \"$d/marker.tmp\" \"$d/marker\"\n"));
        QVERIFY(QFile::setPermissions(m_viewer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void passesTheFileAsOneArgument_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("plain") << "/photos/a.jpg";
        QTest::newRow("blanks") << "/photos/summer 2004/a b.jpg";
        QTest::newRow("shell command") << "/photos/a.jpg; touch pwned";
        QTest::newRow("command substitution") << "/photos/$(touch pwned).jpg";
        QTest::newRow("quotes and wildcard") << "/photos/it's \"*\".jpg";
        QTest::newRow("non-ASCII") << QStringLiteral("/photos/\u00e9t\u00e9.jpg");
    }
    void passesTheFileAsOneArgument()
    {
        QFETCH(QString, file);
        const QString marker = m_dir.filePath(QStringLiteral("marker"));
        QFile::remove(marker);
        QString error;
        QVERIFY2(launchProgram(m_viewer, file, &error), qPrintable(error));
        QTRY_VERIFY(QFile::exists(marker));
        QCOMPARE(QString::fromUtf8(readFile(marker)), QStringLiteral("1|") + file);
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("pwned"))));
        QVERIFY(!QFile::exists(QDir::current().filePath(QStringLiteral("pwned"))));
    }

    void reportsAProgramThatCannotStart_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("missing") << "/no/such/viewer";
        QTest::newRow("empty") << "";
        QTest::newRow("a directory") << "DIR";
        QTest::newRow("not executable") << "PLAIN";
    }
    void reportsAProgramThatCannotStart()
    {
        QFETCH(QString, program);
        if (program == QLatin1String("DIR"))
            program = m_dir.path();
        if (program == QLatin1String("PLAIN")) {
            program = m_dir.filePath(QStringLiteral("plain.txt"));
            QVERIFY(writeFile(program, "#!/bin/sh\n"));
        }
        QString error;
        QVERIFY(!launchProgram(program, QStringLiteral("/photos/a.jpg"), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ProgramLauncher)
#include "tst_ProgramLauncher.moc"
