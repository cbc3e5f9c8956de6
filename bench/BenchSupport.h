#pragma once

// What the benchmark programs share: their options, a silent sound port, the process's peak
// memory, and a private copy of a catalogue with the settings of a run, so that the file given
// is never changed and runs can be repeated.

#include "catalogue/CatalogueDatabase.h"
#include "catalogue/CatalogueTransaction.h"
#include "catalogue/TableRecordSet.h"
#include "catalogue/TemplateDatabase.h"
#include "match/ModeOrder.h"
#include "match/PatternCandidates.h"
#include "platform/SoundPlayer.h"
#include "session/MainSettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

namespace bench {

class SilentPlayer : public SoundPlayer
{
public:
    void playWav(const QString&) override { }
    void beep() override { }
};

inline QString option(const QStringList& args, const QString& name, const QString& fallback = QString())
{
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

// A mode as the settings file spells it, or in one word (NAMESIZE, AVERAGERGB, QUADRGB).
inline std::optional<ComparisonMode> parseMode(QString text)
{
    text = text.toUpper().replace(QLatin1Char('_'), QLatin1Char(' '));
    if (text == QLatin1String("NAMESIZE"))
        text = QStringLiteral("NAME AND SIZE");
    if (text == QLatin1String("AVERAGERGB") || text == QLatin1String("RGB"))
        text = QStringLiteral("AVERAGE RGB");
    if (text == QLatin1String("QUADRGB") || text == QLatin1String("QRGB"))
        text = QStringLiteral("QUADRANT RGB");
    return modeFromSettingsLine(text);
}

// A running digest of the records shown (FNV-1a over their row ids), so that two builds can be
// shown to walk the same pairs or pages.
struct ShownDigest
{
    quint64 value = 0xcbf29ce484222325ULL;
    void add(qint64 rowId)
    {
        for (int i = 0; i < 8; ++i) {
            value ^= quint64(rowId >> (8 * i)) & 0xffu;
            value *= 0x100000001b3ULL;
        }
    }
};

inline double peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// A program directory of its own holding a copy of the catalogue --db under the settings of
// --mode, --soft, --ignore, --exclusive and --tolerance.
struct CatalogueCopy
{
    QTemporaryDir home;
    MainSettings settings;
    QString path;
};

// Null, with the reason on standard error, when the options are wrong or the copy fails.
inline std::unique_ptr<CatalogueCopy> copyCatalogue(
    const QStringList& args, const QString& defaultMode, const char* usage)
{
    const QString source = option(args, QStringLiteral("--db"));
    const auto mode = parseMode(option(args, QStringLiteral("--mode"), defaultMode));
    if (source.isEmpty() || !mode) {
        std::fprintf(stderr, "%s\n", usage);
        return nullptr;
    }
    auto copy = std::make_unique<CatalogueCopy>();
    MainSettings& settings = copy->settings;
    settings.mode = *mode;
    settings.softMatch = args.contains(QStringLiteral("--soft"));
    settings.ignoreExtension = args.contains(QStringLiteral("--ignore"));
    settings.exclusive = args.contains(QStringLiteral("--exclusive"));
    settings.tolerance = option(args, QStringLiteral("--tolerance"), QStringLiteral("5"));
    settings.noSound = true;
    copy->path = listDatabasePath(copy->home.path(), settings);
    QDir().mkpath(QFileInfo(copy->path).absolutePath());
    if (!QFile::copy(source, copy->path)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
        return nullptr;
    }
    return copy;
}

// In PATTERN a review's first search also loads the pattern candidates once; that load is
// printed apart as candidates_ms.
inline void printCandidatesLoad(const CatalogueCopy& copy)
{
    if (copy.settings.mode != ComparisonMode::Pattern)
        return;
    auto db = CatalogueDatabase::open(copy.path);
    QElapsedTimer timer;
    timer.start();
    PatternCandidates candidates;
    candidates.load(*db, QStringLiteral("X"));
    std::printf(" candidates_ms=%.1f", double(timer.nsecsElapsed()) / 1e6);
}

// A new catalogue at database holding one active ".JPG" record for each of the named pictures
// of a directory (ending in "/"), RECNUM from 1; agree sets what makes them match.
inline void writePictureCatalogue(const QString& database, const QString& directory, const QStringList& names,
    const std::function<void(CatalogueRecord&)>& agree)
{
    QDir().mkpath(QFileInfo(database).absolutePath());
    writeTemplateDatabase(database);
    auto db = CatalogueDatabase::open(database);
    CatalogueTransaction batch(*db);
    TableRecordSet table(*db);
    int recnum = 0;
    for (const QString& name : names) {
        CatalogueRecord r;
        r.RECNUM = ++recnum;
        r.DRIVEVOLUME = QStringLiteral("[]");
        r.PATH = directory;
        r.DISKNAME = name;
        r.WHOLENAME = name.toUpper();
        r.NAME = r.WHOLENAME.chopped(4);
        r.REFNAME = name.chopped(4);
        r.EXTENSION = QStringLiteral(".JPG");
        r.ACTIVE = QStringLiteral("X");
        agree(r);
        table.addNew();
        table.setRecord(r);
        table.update();
    }
    batch.commit();
}

} // namespace bench
