#include "imagestats/PatternBits.h"

#include "MatchCycleFixture.h"

#include <QFile>
#include <QTest>

#include <functional>

Q_DECLARE_METATYPE(CatalogueRecord)

namespace {

using Tweak = std::function<void(CatalogueRecord&)>;

CatalogueRecord row(int recnum, const QString& wholeName, const Tweak& tweak = {})
{
    CatalogueRecord r = fileRow(recnum, wholeName);
    if (tweak)
        tweak(r);
    return r;
}

Tweak at(const QString& path, const QString& volume = QStringLiteral("[DISK]"))
{
    return [=](CatalogueRecord& r) {
        r.PATH = path;
        r.DRIVEVOLUME = volume;
    };
}

Tweak sized(double size)
{
    return [=](CatalogueRecord& r) { r.SIZE = size; };
}

Tweak deleted(const Tweak& more = {})
{
    return [=](CatalogueRecord& r) {
        r.RTAG = QStringLiteral("D");
        if (more)
            more(r);
    };
}

Tweak checksum(const QString& text)
{
    return [=](CatalogueRecord& r) { r.CHECKSUM = text; };
}

Tweak rgb(const QString& text)
{
    return [=](CatalogueRecord& r) { r.RGB = text; };
}

Tweak qrgb(const QString& text)
{
    return [=](CatalogueRecord& r) {
        r.QRGB = text;
        r.RGB = QStringLiteral("R100 G100 B100");
    };
}

// A pattern with the given cells dark.
Tweak dark(const QList<int>& cells)
{
    return [=](CatalogueRecord& r) {
        PatternBits bits;
        for (int cell : cells)
            bits.set(cell);
        r.PXLRAY = bits.toText();
        r.PXLNUM = bits.count();
    };
}

QList<int> range(int from, int to)
{
    QList<int> cells;
    for (int c = from; c <= to; ++c)
        cells << c;
    return cells;
}

Tweak patternText(const QString& text, int count)
{
    return [=](CatalogueRecord& r) {
        r.PXLRAY = text;
        r.PXLNUM = count;
    };
}

} // namespace

