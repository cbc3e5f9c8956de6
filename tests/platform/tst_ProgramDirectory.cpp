#include "main/ProgramFiles.h"
#include "platform/ProgramDirectory.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Sets or clears an environment variable for the life of the object.
class EnvironmentValue
{
public:
    EnvironmentValue(const char* name, const QString& value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_previous(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toUtf8());
    }
    ~EnvironmentValue()
    {
        if (m_had)
            qputenv(m_name, m_previous);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_previous;
};

} // namespace

class tst_ProgramDirectory : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void programDirectory_data()
    {
        // Values are relative to a temporary directory; "-" leaves the variable unset, "=" starts
        // a value taken as it stands.
        QTest::addColumn<QString>("tolqHome");
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("TOLQ_HOME wins") << "mine"
                                        << "xdg"
                                        << "mine";
        QTest::newRow("TOLQ_HOME with a trailing slash") << "mine/"
                                                         << "-"
                                                         << "mine";
        QTest::newRow("TOLQ_HOME with dot-dot") << "a/../mine"
                                                << "-"
                                                << "mine";
        QTest::newRow("XDG_DATA_HOME") << "-"
                                       << "xdg"
                                       << "xdg/tolq";
        QTest::newRow("empty TOLQ_HOME counts as unset") << ""
                                                         << "xdg"
                                                         << "xdg/tolq";
        QTest::newRow("neither: the home directory") << "-"
                                                     << "-"
                                                     << "home/.local/share/tolq";
        QTest::newRow("empty XDG_DATA_HOME: the home directory") << "-"
                                                                 << ""
                                                                 << "home/.local/share/tolq";
        QTest::newRow("relative XDG_DATA_HOME: the home directory") << "-"
                                                                    << "=xdg"
                                                                    << "home/.local/share/tolq";
    }
    void programDirectory()
    {
        QFETCH(QString, tolqHome);
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString base = dir.path() + QLatin1Char('/');
        auto value = [&](const QString& v) {
            if (v == QLatin1String("-"))
                return QString();
            if (v.startsWith(QLatin1Char('=')))
                return v.mid(1);
            return v.isEmpty() ? QStringLiteral("") : base + v;
        };
        EnvironmentValue home("HOME", base + QStringLiteral("home"));
        EnvironmentValue tolq("TOLQ_HOME", value(tolqHome));
        EnvironmentValue xdg("XDG_DATA_HOME", value(xdgDataHome));
        QCOMPARE(::programDirectory(), base + expected);
        QCOMPARE(programFile(QStringLiteral("TOLQ.INI")), base + expected + QStringLiteral("/TOLQ.INI"));
    }

    void errorPictureWrittenWhenMissing()
    {
        TemporaryProgramDirectory program;
        EnvironmentValue tolq("TOLQ_HOME", program.path() + QStringLiteral("/new/dir"));
        prepareProgramDirectory();
        const QByteArray shipped = readFile(QStringLiteral(":/tolq/error.bmp"));
        QVERIFY(!shipped.isEmpty());
        QCOMPARE(readFile(programFile(QStringLiteral("error.bmp"))), shipped);
        // Written out of the read-only resources, it must still be a normal file the user owns.
        QVERIFY(QFileInfo(programFile(QStringLiteral("error.bmp"))).permission(QFile::WriteOwner));
    }

    void errorPictureNeverOverwritten()
    {
        TemporaryProgramDirectory program;
        QVERIFY(writeFile(program.file(QStringLiteral("error.bmp")), "the user's own picture"));
        prepareProgramDirectory();
        QCOMPARE(readFile(program.file(QStringLiteral("error.bmp"))), QByteArray("the user's own picture"));
    }

    void directoryThatCannotBeCreated()
    {
        TemporaryProgramDirectory program;
        QVERIFY(writeFile(program.file(QStringLiteral("a-file")), "x"));
        EnvironmentValue tolq("TOLQ_HOME", program.file(QStringLiteral("a-file/tolq")));
        QString error;
        QVERIFY(!prepareProgramDirectory(&error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ProgramDirectory)
#include "tst_ProgramDirectory.moc"
