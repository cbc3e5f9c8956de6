#include "imagestats/ComparePatterns.h"
#include "imagestats/OrientationTable.h"
#include "platform/Yielder.h"

#include <QRandomGenerator>
#include <QTest>
#include <functional>

namespace {

struct CountingYielder : Yielder
{
    int yields = 0;
    void yield() override { ++yields; }
    void sleep(int) override { }
};

QString randomPattern(QRandomGenerator& random)
{
    QString text;
    for (int i = 0; i < 100; ++i)
        text += random.bounded(2) ? QLatin1Char('*') : QLatin1Char(' ');
    return text;
}

// The pattern with cell p moved to cell target(p).
QString moved(const QString& pattern, const std::function<int(int)>& target)
{
    QString out(100, QLatin1Char(' '));
    for (int p = 1; p <= 100; ++p)
        out[target(p) - 1] = pattern[p - 1];
    return out;
}

int halfTurn(int p)
{
    return 101 - p;
}
int diagonal(int p) // mirror along the diagonal: column and row swap
{
    const int c = (p - 1) / 10, r = (p - 1) % 10;
    return 10 * r + c + 1;
}

} // namespace

class tst_ComparePatterns : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void orientationRows_data()
    {
        QTest::addColumn<int>("cell");
        QTest::addColumn<QList<int>>("targets");
        QTest::newRow("cell 1") << 1 << QList<int> { 1, 10, 100, 91, 91, 10 };
        QTest::newRow("cell 2") << 2 << QList<int> { 2, 20, 99, 81, 92, 9 };
        QTest::newRow("cell 3") << 3 << QList<int> { 3, 30, 98, 71, 93, 8 };
        QTest::newRow("cell 100") << 100 << QList<int> { 100, 91, 1, 10, 10, 91 };
    }
    void orientationRows()
    {
        QFETCH(int, cell);
        QFETCH(QList<int>, targets);
        const OrientationTable table = BuildOrientationTable();
        for (int k = 0; k < 6; ++k)
            QCOMPARE(table.at(cell, k), targets[k]);
    }

    void everyOrientationIsAPermutation()
    {
        const OrientationTable table = BuildOrientationTable();
        for (int k = 0; k < 6; ++k) {
            QList<bool> seen(101, false);
            for (int p = 1; p <= 100; ++p)
                seen[table.at(p, k)] = true;
            QCOMPARE(seen.count(true), 100);
        }
    }

    void compare_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("soft");
        QTest::addColumn<int>("diff");
        QRandomGenerator random(42);
        const QString a = randomPattern(random);
        const QString turned = moved(a, halfTurn);
        int oppositeDiffers = 0;
        for (int p = 1; p <= 100; ++p)
            oppositeDiffers += a[p - 1] != a[100 - p] ? 1 : 0;
        QTest::newRow("equal, plain") << a << a << false << 0;
        QTest::newRow("equal, soft") << a << a << true << 0;
        QTest::newRow("half turn, soft") << a << turned << true << 0;
        QTest::newRow("half turn, plain") << a << turned << false << oppositeDiffers;
        const QString tooSmall = QStringLiteral("Image too small...");
        QTest::newRow("too small first") << tooSmall << a << false << 999;
        QTest::newRow("too small second, soft") << a << tooSmall << true << 999;
        QTest::newRow("empty") << QString() << a << false << 999;
        QTest::newRow("two characters") << a << QStringLiteral("* ") << true << 999;
        QTest::newRow("never gathered") << QStringLiteral(" ") << a << false << 999;
        QTest::newRow("second of 50, plain") << a << a.left(50) << false << 50;
        QTest::newRow("first of 50, plain") << a.left(50) << a << false << 0;
        QTest::newRow("other characters")
            << QString(100, QLatin1Char('x')) << QString(100, QLatin1Char('x')) << true << 0;
    }
    void compare()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, soft);
        QFETCH(int, diff);
        CountingYielder yielder;
        QCOMPARE(ComparePatterns(first, second, soft, &yielder), diff);
        QCOMPARE(yielder.yields, diff == 999 ? 0 : 1);
        QCOMPARE(comparePatternTexts(first, second, soft), diff);
    }

    void diagonalMirrorIsTheBestOfSix()
    {
        QRandomGenerator random(5);
        const QString a = randomPattern(random);
        const QString mirrored = moved(a, diagonal);
        const OrientationTable table = BuildOrientationTable();
        int best = 100;
        for (int k = 0; k < 6; ++k) {
            int d = 0;
            for (int p = 1; p <= 100; ++p)
                d += a[p - 1] != mirrored[table.at(p, k) - 1] ? 1 : 0;
            best = std::min(best, d);
        }
        QCOMPARE(ComparePatterns(a, mirrored, true), best);
    }

    void longFirstTextUnderSoftMatching()
    {
        QRandomGenerator random(9);
        const QString a = randomPattern(random);
        const QString longer = a + QStringLiteral("**");
        // Beyond cell 100 the texts are read straight; the second one ends there.
        QCOMPARE(comparePatternTexts(longer, a, true), 2);
        QCOMPARE(comparePatternTexts(longer, longer, true), 0);
    }

    void bitsAgreeWithTexts_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 8; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void bitsAgreeWithTexts()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const OrientationTable& table = orientationTable();
        for (int n = 0; n < 250; ++n) {
            const QString a = randomPattern(random);
            QString b;
            switch (n % 3) {
            case 0:
                b = randomPattern(random);
                break;
            case 1: { // an orientation of a with a few cells changed
                const int k = int(random.bounded(6));
                b = moved(a, [&](int p) { return table.at(p, k); });
                for (int flips = int(random.bounded(8)); flips > 0; --flips) {
                    const int i = int(random.bounded(100));
                    b[i] = b[i] == QLatin1Char('*') ? QLatin1Char(' ') : QLatin1Char('*');
                }
                break;
            }
            default:
                b = moved(a, diagonal);
                break;
            }
            const PatternBits bitsA = *PatternBits::fromText(a);
            const OrientedPattern orientedB = orientPattern(*PatternBits::fromText(b));
            // A text that is no plain pattern (cut, longer, other characters) against bits.
            QString odd = a.left(int(random.bounded(3, 131)));
            while (odd.size() < 3 || (odd.size() > 100 && random.bounded(2)))
                odd += QLatin1Char(random.bounded(2) ? '*' : '#');
            if (random.bounded(2))
                odd[int(random.bounded(quint32(odd.size())))] = QLatin1Char('x');
            QCOMPARE(bitsA.toText(), a);
            for (const bool soft : { false, true }) {
                const int literal = comparePatternTexts(a, b, soft);
                QCOMPARE(comparePatternBits(bitsA, orientedB, soft), literal);
                QCOMPARE(ComparePatterns(a, b, soft), literal);
                QCOMPARE(comparePatternTextWithBits(patternTextMasks(odd), *PatternBits::fromText(b), soft),
                    comparePatternTexts(odd, b, soft));
                QCOMPARE(comparePatternBitsWithText(turnPattern(*PatternBits::fromText(b)), patternCells(odd), soft),
                    comparePatternTexts(b, odd, soft));
                const int tolerance = int(random.bounded(101));
                QCOMPARE(patternWithin(bitsA, orientedB, soft, tolerance), literal <= tolerance);
                if (soft)
                    QVERIFY(literal <= comparePatternTexts(a, b, false));
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_ComparePatterns)
#include "tst_ComparePatterns.moc"
