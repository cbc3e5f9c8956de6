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

    // A settings value and a session start as a first start does, on every value the settings
    // table gives one (the sound directory, which lies in the program directory, aside).
    void startValuesAreTheFirstStarts_data()
    {
        QTest::addColumn<int>("row");
        const std::vector<settingstable::Row>& rows = settingstable::rows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const settingstable::Row& row = rows[i];
            if (std::holds_alternative<std::monostate>(row.design)
                || row.design == settingstable::Design(settingstable::Place::ProgramDirectory))
                continue;
            QTest::newRow(row.text.isEmpty() ? row.control : qPrintable(row.text)) << int(i);
        }
    }
    void startValuesAreTheFirstStarts()
    {
        QFETCH(int, row);
        const settingstable::Row& r = settingstable::rows().at(std::size_t(row));
        const MainSettings fresh;
        const Session freshSession;
        MainSettings firstStart;
        Session firstStartSession;
        settingstable::applyDesignValues(firstStart, firstStartSession, QStringLiteral("/p"));
        QCOMPARE(settingstable::text(r, fresh, freshSession), settingstable::text(r, firstStart, firstStartSession));
        QCOMPARE(
            settingstable::ticked(r, fresh, freshSession), settingstable::ticked(r, firstStart, firstStartSession));
        QVERIFY(firstStart == fresh);
    }
};

QTEST_GUILESS_MAIN(tst_MainSettings)
#include "tst_MainSettings.moc"
