#include "main/ListFiles.h"
#include "main/SettingsFile.h"
#include "platform/Conventions.h"

#include "FileSystemFixtures.h"
#include "ScriptedPrompter.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <cstring>

namespace {

// A file carrying every line kind, as the writer lays it out.
QByteArray fullFile(const QString& wavDir)
{
    return QStringLiteral("[CURRENT LIST]\r\n"
                          "LIST NAME = Holiday Pics\r\n"
                          "AUTOSAVE DIR LIST\r\n"
                          "USE SINGLE DATABASE\r\n"
                          " \r\n"
                          "[MODE]\r\n"
                          "QUADRANT RGB\r\n"
                          "IGNORE EXTENSION\r\n"
                          "RGB TOLERANCE = 7.5\r\n"
                          " \r\n"
                          "[OPTIONS]\r\n"
                          "USE SOFTMATCH\r\n"
                          "EXCLUSIVE DIR MATCHING\r\n"
                          "USE SNAPSHOT\r\n"
                          "USE RECYCLE BIN\r\n"
                          "DO NOT CONFIRM DELETES\r\n"
                          "AUTO LOAD NEXT\r\n"
                          "THUMBNAIL = .THN\r\n"
                          "FILTER = DOG*,CAT*\r\n"
                          "NOT FILTER\r\n"
                          " \r\n"
                          "[FILE TYPES]\r\n"
                          ".ART\r\n"
                          ".JPG\r\n"
                          ".ICO\r\n"
                          " \r\n"
                          "[MISC]\r\n"
                          "12 FILES DELETED\r\n"
                          "1.5E+15 BYTES RECOVERED\r\n"
                          "MONTH COMPACTED = 11\r\n"
                          "ALTERNATE VIEWER = /usr/bin/viewer --opt=x\r\n"
                          "SEARCH COMPLETED = YES\r\n"
                          "REACTIVATE = /media/usb|/mnt/cd\r\n"
                          "STOPPED AT RECORD = 4711\r\n"
                          "LAST DIRECTORY = /home/someone/Pictures\r\n"
                          "WAV DIRECTORY = %1\r\n"
                          "SCANBAR TOP = 1200\r\n"
                          "SCANBAR LEFT = -30\r\n"
                          "DISABLE FILE POLLING\r\n"
                          "DISABLE END STATS MESSAGE\r\n"
                          "DISABLE SOUND\r\n"
                          "FIX JPEG FILES\r\n"
                          "RUN PRE-MATCH CYCLE\r\n"
                          "DO NOT AUTOPURGE\r\n"
                          "IDENTIFY BY LOCATION\r\n"
                          "NO WARNINGS\r\n"
                          " \r\n")
        .arg(wavDir)
        .toUtf8();
}

struct Reader
{
    ScriptedPrompter prompter;
    MainSettings settings;
    Session session;
    QStringList loaded;
    ProgramOutcome read(const QString& dir)
    {
        SettingsFile file(dir, prompter);
        return file.read(settings, session, [this](const QString& name) {
            loaded << name;
            settings.listName = name;
        });
    }
};

// The text value kept on a key line.
QString& textValue(const QString& key, MainSettings& s, Session& v)
{
    const std::pair<const char*, QString*> values[] { { "LIST NAME", &s.listName }, { "RGB TOLERANCE", &s.tolerance },
        { "THUMBNAIL", &s.thumbnailExt }, { "FILTER", &s.filter }, { "ALTERNATE VIEWER", &v.AltViewer },
        { "SEARCH COMPLETED", &v.SearchCompleted }, { "REACTIVATE", &v.ReactivateDrives },
        { "LAST DIRECTORY", &v.LastDirUsed }, { "WAV DIRECTORY", &v.WavDirectory } };
    for (const auto& [name, value] : values) {
        if (key == QLatin1String(name))
            return *value;
    }
    Q_UNREACHABLE();
}

// The boxes kept as flag lines, by their lines.
QList<std::pair<QString, bool*>> keptBoxes(MainSettings& s)
{
    QList<std::pair<QString, bool*>> boxes { { "AUTOSAVE DIR LIST", &s.saveList },
        { "USE SINGLE DATABASE", &s.singleTable }, { "IGNORE EXTENSION", &s.ignoreExtension },
        { "USE SOFTMATCH", &s.softMatch }, { "EXCLUSIVE DIR MATCHING", &s.exclusive }, { "USE SNAPSHOT", &s.snapshot },
        { "USE RECYCLE BIN", &s.recycle }, { "DO NOT CONFIRM DELETES", &s.noConfirm },
        { "AUTO LOAD NEXT", &s.autoNext }, { "NOT FILTER", &s.notFilter }, { "DISABLE SOUND", &s.noSound },
        { "FIX JPEG FILES", &s.fixJpeg }, { "RUN PRE-MATCH CYCLE", &s.preMatch } };
    for (int i = 0; i < FileTypeCount; ++i)
        boxes.append({ QString::fromLatin1(FileTypes[std::size_t(i)].extension), &s.fileTypes[std::size_t(i)] });
    return boxes;
}

} // namespace

