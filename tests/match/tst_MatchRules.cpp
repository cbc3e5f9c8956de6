#include "match/FileConfirmer.h"
#include "match/ImageFacts.h"
#include "match/MatchRules.h"
#include "match/ModeOrder.h"
#include "match/RuleSettings.h"
#include "platform/Conventions.h"
#include "session/MainSettings.h"

#include "FakeVolumes.h"
#include "MatchTestSupport.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

ImageFacts facts(const QString& wholeName, qint64 size = 1000, const QString& path = QStringLiteral("/pics/"),
    const QString& volume = QStringLiteral("[DISK]"))
{
    CatalogueRecord row = fileRow(1, wholeName, path, volume);
    row.SIZE = double(size);
    return factsOf(row);
}

RuleSettings switches(bool soft, bool ignore, int tolerance = 5)
{
    RuleSettings s;
    s.softMatch = soft;
    s.ignoreExtension = ignore;
    s.tolerance = tolerance;
    return s;
}

} // namespace

class tst_MatchRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void nameRules_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("soft");
        QTest::addColumn<bool>("ignore");
        QTest::addColumn<bool>("backward");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<int>("candidateSize");
        QTest::addColumn<bool>("matches");
        const int name = int(ComparisonMode::Name), nameSize = int(ComparisonMode::NameAndSize),
                  numbered = int(ComparisonMode::Numbered);
        QTest::newRow("name equal") << name << false << false << false << "SUN.JPG"
                                    << "SUN.JPG" << 1000 << true;
        QTest::newRow("name, other extension") << name << false << false << false << "SUN.GIF"
                                               << "SUN.JPG" << 1000 << false;
        QTest::newRow("name, other extension ignored") << name << false << true << false << "SUN.GIF"
                                                       << "SUN.JPG" << 1000 << true;
        QTest::newRow("name, case counts") << name << false << false << false << "Sun.JPG"
                                           << "SUN.JPG" << 1000 << true;
        QTest::newRow("name prefix without soft") << name << false << false << false << "SUN.JPG"
                                                  << "SUNSET.JPG" << 1000 << false;
        QTest::newRow("soft prefix, one extension") << name << true << false << false << "SUN.JPG"
                                                    << "SUNSET.JPG" << 1000 << true;
        QTest::newRow("soft prefix, other extension") << name << true << false << false << "SUN.GIF"
                                                      << "SUNSET.JPG" << 1000 << false;
        QTest::newRow("soft prefix, extension ignored") << name << true << true << false << "SUN.GIF"
                                                        << "SUNSET.JPG" << 1000 << true;
        QTest::newRow("soft prefix, wrong way round") << name << true << false << false << "SUNSET.JPG"
                                                      << "SUN.JPG" << 1000 << false;
        QTest::newRow("soft prefix backward") << name << true << false << true << "CATS.JPG"
                                              << "CAT.JPG" << 1000 << true;
        QTest::newRow("soft prefix backward, wrong way") << name << true << false << true << "CAT.JPG"
                                                         << "CATS.JPG" << 1000 << false;
        QTest::newRow("bracket taken literally") << name << true << false << false << "A[1.JPG"
                                                 << "A[1B.JPG" << 1000 << true;
        QTest::newRow("hash is no digit wildcard") << name << true << false << false << "A#.JPG"
                                                   << "A1.JPG" << 1000 << false;
        QTest::newRow("star is no wildcard") << name << true << true << false << "A*.JPG"
                                             << "AB.JPG" << 1000 << false;
        QTest::newRow("name and size equal") << nameSize << false << false << false << "SUN.JPG"
                                             << "SUN.JPG" << 1000 << true;
        QTest::newRow("name and size, sizes differ") << nameSize << false << false << false << "SUN.JPG"
                                                     << "SUN.JPG" << 1001 << false;
        QTest::newRow("name and size, soft prefix") << nameSize << true << false << false << "SUN.JPG"
                                                    << "SUN2.JPG" << 1000 << true;
        QTest::newRow("name and size, soft prefix, sizes differ") << nameSize << true << true << false << "SUN.JPG"
                                                                  << "SUN2.GIF" << 9 << false;
        QTest::newRow("numbered, one base") << numbered << false << false << false << "IMG001.JPG"
                                            << "IMG002.JPG" << 1000 << true;
        QTest::newRow("numbered, other extension") << numbered << false << false << false << "IMG001.GIF"
                                                   << "IMG002.JPG" << 1000 << false;
        QTest::newRow("numbered, extension ignored") << numbered << false << true << false << "IMG001.GIF"
                                                     << "IMG002.JPG" << 1000 << true;
        QTest::newRow("numbered, no letters, one extension") << numbered << false << false << false << "001.JPG"
                                                             << "002.JPG" << 1000 << true;
        QTest::newRow("numbered, soft, empty base prefixes all") << numbered << true << true << false << "001.JPG"
                                                                 << "DOG.GIF" << 1000 << true;
        QTest::newRow("numbered, soft prefix") << numbered << true << false << false << "DSC1.JPG"
                                               << "DSCN1.JPG" << 1000 << true;
        QTest::newRow("numbered, other base") << numbered << false << true << false << "CAT1.JPG"
                                              << "DOG1.JPG" << 1000 << false;
    }
    void nameRules()
    {
        QFETCH(int, mode);
        QFETCH(bool, soft);
        QFETCH(bool, ignore);
        QFETCH(bool, backward);
        QFETCH(QString, reference);
        QFETCH(QString, candidate);
        QFETCH(int, candidateSize);
        QFETCH(bool, matches);
        const auto direction = backward ? SearchDirection::Backward : SearchDirection::Forward;
        QCOMPARE(ruleMatches(ComparisonMode(mode), facts(reference), facts(candidate, candidateSize),
                     switches(soft, ignore), direction),
            matches);
    }

    void sizeAndChecksum_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("ignore");
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<int>("candidateSize");
        QTest::addColumn<QString>("candidateChecksum");
        QTest::addColumn<bool>("matches");
        const int size = int(ComparisonMode::Size), checksum = int(ComparisonMode::Checksum);
        QTest::newRow("size equal") << size << false << "B.JPG" << 1000 << "x" << true;
        QTest::newRow("size differs") << size << false << "B.JPG" << 1001 << "x" << false;
        QTest::newRow("size, other extension") << size << false << "B.GIF" << 1000 << "x" << false;
        QTest::newRow("size, other extension, ignore on") << size << true << "B.GIF" << 1000 << "x" << false;
        QTest::newRow("checksum equal") << checksum << false << "B.JPG" << 5 << ".JPG 1000 17" << true;
        QTest::newRow("checksum differs") << checksum << false << "B.JPG" << 1000 << ".JPG 1000 18" << false;
        QTest::newRow("checksums not gathered") << checksum << true << "B.JPG" << 1000 << " " << false;
    }
    void sizeAndChecksum()
    {
        QFETCH(int, mode);
        QFETCH(bool, ignore);
        QFETCH(QString, candidate);
        QFETCH(int, candidateSize);
        QFETCH(QString, candidateChecksum);
        QFETCH(bool, matches);
        ImageFacts r = facts(QStringLiteral("A.JPG"));
        r.CHECKSUM = QStringLiteral(".JPG 1000 17");
        ImageFacts c = facts(candidate, candidateSize);
        c.CHECKSUM = candidateChecksum;
        QCOMPARE(ruleMatches(ComparisonMode(mode), r, c, switches(false, ignore)), matches);
        // Two blank checksums are equal texts: records without one pair up.
        r.CHECKSUM = c.CHECKSUM = QStringLiteral(" ");
        QVERIFY(ruleChecksum(r, c));
    }

    void colourValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("letter");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("value");
        QTest::newRow("red") << "R123 G045 B200"
                             << "R" << 0 << 123;
        QTest::newRow("green, leading zero") << "R123 G045 B200"
                                             << "G" << 0 << 45;
        QTest::newRow("blue") << "R123 G045 B200"
                              << "B" << 0 << 200;
        QTest::newRow("blank") << " "
                               << "R" << 0 << 0;
        QTest::newRow("empty") << ""
                               << "G" << 0 << 0;
        QTest::newRow("cut short") << "R12"
                                   << "R" << 0 << 12;
        QTest::newRow("quadrant 4") << "R001 002 003 004 G005 006 007 008 B009 010 011 012"
                                    << "R" << 12 << 4;
        QTest::newRow("quadrant 2 of blue") << "R001 002 003 004 G005 006 007 008 B009 010 011 012"
                                            << "B" << 4 << 10;
        QTest::newRow("missing letter reads from the start") << "R123 B200"
                                                             << "G" << 0 << 0;
        QTest::newRow("missing letter, digits at start") << "123456"
                                                         << "G" << 0 << 123;
        QTest::newRow("blanks skipped") << "R 7 "
                                        << "R" << 0 << 7;
    }
    void colourValue()
    {
        QFETCH(QString, text);
        QFETCH(QString, letter);
        QFETCH(int, offset);
        QFETCH(int, value);
        QCOMPARE(::colourValue(text, letter.at(0), offset), value);
    }

    void colourRules_data()
    {
        QTest::addColumn<bool>("quadrant");
        QTest::addColumn<bool>("soft");
        QTest::addColumn<bool>("ignore");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<QString>("candidateExtension");
        QTest::addColumn<bool>("matches");
        QTest::newRow("each channel exactly T") << false << false << false << 5 << "R120 G045 B200"
                                                << "R125 G040 B205"
                                                << ".JPG" << true;
        QTest::newRow("red T + 1") << false << false << false << 5 << "R120 G045 B200"
                                   << "R126 G045 B200"
                                   << ".JPG" << false;
        QTest::newRow("T 0, equal") << false << false << false << 0 << "R120 G045 B200"
                                    << "R120 G045 B200"
                                    << ".JPG" << true;
        QTest::newRow("T 0, one apart") << false << false << false << 0 << "R120 G045 B200"
                                        << "R120 G046 B200"
                                        << ".JPG" << false;
        QTest::newRow("other extension") << false << false << false << 5 << "R120 G045 B200"
                                         << "R120 G045 B200"
                                         << ".GIF" << false;
        QTest::newRow("other extension ignored") << false << false << true << 5 << "R120 G045 B200"
                                                 << "R120 G045 B200"
                                                 << ".GIF" << true;
        QTest::newRow("blank candidate reads zeros") << false << false << false << 5 << "R005 G000 B003"
                                                     << " "
                                                     << ".JPG" << true;
        QTest::newRow("blank candidate, far reference") << false << false << false << 5 << "R006 G000 B003"
                                                        << " "
                                                        << ".JPG" << false;
        QTest::newRow("soft compares differences") << false << true << false << 5 << "R010 G020 B030"
                                                   << "R012 G018 B030"
                                                   << ".JPG" << true;
        const QString q = QStringLiteral("R100 100 100 100 G050 050 050 050 B200 200 200 200");
        QTest::newRow("quadrant equal") << true << false << false << 0 << q << q << ".JPG" << true;
        QTest::newRow("quadrant, every value T off")
            << true << false << false << 3 << q << "R103 097 103 097 G053 047 053 047 B203 197 203 197"
            << ".JPG" << true;
        QTest::newRow("quadrant, one value T + 1")
            << true << false << false << 3 << q << "R100 100 100 100 G050 050 050 050 B200 200 200 204"
            << ".JPG" << false;
        QTest::newRow("quadrant, red outside")
            << true << false << true << 3 << q << "R100 100 100 110 G050 050 050 050 B200 200 200 200"
            << ".GIF" << false;
        QTest::newRow("quadrant, other extension") << true << false << false << 3 << q << q << ".GIF" << false;
        QTest::newRow("quadrant, blank candidate")
            << true << false << false << 5 << "R001 002 003 004 G005 000 000 000 B000 000 000 000"
            << " "
            << ".JPG" << true;
    }
    void colourRules()
    {
        QFETCH(bool, quadrant);
        QFETCH(bool, soft);
        QFETCH(bool, ignore);
        QFETCH(int, tolerance);
        QFETCH(QString, reference);
        QFETCH(QString, candidate);
        QFETCH(QString, candidateExtension);
        QFETCH(bool, matches);
        ImageFacts r = facts(QStringLiteral("A.JPG"));
        ImageFacts c = facts(QStringLiteral("B") + candidateExtension);
        // The plain fields hold something far apart, so a soft test shows it reads only the soft ones.
        r.RGB = soft ? QStringLiteral("R000 G000 B000") : reference;
        c.RGB = soft ? QStringLiteral("R250 G250 B250") : candidate;
        r.SOFTRGB = soft ? reference : QStringLiteral("R250 G250 B250");
        c.SOFTRGB = soft ? candidate : QStringLiteral("R000 G000 B000");
        r.QRGB = reference;
        c.QRGB = candidate;
        const RuleSettings s = switches(soft, ignore, tolerance);
        const ComparisonMode mode = quadrant ? ComparisonMode::QuadrantRgb : ComparisonMode::AverageRgb;
        QCOMPARE(ruleMatches(mode, r, c, s), matches);
        FakeConfirmer confirmer;
        QCOMPARE(pairVerdict(mode, r, c, s, confirmer), matches);
        // A reference without colour statistics never matches, soft or not.
        r.RGB = QStringLiteral("   ");
        if (!soft)
            r.QRGB = r.RGB = QStringLiteral("   ");
        QVERIFY(!pairVerdict(mode, r, c, s, confirmer));
    }

    void postTests_data()
    {
        QTest::addColumn<QString>("ifcd");
        QTest::addColumn<bool>("tree");
        QTest::addColumn<bool>("exclusive");
        QTest::addColumn<QString>("referenceLocation");
        QTest::addColumn<QString>("candidateLocation");
        QTest::addColumn<bool>("matches");
        QTest::newRow("no switches") << "" << false << false << "[A] /x/"
                                     << "[B] /y/" << true;
        QTest::newRow("exclusive, same place") << "" << false << true << "[A] /x/"
                                               << "[A] /x/" << true;
        QTest::newRow("exclusive, other path") << "" << false << true << "[A] /x/"
                                               << "[A] /y/" << false;
        QTest::newRow("exclusive, same path, other label") << "" << false << true << "[A] /x/"
                                                           << "[B] /x/" << false;
        QTest::newRow("ifcd, neither in it") << "[A] /in/" << false << false << "[A] /x/"
                                             << "[A] /y/" << false;
        QTest::newRow("ifcd, candidate in it") << "[A] /in/" << false << false << "[A] /x/"
                                               << "[A] /in/" << true;
        QTest::newRow("ifcd, below it, single") << "[A] /in/" << false << false << "[A] /in/sub/"
                                                << "[A] /y/" << false;
        QTest::newRow("ifcd, below it, tree") << "[A] /in/" << true << false << "[A] /in/sub/"
                                              << "[A] /y/" << true;
    }
    void postTests()
    {
        QFETCH(QString, ifcd);
        QFETCH(bool, tree);
        QFETCH(bool, exclusive);
        QFETCH(QString, referenceLocation);
        QFETCH(QString, candidateLocation);
        QFETCH(bool, matches);
        auto at = [](const QString& location, const QString& name) {
            const qsizetype blank = location.indexOf(QLatin1Char(' '));
            return facts(name, 1000, location.mid(blank + 1), location.left(blank));
        };
        RuleSettings s = switches(false, false);
        s.ifcd = ifcd;
        s.treeModeIfcd = tree;
        s.exclusive = exclusive;
        FakeConfirmer confirmer;
        const ImageFacts r = at(referenceLocation, QStringLiteral("A.JPG"));
        const ImageFacts c = at(candidateLocation, QStringLiteral("a.JPG")); // one name on a case-sensitive disk
        QCOMPARE(pairVerdict(ComparisonMode::Name, r, c, s, confirmer), matches);
        // The pattern step tests only exclusive matching on the pair.
        ImageFacts other = c;
        other.RECNUM = r.RECNUM + 1;
        RuleSettings hitSettings;
        hitSettings.exclusive = exclusive;
        hitSettings.tolerance = 3;
        QCOMPARE(::patternHit(3, r, other, hitSettings), !exclusive || r.fileLocation() == c.fileLocation());
    }

    void patternHits_data()
    {
        QTest::addColumn<int>("diff");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<bool>("sameRecnum");
        QTest::addColumn<bool>("hit");
        QTest::newRow("at T") << 5 << 5 << false << true;
        QTest::newRow("past T") << 6 << 5 << false << false;
        QTest::newRow("T 0, equal") << 0 << 0 << false << true;
        QTest::newRow("same record number") << 0 << 5 << true << false;
        QTest::newRow("not comparable") << 999 << 99 << false << false;
    }
    void patternHits()
    {
        QFETCH(int, diff);
        QFETCH(int, tolerance);
        QFETCH(bool, sameRecnum);
        QFETCH(bool, hit);
        ImageFacts r = facts(QStringLiteral("A.JPG"));
        ImageFacts c = facts(QStringLiteral("B.JPG"));
        r.RECNUM = 4;
        c.RECNUM = sameRecnum ? 4 : 5;
        RuleSettings hitSettings;
        hitSettings.tolerance = tolerance;
        QCOMPARE(::patternHit(diff, r, c, hitSettings), hit);
    }

    void checksumConfirmation()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + QLatin1Char('/');
        QVERIFY(writeFile(path + QStringLiteral("a.jpg"), QByteArray(3000, 'a')));
        QVERIFY(writeFile(path + QStringLiteral("b.jpg"), QByteArray(3000, 'a')));
        QVERIFY(writeFile(path + QStringLiteral("c.jpg"), QByteArray(2999, 'a') + 'c'));
        QVERIFY(QFile::link(path + QStringLiteral("a.jpg"), path + QStringLiteral("link.jpg")));
        auto at = [&](const QString& name) {
            ImageFacts f = facts(name, 3000, path);
            f.CHECKSUM = QStringLiteral(".JPG 3000 1");
            return f;
        };
        ScriptedPrompter prompter;
        FakeVolumes volumes;
        MediaFileConfirmer confirmer(MediaPromptSettings { true, QString() }, volumes, prompter);
        const RuleSettings soft = switches(true, false);
        const RuleSettings plain = switches(false, false);
        QVERIFY(pairVerdict(ComparisonMode::Checksum, at("a.jpg"), at("b.jpg"), soft, confirmer));
        QVERIFY(!pairVerdict(ComparisonMode::Checksum, at("a.jpg"), at("c.jpg"), soft, confirmer));
        QVERIFY(pairVerdict(ComparisonMode::Checksum, at("a.jpg"), at("c.jpg"), plain, confirmer));
        QVERIFY(!pairVerdict(ComparisonMode::Checksum, at("a.jpg"), at("missing.jpg"), soft, confirmer));
        // One file reached by two paths is no pair, whatever the rule says.
        QVERIFY(isOneFile(at("a.jpg"), at("link.jpg")));
        QVERIFY(!pairVerdict(ComparisonMode::Checksum, at("a.jpg"), at("link.jpg"), plain, confirmer));
        QVERIFY(!isOneFile(at("a.jpg"), at("b.jpg")));
        QVERIFY(prompter.messages().isEmpty());
    }

    void toleranceText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("whole") << "5" << 5;
        QTest::newRow("half down to even") << "4.5" << 4;
        QTest::newRow("half up to even") << "5.5" << 6;
        QTest::newRow("no number") << "abc" << 0;
        QTest::newRow("leading number") << "7 cells" << 7;
    }
    void toleranceText()
    {
        QFETCH(QString, text);
        QFETCH(int, tolerance);
        MainSettings settings;
        settings.tolerance = text;
        QCOMPARE(RuleSettings::from(settings).tolerance, tolerance);
    }

    void modeOrder_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("exclusive");
        QTest::addColumn<bool>("ignore");
        QTest::addColumn<QString>("orderBy");
        QTest::newRow("name") << int(ComparisonMode::Name) << false << false << "WHOLENAME";
        QTest::newRow("name, ignore") << int(ComparisonMode::Name) << false << true << "NAME";
        QTest::newRow("name, exclusive") << int(ComparisonMode::Name) << true << false
                                         << "PATH, PATH COLLATE BINARY, WHOLENAME";
        QTest::newRow("name and size, exclusive")
            << int(ComparisonMode::NameAndSize) << true << false << "PATH, PATH COLLATE BINARY, WHOLENAME, SIZE";
        QTest::newRow("name and size, ignore") << int(ComparisonMode::NameAndSize) << false << true << "NAME, SIZE";
        QTest::newRow("numbered") << int(ComparisonMode::Numbered) << false << false << "WHOLEBASE";
        QTest::newRow("numbered, ignore") << int(ComparisonMode::Numbered) << false << true << "BASENAME";
        QTest::newRow("size, ignore alike") << int(ComparisonMode::Size) << false << true << "SIZE";
        QTest::newRow("checksum") << int(ComparisonMode::Checksum) << false << true << "CHECKSUM";
        QTest::newRow("average rgb") << int(ComparisonMode::AverageRgb) << true << true
                                     << "PATH, PATH COLLATE BINARY, RGB";
        QTest::newRow("quadrant rgb") << int(ComparisonMode::QuadrantRgb) << false << false << "QRGB";
        QTest::newRow("pattern never takes the path") << int(ComparisonMode::Pattern) << true << true << "RECNUM";
    }
    void modeOrder()
    {
        QFETCH(int, mode);
        QFETCH(bool, exclusive);
        QFETCH(bool, ignore);
        QFETCH(QString, orderBy);
        const RecordSource source
            = buildModeRecordSource(ComparisonMode(mode), exclusive, ignore, prematchActiveCodes());
        QCOMPARE(source.orderBy, orderBy);
        QCOMPARE(source.where, QStringLiteral("ACTIVE = ? OR ACTIVE = ?"));
        QCOMPARE(source.params, QVariantList({ QStringLiteral("X"), QStringLiteral("*") }));
    }

    void recordSlots_data()
    {
        QTest::addColumn<double>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("512 bytes") << 512.0 << " 512";
        QTest::newRow("empty file") << 0.0 << " 0";
        QTest::newRow("large") << 5000000000.0 << " 5000000000";
    }
    void recordSlots()
    {
        QFETCH(double, size);
        QFETCH(QString, text);
        CatalogueRecord row = fileRow(7, QStringLiteral("a.jpg"));
        row.SIZE = size;
        row.PXLRAY = QStringLiteral("* *");
        row.PXLNUM = 2;
        ImageFacts slot = factsOf(row);
        QCOMPARE(slot.SIZE, text);
        QCOMPARE(slot.RECNUM, 7);
        QCOMPARE(slot.DATE, conv::dateKeyText(row.DATE));
        QCOMPARE(slot.fileLocation(), QStringLiteral("[DISK] /pics/"));
        QCOMPARE(slot.filePath(), QStringLiteral("/pics/a.jpg"));
        ClearSlot(slot);
        QCOMPARE(slot.SIZE, QStringLiteral("0"));
        QCOMPARE(slot.RECNUM, 0);
        QCOMPARE(slot.PXLNUM, 0);
        QVERIFY(slot.PXLRAY.isEmpty() && slot.RTAG.isEmpty() && slot.NAME.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_MatchRules)
#include "tst_MatchRules.moc"