class tst_PrematchCycle : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void marksByMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("switches"); // S soft, I ignore, E exclusive, F incoming-files dir
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<QList<CatalogueRecord>>("rows");
        QTest::addColumn<QList<int>>("marks");
        QTest::addColumn<int>("matches");
        const int name = int(ComparisonMode::Name);
        QTest::newRow("empty") << name << "" << 5 << QList<CatalogueRecord> {} << QList<int> {} << 0;
        QTest::newRow("single record") << name << "" << 5 << QList { row(1, "a.jpg") } << QList<int> {} << 0;
        QTest::newRow("run of three") << name << "" << 5
                                      << QList { row(1, "a.jpg", at("/x/")), row(2, "b.jpg"),
                                             row(3, "a.jpg", at("/y/")), row(4, "a.jpg", at("/z/")) }
                                      << QList { 1, 3, 4 } << 2;
        QTest::newRow("soft prefix with one extension")
            << name << "S" << 5 << QList { row(1, "sun.gif"), row(2, "sun.jpg"), row(3, "sunset.jpg") }
            << QList { 2, 3 } << 1;
        QTest::newRow("soft prefix run") << name << "S" << 5
                                         << QList { row(1, "cat.jpg"), row(2, "cat1.jpg"), row(3, "cat12.jpg"),
                                                row(4, "dog.jpg") }
                                         << QList { 1, 2, 3 } << 2;
        QTest::newRow("soft prefix run broken by a neighbour")
            << name << "S" << 5 << QList { row(1, "cat.jpg"), row(2, "cat1.jpg"), row(3, "cat2.jpg") } << QList { 1, 2 }
            << 1;
        QTest::newRow("deleted record inside a run")
            << name << "" << 5
            << QList { row(1, "a.jpg", at("/x/")), row(2, "a.jpg", deleted(at("/y/"))), row(3, "a.jpg", at("/z/")) }
            << QList { 1, 3 } << 1;
        QTest::newRow("deleted first record is no reference")
            << name << "" << 5 << QList { row(1, "a.jpg", deleted(at("/x/"))), row(2, "a.jpg"), row(3, "b.jpg") }
            << QList<int> {} << 0;
        QTest::newRow("exclusive, same path, other label")
            << name << "E" << 5 << QList { row(1, "a.jpg", at("/p/", "[A]")), row(2, "a.jpg", at("/p/", "[B]")) }
            << QList<int> {} << 0;
        QTest::newRow("exclusive walks directory by directory")
            << name << "E" << 5
            << QList { row(1, "x.jpg", at("/a/")), row(2, "y.jpg", at("/a/")), row(3, "x.jpg", at("/b/")) }
            << QList<int> {} << 0;
        QTest::newRow("same names in two directories")
            << name << "" << 5
            << QList { row(1, "x.jpg", at("/a/")), row(2, "y.jpg", at("/a/")), row(3, "x.jpg", at("/b/")) }
            << QList { 1, 3 } << 1;
        QTest::newRow("incoming-files directory")
            << name << "F" << 5
            << QList { row(1, "a.jpg", at("/a/")), row(2, "a.jpg", at("/b/")), row(3, "a.jpg", at("/in/")) }
            << QList { 2, 3 } << 1;
        QTest::newRow("one file catalogued twice")
            << name << "" << 5 << QList { row(1, "a.jpg"), row(2, "a.jpg") } << QList<int> {} << 0;
        QTest::newRow("size, extensions count with ignore on")
            << int(ComparisonMode::Size) << "I" << 5
            << QList { row(1, "a.jpg", sized(500)), row(2, "c.jpg", sized(500)), row(3, "b.gif", sized(500)) }
            << QList { 1, 2 } << 1;
        QTest::newRow("name and size") << int(ComparisonMode::NameAndSize) << "" << 5
                                       << QList { row(1, "a.jpg", at("/x/")),
                                              row(2, "a.jpg",
                                                  [](CatalogueRecord& r) {
                                                      r.SIZE = 7;
                                                      r.PATH = "/y/";
                                                  }),
                                              row(3, "a.jpg", at("/z/")) }
                                       << QList { 1, 3 } << 1;
        QTest::newRow("numbered") << int(ComparisonMode::Numbered) << "" << 5
                                  << QList { row(1, "img1.jpg"), row(2, "img2.jpg"), row(3, "001.jpg"),
                                         row(4, "002.jpg") }
                                  << QList { 1, 2, 3, 4 } << 2;
        QTest::newRow("checksum") << int(ComparisonMode::Checksum) << "" << 5
                                  << QList { row(1, "a.jpg", checksum("c1")), row(2, "b.jpg", checksum("c1")),
                                         row(3, "d.jpg", checksum("c2")), row(4, "e.jpg", checksum(" ")),
                                         row(5, "f.jpg", checksum(" ")) }
                                  << QList { 1, 2, 4, 5 } << 2;
        QTest::newRow("checksum, soft, files differ")
            << int(ComparisonMode::Checksum) << "S" << 5
            << QList { row(1, "a.jpg", checksum("c1")), row(2, "differs.jpg", checksum("c1")),
                   row(3, "d.jpg", checksum("c2")), row(4, "e.jpg", checksum("c2")) }
            << QList { 3, 4 } << 1;
        QTest::newRow("average rgb") << int(ComparisonMode::AverageRgb) << "" << 5
                                     << QList { row(1, "a.jpg", rgb("R120 G045 B200")),
                                            row(2, "b.jpg", rgb("R125 G040 B205")),
                                            row(3, "c.jpg", rgb("R131 G040 B205")),
                                            row(4, "d.jpg", rgb("R200 G000 B000")) }
                                     << QList { 1, 2 } << 1;
        QTest::newRow("average rgb, blank reference")
            << int(ComparisonMode::AverageRgb) << "" << 5
            << QList { row(1, "a.jpg", rgb(" ")), row(2, "b.jpg", rgb("R003 G002 B001")) } << QList<int> {} << 0;
        QTest::newRow("quadrant rgb")
            << int(ComparisonMode::QuadrantRgb) << "" << 3
            << QList { row(1, "a.jpg", qrgb("R100 100 100 100 G050 050 050 050 B200 200 200 200")),
                   row(2, "b.jpg", qrgb("R103 100 100 100 G050 050 050 050 B200 200 200 203")),
                   row(3, "c.jpg", qrgb("R103 100 100 100 G050 050 050 050 B200 200 200 207")) }
            << QList { 1, 2 } << 1;
        const QList<CatalogueRecord> patterns { row(1, "p.jpg", dark(range(1, 40))),
            row(2, "p3.jpg", dark(range(1, 43))), row(3, "p9.jpg", dark(range(1, 49))), row(4, "evens.jpg", dark([] {
                QList<int> e;
                for (int c = 2; c <= 100; c += 2)
                    e << c;
                return e;
            }())),
            row(5, "turned.jpg", dark(range(61, 100))), row(6, "small.jpg", patternText("Image too small...", 0)),
            row(7, "blank.jpg", patternText(" ", 0)) };
        const int pattern = int(ComparisonMode::Pattern);
        QTest::newRow("pattern") << pattern << "" << 5 << patterns << QList { 1, 2 } << 1;
        QTest::newRow("pattern, soft") << pattern << "S" << 5 << patterns << QList { 1, 2, 5 } << 2;
        QTest::newRow("pattern, tolerance at the difference") << pattern << "" << 3 << patterns << QList { 1, 2 } << 1;
        QTest::newRow("pattern, tolerance past the difference") << pattern << "" << 2 << patterns << QList<int> {} << 0;
        QList<CatalogueRecord> apart = patterns;
        apart[1].PATH = QStringLiteral("/elsewhere/");
        QTest::newRow("pattern, exclusive") << pattern << "E" << 5 << apart << QList<int> {} << 0;
        QTest::newRow("pattern, incoming-files directory holds only the candidate")
            << pattern << "F" << 5
            << QList { row(1, "p.jpg", dark(range(1, 40))),
                   row(2, "q.jpg",
                       [](CatalogueRecord& r) {
                           dark(range(1, 41))(r);
                           r.PATH = QStringLiteral("/in/");
                       }) }
            << QList { 1, 2 } << 1;
    }
    void marksByMode()
    {
        QFETCH(int, mode);
        QFETCH(QString, switches);
        QFETCH(int, tolerance);
        QFETCH(QList<CatalogueRecord>, rows);
        QFETCH(QList<int>, marks);
        QFETCH(int, matches);
        MatchCycleFixture f;
        f.settings.mode = ComparisonMode(mode);
        f.settings.softMatch = switches.contains('S');
        f.settings.ignoreExtension = switches.contains('I');
        f.settings.exclusive = switches.contains('E');
        if (switches.contains('F'))
            f.settings.ifcd = QStringLiteral("[DISK] /in/");
        f.settings.tolerance = QString::number(tolerance);
        f.confirmer.differing = { QStringLiteral("differs.jpg") };
        QVERIFY(f.make(rows));
        QCOMPARE(f.runWhole(), matches);
        QCOMPARE(f.marks(), marks);
        QCOMPARE(
            f.prompter.texts(), QStringList { QStringLiteral("0 files read,  %1 matches found ...").arg(matches) });
        QVERIFY(!QFile::exists(f.resumeFile()));
    }
};

QTEST_GUILESS_MAIN(tst_PrematchCycle)
#include "tst_PrematchCycle.moc"
