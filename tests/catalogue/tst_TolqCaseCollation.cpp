#include "catalogue/TolqCaseCollation.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

int compare(const QString& a, const QString& b)
{
    const QByteArray ua = a.toUtf8();
    const QByteArray ub = b.toUtf8();
    return TolqCaseCollation::compareUtf8(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()));
}

int sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

} // namespace

class tst_TolqCaseCollation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void compares_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("equal") << "CAT.JPG"
                               << "CAT.JPG" << 0;
        QTest::newRow("ASCII case") << "Cat.jpg"
                                    << "cAT.JPG" << 0;
        QTest::newRow("letters before case") << "apple"
                                             << "BANANA" << -1;
        QTest::newRow("shorter first") << "CAT"
                                       << "cat.jpg" << -1;
        QTest::newRow("both empty") << ""
                                    << "" << 0;
        QTest::newRow("empty first") << ""
                                     << " " << -1;
        QTest::newRow("blank before letters") << " "
                                              << "X" << -1;
        QTest::newRow("underscore before letters") << "_"
                                                   << "a" << -1;
        QTest::newRow("underscore before capitals too") << "_"
                                                        << "A" << -1;
        QTest::newRow("digits before letters") << "9"
                                               << "a" << -1;
        QTest::newRow("accented case") << "ÉTÉ"
                                       << "été" << 0;
        QTest::newRow("umlaut case") << "ÄPFEL"
                                     << "äpfel" << 0;
        QTest::newRow("Cyrillic case") << "ДОМ"
                                       << "дом" << 0;
        QTest::newRow("Greek case") << "ΣΟΦΙΑ"
                                    << "σοφια" << 0;
        QTest::newRow("non-ASCII after ASCII letters") << "z"
                                                       << "é" << -1;
        QTest::newRow("é before Ü") << "é"
                                    << "Ü" << -1;
        QTest::newRow("ASCII prefix then accent") << "photoÉ"
                                                  << "PHOTOé2" << -1;
        QTest::newRow("accent is not case") << "CAFE"
                                            << "CAFÉ" << -1;
        QTest::newRow("astral plane") << "a😀"
                                      << "A😀" << 0;
    }
    void compares()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(sign(compare(a, b)), expected);
        QCOMPARE(sign(compare(b, a)), -expected);
    }

    // The fast path and the full comparison must agree, or index order would break.
    void agreesWithQtCaseInsensitiveCompare()
    {
        const QString alphabet = QStringLiteral(" _-.09AZaz[]^`{}~ÄäÉéÜüßΣσДд");
        QRandomGenerator random(20261209);
        for (int round = 0; round < 20000; ++round) {
            QString a;
            QString b;
            for (int i = random.bounded(6); i > 0; --i)
                a += alphabet.at(random.bounded(int(alphabet.size())));
            for (int i = random.bounded(6); i > 0; --i)
                b += alphabet.at(random.bounded(int(alphabet.size())));
            if (random.bounded(2))
                b = a.left(random.bounded(int(a.size()) + 1)) + b;
            const int mine = sign(compare(a, b));
            const int qt = sign(QString::compare(a, b, Qt::CaseInsensitive));
            if (mine != qt)
                QFAIL(qPrintable(QStringLiteral("\"%1\" vs \"%2\": %3, Qt %4").arg(a, b).arg(mine).arg(qt)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_TolqCaseCollation)
#include "tst_TolqCaseCollation.moc"