class tst_SettingsFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void writeReadWriteIsByteIdentical()
    {
        TemporaryProgramDirectory dir;
        const QByteArray original = fullFile(dir.path() + "/");
        QVERIFY(writeFile(dir.file("TOLQ.INI"), original));
        Reader reader;
        QCOMPARE(reader.read(dir.path()), ProgramOutcome::Continue);
        QVERIFY(QFile::remove(dir.file("TOLQ.INI")));
        SettingsFile file(dir.path(), reader.prompter);
        QCOMPARE(file.write(reader.settings, reader.session), ProgramOutcome::Continue);
        QCOMPARE(readFile(dir.file("TOLQ.INI")), original);
        QVERIFY(reader.prompter.messages().isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "TOLQ.INI" });

        // Every value reached its place.
        QCOMPARE(reader.loaded, QStringList { "Holiday Pics" });
        QCOMPARE(reader.settings.mode, ComparisonMode::QuadrantRgb);
        QVERIFY(reader.settings.softMatch); // written after the mode, so it survives
        QCOMPARE(reader.settings.tolerance, QStringLiteral("7.5"));
        QCOMPARE(reader.settings.toleranceValue(), 8);
        QVERIFY(reader.settings.fileTypes[0] && reader.settings.fileTypes[9] && reader.settings.fileTypes[23]);
        QCOMPARE(reader.settings.tickedTypeCount(), 3);
        QCOMPARE(reader.session.TotalDeleted, 12);
        QCOMPARE(reader.session.TotalSectorBytes, 1.5e15);
        QCOMPARE(reader.session.AltViewer, QStringLiteral("/usr/bin/viewer --opt=x"));
        QCOMPARE(reader.session.reactivateMountPoints(), (QStringList { "/media/usb", "/mnt/cd" }));
        QCOMPARE(reader.session.StoppedAtRecord, 4711);
        QCOMPARE(reader.session.PreScanLeft, -30);
        QVERIFY(!reader.session.ShowEndStats && !reader.session.ThreeMonthPurge);
    }

    void bytesTotalIncludesThisRun()
    {
        TemporaryProgramDirectory dir;
        ScriptedPrompter prompter;
        MainSettings settings;
        Session session;
        settingstable::applyDesignValues(settings, session, dir.path()); // a first start
        session.TotalSectorBytes = 1000;
        session.RecoveredSectorBytes = 24;
        const QStringList lines = SettingsFile::compose(settings, session);
        QVERIFY(lines.contains("1024 BYTES RECOVERED"));
        // The 25 lines always written, Ignore .EXT ticked and the thumbnail extension of the start.
        QCOMPARE(lines.size(), 27);
    }

    void lineTests_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty list name loads General") << "LIST NAME ="
                                                       << "list"
                                                       << "General";
        QTest::newRow("key in lower case, value keeps case") << "list name = MyPics"
                                                             << "list"
                                                             << "MyPics";
        QTest::newRow("key needs blank before =") << "LIST NAME= X"
                                                  << "list"
                                                  << "";
        QTest::newRow("snapshot with trailing blank fails") << "USE SNAPSHOT "
                                                            << "snapshot"
                                                            << "0";
        QTest::newRow("snapshot exact") << "use snapshot"
                                        << "snapshot"
                                        << "1";
        QTest::newRow("disable sound with trailing blank ticks") << "DISABLE SOUND "
                                                                 << "nosound"
                                                                 << "1";
        QTest::newRow("viewer value holding =") << "ALTERNATE VIEWER = a=b"
                                                << "viewer"
                                                << "a=b";
        QTest::newRow("files deleted first word") << "12 FILES DELETED"
                                                  << "deleted"
                                                  << "12";
        QTest::newRow("files deleted rounds half even") << "12.5 FILES DELETED"
                                                        << "deleted"
                                                        << "12";
        QTest::newRow("files deleted without number") << "FILES DELETED"
                                                      << "deleted"
                                                      << "0";
        QTest::newRow("viewer value naming the counters") << "ALTERNATE VIEWER = /x/99 FILES DELETED"
                                                          << "deleted"
                                                          << "5";
        QTest::newRow("reactivate value naming a switch") << "REACTIVATE = /DISABLE SOUND"
                                                          << "nosound"
                                                          << "0";
        QTest::newRow("last dir value naming bytes") << "LAST DIRECTORY = /7 BYTES RECOVERED"
                                                     << "bytes"
                                                     << "3";
        QTest::newRow("bytes exponent") << "1.5E+15 BYTES RECOVERED"
                                        << "bytes"
                                        << "1.5E+15";
        QTest::newRow("stopped at record rounds") << "STOPPED AT RECORD = 2.5"
                                                  << "stopped"
                                                  << "2";
        QTest::newRow("stopped at record no number") << "STOPPED AT RECORD = abc"
                                                     << "stopped"
                                                     << "0";
        QTest::newRow("month too large for 16 bits keeps value") << "MONTH COMPACTED = 70000"
                                                                 << "month"
                                                                 << "3";
        QTest::newRow("record too large for 32 bits keeps value") << "STOPPED AT RECORD = 1E12"
                                                                  << "stopped"
                                                                  << "9";
        QTest::newRow("foreign line") << "SOMETHING ELSE = 1"
                                      << "changed"
                                      << "0";
        QTest::newRow("binary junk") << QString::fromLatin1("\x01\x02\xff=") << "changed"
                                     << "0";
        QTest::newRow("mode selects and clears soft") << "PATTERN"
                                                      << "softmode"
                                                      << "0/Pattern";
        QTest::newRow("same mode keeps soft") << "NAME"
                                              << "softmode"
                                              << "1/Name";
        QTest::newRow("type line marks changed") << ".PNG"
                                                 << "changed"
                                                 << "1";
    }
    void lineTests()
    {
        QFETCH(QString, line);
        QFETCH(QString, check);
        QFETCH(QString, expected);
        MainSettings s;
        s.softMatch = true;
        Session v;
        v.TotalDeleted = 5;
        v.TotalSectorBytes = 3;
        v.CompactedMonth = 3;
        v.StoppedAtRecord = 9;
        QString loaded;
        SettingsFile::applyLine(line, s, v, [&](const QString& name) { loaded = name; });
        QString actual;
        if (check == "list")
            actual = loaded;
        else if (check == "snapshot")
            actual = QString::number(s.snapshot);
        else if (check == "nosound")
            actual = QString::number(s.noSound);
        else if (check == "viewer")
            actual = v.AltViewer;
        else if (check == "deleted")
            actual = QString::number(v.TotalDeleted);
        else if (check == "bytes")
            actual = conv::shortestDouble(v.TotalSectorBytes);
        else if (check == "stopped")
            actual = QString::number(v.StoppedAtRecord);
        else if (check == "month")
            actual = QString::number(v.CompactedMonth);
        else if (check == "changed")
            actual = QString::number(v.ChangedSearch);
        else if (check == "softmode")
            actual = QString::number(s.softMatch) + "/"
                + (s.mode == ComparisonMode::Pattern     ? "Pattern"
                        : s.mode == ComparisonMode::Name ? "Name"
                                                         : "?");
        QCOMPARE(actual, expected);
    }

    // A value holding a line break would end its key line and put a line of its own into the file.
    void valueWithALineBreakIsNotTaken_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("lineBreak");
        for (const char* key : { "LIST NAME", "RGB TOLERANCE", "THUMBNAIL", "FILTER", "ALTERNATE VIEWER",
                 "SEARCH COMPLETED", "REACTIVATE", "LAST DIRECTORY", "WAV DIRECTORY" }) {
            QTest::addRow("%s, line feed", key) << key << "\n";
            QTest::addRow("%s, carriage return", key) << key << "\r";
        }
    }
    void valueWithALineBreakIsNotTaken()
    {
        QFETCH(QString, key);
        QFETCH(QString, lineBreak);
        TemporaryProgramDirectory dir;
        ScriptedPrompter prompter;
        SettingsFile file(dir.path(), prompter);
        MainSettings settings;
        Session session;
        settingstable::applyDesignValues(settings, session, dir.path()); // a first start
        QString& value = textValue(key, settings, session);
        value = "Kept";
        QCOMPARE(file.write(settings, session), ProgramOutcome::Continue);
        value = "/x" + lineBreak + "DO NOT CONFIRM DELETES";
        QCOMPARE(file.write(settings, session), ProgramOutcome::Continue);
        QCOMPARE(value, QStringLiteral("Kept")); // the previous value stays, in the program too
        const QByteArray written = readFile(dir.file("TOLQ.INI"));
        QVERIFY(written.contains("\r\n" + key.toLatin1() + " = Kept\r\n"));
        QVERIFY(!written.contains("DO NOT CONFIRM DELETES"));
        Reader reader;
        QCOMPARE(reader.read(dir.path()), ProgramOutcome::Continue);
        QVERIFY(!reader.settings.noConfirm);
    }

    // Every box is ticked exactly when its line is in the file, whatever it held before.
    void boxesComeFromTheirLines_data()
    {
        QTest::addColumn<QString>("unticked");
        MainSettings settings;
        for (const auto& [line, box] : keptBoxes(settings))
            QTest::newRow(qPrintable(line)) << line;
    }
    void boxesComeFromTheirLines()
    {
        QFETCH(QString, unticked);
        TemporaryProgramDirectory dir;
        ScriptedPrompter prompter;
        MainSettings settings;
        Session session;
        settingstable::applyDesignValues(settings, session, dir.path()); // a first start
        for (const auto& [line, box] : keptBoxes(settings))
            *box = line != unticked;
        QCOMPARE(SettingsFile(dir.path(), prompter).write(settings, session), ProgramOutcome::Continue);
        QVERIFY(!readFile(dir.file("TOLQ.INI")).contains("\r\n" + unticked.toLatin1() + "\r\n"));

        Reader reader;
        for (const auto& [line, box] : keptBoxes(reader.settings))
            *box = true; // as a start value or an earlier setting may leave it
        QCOMPARE(reader.read(dir.path()), ProgramOutcome::Continue);
        for (const auto& [line, box] : keptBoxes(reader.settings))
            QVERIFY2(*box == (line != unticked), qPrintable(line));
    }

    // The reader knows a flag line by the whole line, only three by their words anywhere before
    // an "=": a trailing blank leaves every other flag off.
    void flagLineWithATrailingBlank_data()
    {
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("taken");
        QStringList exact { "AUTOSAVE DIR LIST", "USE SINGLE DATABASE", "SIZE", "NAME AND SIZE", "NUMBERED", "CHECKSUM",
            "PATTERN", "AVERAGE RGB", "QUADRANT RGB", "IGNORE EXTENSION", "USE SOFTMATCH", "EXCLUSIVE DIR MATCHING",
            "USE SNAPSHOT", "USE RECYCLE BIN", "DO NOT CONFIRM DELETES", "AUTO LOAD NEXT", "NOT FILTER",
            "FIX JPEG FILES", "RUN PRE-MATCH CYCLE", "DO NOT AUTOPURGE", "IDENTIFY BY LOCATION", "NO WARNINGS" };
        for (const FileType& type : FileTypes)
            exact << QString::fromLatin1(type.extension);
        for (const QString& flag : exact)
            QTest::newRow(qPrintable(flag)) << flag << false;
        for (const char* flag : { "DISABLE FILE POLLING", "DISABLE END STATS MESSAGE", "DISABLE SOUND" })
            QTest::newRow(flag) << QString::fromLatin1(flag) << true;
    }
    void flagLineWithATrailingBlank()
    {
        QFETCH(QString, flag);
        QFETCH(bool, taken);
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("TOLQ.INI"), (flag + " \r\n").toLatin1()));
        Reader reader;
        QCOMPARE(reader.read(dir.path()), ProgramOutcome::Continue);
        const QStringList written = SettingsFile::compose(reader.settings, reader.session);
        QCOMPARE(written.contains(flag), taken);
    }

    void softMatchBeforeModeLineIsCleared()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("TOLQ.INI"), "USE SOFTMATCH\r\nPATTERN\r\n"));
        Reader reader;
        QCOMPARE(reader.read(dir.path()), ProgramOutcome::Continue);
        QCOMPARE(reader.settings.mode, ComparisonMode::Pattern);
        QVERIFY(!reader.settings.softMatch);
    }

    void presetsAndUnsetControls()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("TOLQ.INI"), "[MODE]\r\n"));
        Reader reader;
        reader.session.StoppedAtRecord = 77;
        reader.session.TotalDeleted = 3;
        QCOMPARE(reader.read(dir.path()), ProgramOutcome::Continue);
        QCOMPARE(reader.session.StoppedAtRecord, 0); // preset
        QCOMPARE(reader.session.TotalDeleted, 3); // counters are not preset
        QVERIFY(!reader.settings.ignoreExtension); // a box without its line is clear, ticked at start or not
        QCOMPARE(reader.settings.filter, QStringLiteral("*")); // an empty filter becomes "*"
        QCOMPARE(reader.session.PreScanTop, -5000);
        QCOMPARE(reader.session.WavDirectory, dir.path() + "/");
        QCOMPARE(reader.session.SearchCompleted, QStringLiteral("NO"));
        QVERIFY(reader.loaded.isEmpty());
    }

    void soundListStopsAtAThousand()
    {
        TemporaryProgramDirectory dir;
        const QString sounds = dir.file("sounds");
        QVERIFY(QDir().mkpath(sounds));
        for (int i = 0; i < 1001; ++i)
            QVERIFY(writeFile(sounds + QStringLiteral("/s%1.wav").arg(i, 4, 10, QLatin1Char('0')), "RIFF"));
        QVERIFY(writeFile(sounds + "/notes.txt", "x"));
        const QStringList found = SettingsFile::listSoundFiles(sounds + "/");
        QCOMPARE(found.size(), 1000);
        QCOMPARE(found.first(), sounds + "/s0000.wav");
        QVERIFY(QFile::exists(found.last()));
    }

    void soundDirectoryWithoutSlashIsAPrefix()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("boom.wav"), "RIFF"));
        QVERIFY(writeFile(dir.file("bang.wav"), "RIFF"));
        QCOMPARE(SettingsFile::listSoundFiles(dir.file("bo")), QStringList { dir.file("boom.wav") });
        QVERIFY(SettingsFile::listSoundFiles(dir.file("missing/")).isEmpty());
    }

    void unreadableFileEndsTheProgram()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(QDir().mkpath(dir.file("TOLQ.INI"))); // a directory cannot be read as the file
        Reader reader;
        QCOMPARE(reader.read(dir.path()), ProgramOutcome::EndProgram);
        QCOMPARE(reader.prompter.texts(), QStringList { "Unable to read INI file\r\rThe path is not a file." });
        QCOMPARE(reader.prompter.messages().first().title, QStringLiteral("Tolq"));
    }

    // Told with the cause, as a file that cannot be read is.
    void unwritableFileEndsTheProgramAndLeavesNothingBehind_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<int>("error");
        QTest::newRow("a directory in its place") << false << EISDIR;
        QTest::newRow("a full disk") << true << ENOSPC;
    }
    void unwritableFileEndsTheProgramAndLeavesNothingBehind()
    {
        QFETCH(bool, fullDisk);
        QFETCH(int, error);
        TemporaryProgramDirectory plain;
        SmallTmpfs disk(32);
        if (fullDisk && !disk.mounted())
            QSKIP(qPrintable(disk.skipReason()));
        const QString dir = fullDisk ? disk.path() : plain.path();
        const QString path = dir + "/TOLQ.INI";
        if (fullDisk)
            disk.fill();
        else
            QVERIFY(QDir().mkpath(path));
        ScriptedPrompter prompter;
        SettingsFile file(dir, prompter);
        MainSettings settings;
        Session session;
        QCOMPARE(file.write(settings, session), ProgramOutcome::EndProgram);
        QCOMPARE(prompter.texts(),
            QStringList { "Unable to create INI file\r\r" + path + " cannot be written: "
                + QString::fromLocal8Bit(std::strerror(error)) });
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), fullDisk ? QStringList { ".filler" } : QStringList {});
    }

    void failedWriteKeepsTheOldFile()
    {
        TemporaryProgramDirectory dir;
        QVERIFY(writeFile(dir.file("TOLQ.INI"), "OLD\r\n"));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        ScriptedPrompter prompter;
        SettingsFile file(dir.path(), prompter);
        MainSettings settings;
        Session session;
        const ProgramOutcome outcome = file.write(settings, session);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (outcome == ProgramOutcome::Continue)
            QSKIP("running with rights that ignore directory permissions");
        QCOMPARE(readFile(dir.file("TOLQ.INI")), QByteArray("OLD\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "TOLQ.INI" });
    }
};

QTEST_GUILESS_MAIN(tst_SettingsFile)
#include "tst_SettingsFile.moc"
