#include "platform/HelpFile.h"

#include "TestSupport.h"

#include <QDesktopServices>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class tst_HelpFile : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> m_opened;

public Q_SLOTS:
    void openFile(const QUrl& url) { m_opened.append(url); }

private Q_SLOTS:
    void init()
    {
        m_opened.clear();
        // Catches what would go to the desktop's handler.
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFile");
    }
    void cleanup() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void opensAnExistingFile()
    {
        QTemporaryDir dir;
        const QString help = dir.filePath(QStringLiteral("tolq.hlp"));
        QVERIFY(writeFile(help, "help"));
        QVERIFY(openHelpFile(help));
        QCOMPARE(m_opened, QList<QUrl> { QUrl::fromLocalFile(help) });
    }

    void leavesAMissingFileAlone_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "tolq.hlp";
        QTest::newRow("a directory") << "";
    }
    void leavesAMissingFileAlone()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(!openHelpFile(name.isEmpty() ? dir.path() : dir.filePath(name)));
        QVERIFY(m_opened.isEmpty());
    }
};

QTEST_MAIN(tst_HelpFile)
#include "tst_HelpFile.moc"
