#include "platform/Prompter.h"

#include <QTest>

class tst_Prompter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void displayText_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "Done" << "Done";
        QTest::newRow("one CR") << "a\rb" << "a\nb";
        QTest::newRow("two CRs give an empty line") << "a\r\rb" << "a\n\nb";
        QTest::newRow("CRLF is one break") << "a\r\nb" << "a\nb";
    }
    void displayText()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(::displayText(stored), shown);
    }
};

QTEST_GUILESS_MAIN(tst_Prompter)
#include "tst_Prompter.moc"
