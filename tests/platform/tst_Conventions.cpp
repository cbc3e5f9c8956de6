#include "platform/Conventions.h"

#include <QTest>

#include <cstdint>
#include <limits>

class tst_Conventions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("rounded");
        QTest::newRow("half down to even") << 2.5 << qint64(2);
        QTest::newRow("half up to even") << 3.5 << qint64(4);
        QTest::newRow("negative half") << -2.5 << qint64(-2);
        QTest::newRow("below half") << 2.49 << qint64(2);
        QTest::newRow("above half") << 2.51 << qint64(3);
        QTest::newRow("zero point five") << 0.5 << qint64(0);
    }
    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(qint64, rounded);
        QCOMPARE(qint64(conv::roundHalfEven(value)), rounded);
    }

    void val_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("leading blanks") << "   42" << 42.0;
        QTest::newRow("trailing junk") << "12abc" << 12.0;
        QTest::newRow("sign") << "-7" << -7.0;
        QTest::newRow("plus sign") << "+7" << 7.0;
        QTest::newRow("decimal") << "2.5x" << 2.5;
        QTest::newRow("point only fraction") << ".25" << 0.25;
        QTest::newRow("exponent") << "1.5E+3" << 1500.0;
        QTest::newRow("lower exponent") << "2e2" << 200.0;
        QTest::newRow("dangling exponent") << "3E" << 3.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("point alone") << "." << 0.0;
        QTest::newRow("bytes line") << "123 FILES DELETED" << 123.0;
    }
    void val()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(conv::val(text), value);
    }

    void numberTexts_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        QTest::newRow("signed positive") << conv::signedText(512) << " 512";
        QTest::newRow("signed zero") << conv::signedText(0) << " 0";
        QTest::newRow("signed negative") << conv::signedText(-7) << "-7";
        QTest::newRow("signed widest positive")
            << conv::signedText(std::numeric_limits<std::int64_t>::max()) << " 9223372036854775807";
        QTest::newRow("signed widest negative")
            << conv::signedText(std::numeric_limits<std::int64_t>::min()) << "-9223372036854775808";
        QTest::newRow("000 small") << conv::format000(5) << "005";
        QTest::newRow("000 exact") << conv::format000(255) << "255";
        QTest::newRow("000 wide") << conv::format000(1020) << "1020";
        QTest::newRow("00") << conv::format00(3) << "03";
        QTest::newRow("### 2.3349") << conv::formatHashDecimals(2.3349) << "2.33";
        QTest::newRow("### one") << conv::formatHashDecimals(1.0) << "1.";
        QTest::newRow("### half") << conv::formatHashDecimals(0.5) << ".5";
        QTest::newRow("### zero") << conv::formatHashDecimals(0.0) << ".";
        QTest::newRow("### wide") << conv::formatHashDecimals(1234.5) << "1234.5";
        QTest::newRow("### tenth") << conv::formatHashDecimals(0.05) << ".05";
        QTest::newRow("double whole") << conv::shortestDouble(123456789.0) << "123456789";
        QTest::newRow("double zero") << conv::shortestDouble(0.0) << "0";
        QTest::newRow("double 15 digits") << conv::shortestDouble(999999999999999.0) << "999999999999999";
        QTest::newRow("double exponent") << conv::shortestDouble(1.5e15) << "1.5E+15";
        QTest::newRow("double exponent whole") << conv::shortestDouble(1e20) << "1E+20";
        QTest::newRow("double fraction") << conv::shortestDouble(0.1 + 0.2) << "0.3";
    }
    void numberTexts()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    void likeMatch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("star all") << "CAT.JPG"
                                  << "*.JPG" << true;
        QTest::newRow("star empty") << ".JPG"
                                    << "*.JPG" << true;
        QTest::newRow("star other type") << "CAT.PNG"
                                         << "*.JPG" << false;
        QTest::newRow("question") << "CAT.JPG"
                                  << "C?T.JPG" << true;
        QTest::newRow("question needs one") << "CT.JPG"
                                            << "C?T.JPG" << false;
        QTest::newRow("digit") << "IMG7.JPG"
                               << "IMG#.JPG" << true;
        QTest::newRow("digit refuses letter") << "IMGA.JPG"
                                              << "IMG#.JPG" << false;
        QTest::newRow("list") << "B1.JPG"
                              << "[ABC]1.JPG" << true;
        QTest::newRow("list miss") << "D1.JPG"
                                   << "[ABC]1.JPG" << false;
        QTest::newRow("range") << "M1.JPG"
                               << "[A-Z]1.JPG" << true;
        QTest::newRow("range miss") << "91.JPG"
                                    << "[A-Z]1.JPG" << false;
        QTest::newRow("negated list") << "D1.JPG"
                                      << "[!ABC]1.JPG" << true;
        QTest::newRow("negated list miss") << "A1.JPG"
                                           << "[!ABC]1.JPG" << false;
        QTest::newRow("several stars") << "HOLIDAY2020.JPG"
                                       << "*DAY*.JPG" << true;
        QTest::newRow("backtracking") << "AAB.JPG"
                                      << "*AB.JPG" << true;
        QTest::newRow("case matters") << "cat.JPG"
                                      << "CAT.JPG" << false;
        QTest::newRow("trailing text") << "CAT.JPGX"
                                       << "*.JPG" << false;
        QTest::newRow("long run of stars stays fast")
            << QString(60, QLatin1Char('A')) << QStringLiteral("*A*A*A*A*A*A*A*A*A*A*B") << false;
    }
    void likeMatch()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        QCOMPARE(conv::likeMatch(text, pattern), matches);
    }

    void dateKeyText_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("text");
        QTest::newRow("afternoon") << QDateTime(QDate(2026, 12, 9), QTime(16, 9, 28)) << "12/9/2026 4:09:28 PM";
        QTest::newRow("morning") << QDateTime(QDate(2026, 1, 2), QTime(9, 5, 7)) << "1/2/2026 9:05:07 AM";
        QTest::newRow("noon") << QDateTime(QDate(2026, 3, 4), QTime(12, 0, 0)) << "3/4/2026 12:00:00 PM";
        QTest::newRow("just after midnight") << QDateTime(QDate(2026, 3, 4), QTime(0, 0, 1)) << "3/4/2026 12:00:01 AM";
        QTest::newRow("midnight is the date alone") << QDateTime(QDate(2026, 3, 4), QTime(0, 0, 0)) << "3/4/2026";
    }
    void dateKeyText()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, text);
        QCOMPARE(conv::dateKeyText(when), text);
    }
};

QTEST_GUILESS_MAIN(tst_Conventions)
#include "tst_Conventions.moc"
