#include "session/MainSettings.h"
#include "session/SettingsTable.h"

#include <QTest>

class tst_MainSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listDatabasePath_data()
    {
        QTest::addColumn<QString>("programDirectory");
        QTest::addColumn<bool>("singleTable");
        QTest::addColumn<QString>("path");
        QTest::newRow("the list's own") << "/p" << false << "/p/data/My Pics.mdb";
        QTest::newRow("single database") << "/p" << true << "/p/data/tolqtmp.mdb";
        QTest::newRow("program directory ending in /") << "/p/" << false << "/p/data/My Pics.mdb";
        QTest::newRow("program directory the root") << "/" << true << "/data/tolqtmp.mdb";
    }
    void listDatabasePath()
    {
        QFETCH(QString, programDirectory);
        QFETCH(bool, singleTable);
        QFETCH(QString, path);
        MainSettings settings;
        settings.listName = QStringLiteral("My Pics");
        settings.singleTable = singleTable;
        QCOMPARE(::listDatabasePath(programDirectory, settings), path);
    }

    // A settings value and a first start agree on every start value, the filter and the
    // thumbnail extension among them.
    void startValuesAreTheFirstStarts()
    {
        const MainSettings fresh;
        MainSettings firstStart = fresh;
        Session session;
        settingstable::applyDesignValues(firstStart, session, QStringLiteral("/p"));
        QCOMPARE(fresh.filter, QStringLiteral("*"));
        QCOMPARE(fresh.thumbnailExt, QStringLiteral(".THN"));
        QVERIFY(firstStart == fresh);
    }
};

QTEST_GUILESS_MAIN(tst_MainSettings)
#include "tst_MainSettings.moc"
