#pragma once

// A program directory with a list catalogue and a snapshot review over it, with fake ports and
// a view that records what the window would show.

#include "catalogue/CatalogueDatabase.h"
#include "dialogs/CountNotice.h"
#include "imagestats/PatternBits.h"
#include "match/ModeOrder.h"
#include "platform/FakeVolumes.h"
#include "platform/ScriptedPrompter.h"
#include "review/ReviewPorts.h"
#include "review/snapshot/SnapshotReview.h"
#include "review/snapshot/SnapshotView.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include "MatchTestSupport.h"
#include "TestSupport.h"

#include <QDir>
#include <QStringList>

#include <array>
#include <sqlite3.h>

class RecordingSnapshotView : public SnapshotView
{
public:
    struct Thumb
    {
        QString caption;
        bool imageShown = false;
        bool picture = false; // a picture is drawn in the image control
        QSize pictureSize;
        bool iconShown = false;
        bool iconPicture = false;
    };
    void setReviewControlsEnabled(bool enabled) override { controlsEnabled = enabled; }
    void clearThumbnail(int slot) override { thumbs[std::size_t(slot)] = Thumb(); }
    void prepareThumbnail(int slot, bool shown) override
    {
        Thumb& t = thumbs[std::size_t(slot)];
        t.picture = false;
        t.imageShown = shown;
    }
    void setCaption(int slot, const QString& caption) override { thumbs[std::size_t(slot)].caption = caption; }
    void showPicture(int slot, const QImage& picture, QSize) override
    {
        thumbs[std::size_t(slot)].picture = !picture.isNull();
        thumbs[std::size_t(slot)].pictureSize = picture.size();
    }
    void showIcon(int slot, const QImage& picture) override
    {
        thumbs[std::size_t(slot)].iconShown = true;
        thumbs[std::size_t(slot)].iconPicture = !picture.isNull();
    }
    void blankThumbnail(int slot) override { thumbs[std::size_t(slot)] = Thumb(); }
    void showSearchStatus(bool shown) override { statusShown = shown; }
    void setStatusText(const QString& text) override { statusTexts << text; }
    void closeWindow() override { ++closes; }

    std::array<Thumb, 28> thumbs {};
    bool controlsEnabled = true;
    bool statusShown = false;
    QStringList statusTexts;
    int closes = 0;
};

class RecordingCountNotice : public CountNotice
{
public:
    void showRunning(const QString& text) override { running << text; }
    void showFinal(const QString& text) override { finals << text; }
    QStringList running;
    QStringList finals;
};

class CountingSettingsWriter : public SettingsWriter
{
public:
    void writeSettings() override { ++writes; }
    int writes = 0;
};

// A pattern of dark cells: the first `dark` cells, then `flips` cells past them darkened too.
inline QString patternOf(int dark, int flips = 0)
{
    QString text(100, QLatin1Char(' '));
    for (int i = 0; i < dark + flips && i < 100; ++i)
        text[i] = QLatin1Char('*');
    return text;
}

// Rows of the catalogue from short texts: "NAME.EXT key=value ...", keys path, vol, size, sum,
// rgb, qrgb, srgb, pat (a number of dark cells), rtag; "_" stands for a blank. RECNUMs count from
// 1 in the order given; without a path each row has a directory of its own, so no two rows name
// one file.
inline QList<CatalogueRecord> rowsOf(const QStringList& specs, const QString& defaultPath = QStringLiteral("/pics/d"))
{
    QList<CatalogueRecord> rows;
    int recnum = 0;
    for (const QString& spec : specs) {
        const QStringList parts = spec.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QString path = defaultPath + QString::number(recnum + 1) + QLatin1Char('/');
        QString volume = QStringLiteral("[DISK]");
        for (const QString& part : parts.mid(1)) {
            if (part.startsWith(QLatin1String("path=")))
                path = part.mid(5);
            else if (part.startsWith(QLatin1String("vol=")))
                volume = part.mid(4);
        }
        CatalogueRecord r = fileRow(++recnum, parts.value(0), path, volume);
        for (const QString& part : parts.mid(1)) {
            const QString key = part.section(QLatin1Char('='), 0, 0);
            const QString value = part.section(QLatin1Char('='), 1).replace(QLatin1Char('_'), QLatin1Char(' '));
            if (key == QLatin1String("size"))
                r.SIZE = value.toDouble();
            else if (key == QLatin1String("sum"))
                r.CHECKSUM = value;
            else if (key == QLatin1String("rgb"))
                r.RGB = value;
            else if (key == QLatin1String("srgb"))
                r.SOFTRGB = value;
            else if (key == QLatin1String("qrgb"))
                r.QRGB = value;
            else if (key == QLatin1String("pat")) {
                r.PXLRAY = patternOf(value.toInt());
                r.PXLNUM = value.toInt();
            } else if (key == QLatin1String("rtag"))
                r.RTAG = value;
        }
        rows << r;
    }
    return rows;
}

struct SnapshotFixture
{
    TemporaryProgramDirectory dir;
    MainSettings settings;
    Session session;
    ScriptedPrompter prompter;
    RecordingSoundPlayer sound;
    ScriptedYielder yielder;
    FakeConfirmer confirmer;
    FakeVolumes volumes { { VolumeInfo { "/", "ROOT", "ext4", "/dev/vda", DriveKind::Fixed, 1 << 30, 512 } }, false };
    CountingSettingsWriter writer;
    RecordingSnapshotView view;
    RecordingCountNotice notice;
    std::unique_ptr<SnapshotReview> review;

    SnapshotFixture()
    {
        settings.listName = QStringLiteral("Pics");
        settings.ignoreExtension = false;
        session.DisableFilePolling = true;
    }
    QString databasePath() const { return listDatabasePath(dir.path(), settings); }
    QString tree() const { return dir.file(QStringLiteral("tree/")); }

    // The catalogue; with files, each row's file is written in the tree (PATH is the tree's).
    bool make(const QList<CatalogueRecord>& rows, bool withFiles = false)
    {
        QList<CatalogueRecord> stored = rows;
        if (withFiles) {
            for (CatalogueRecord& r : stored) {
                r.PATH = tree();
                if (!writeFile(r.PATH + r.DISKNAME, QByteArray(500 + int(r.RECNUM), 'x')))
                    return false;
            }
        }
        return makeCatalogueWithRows(databasePath(), stored) != nullptr;
    }
    SnapshotReview& open()
    {
        review = std::make_unique<SnapshotReview>(settings, session, dir.path(),
            ReviewPorts { prompter, sound, yielder, confirmer, volumes, writer }, &view, &notice);
        review->load();
        return *review;
    }
    SnapshotReview& start()
    {
        open();
        review->firstActivation();
        return *review;
    }

    // The RECNUMs the grid holds, slot by slot (empty slots left out).
    QList<int> group() const
    {
        QList<int> recnums;
        for (int n = 0; n <= review->LastSlot; ++n) {
            const ImageFacts& slot = review->thumbnails()[std::size_t(n)];
            if (holdsFile(slot))
                recnums << slot.RECNUM;
        }
        return recnums;
    }
    QList<int> next()
    {
        review->cmdNEXT_Click();
        return group();
    }
    QList<int> previous()
    {
        review->cmdPREV_Click();
        return group();
    }
    QString tags()
    {
        auto db = CatalogueDatabase::open(databasePath());
        QString text;
        CatalogueDatabase::Lease rows = db->prepare(QByteArrayLiteral("SELECT RTAG FROM FILES ORDER BY RECNUM"));
        while (rows.step())
            text += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows.handle(), 0)));
        return text;
    }
};

// "1 2 3" for a group, "-" for none.
inline QString groupText(const QList<int>& recnums)
{
    if (recnums.isEmpty())
        return QStringLiteral("-");
    QStringList parts;
    for (int recnum : recnums)
        parts << QString::number(recnum);
    return parts.join(QLatin1Char(' '));
}

// "1..4" in a group text stands for "1 2 3 4".
inline QString expandRuns(const QString& text)
{
    QStringList parts;
    for (const QString& part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!part.contains(QLatin1String(".."))) {
            parts << part;
            continue;
        }
        const int from = part.section(QLatin1String(".."), 0, 0).toInt();
        const int to = part.section(QLatin1String(".."), 1).toInt();
        for (int k = from; from <= to ? k <= to : k >= to; k += from <= to ? 1 : -1)
            parts << QString::number(k);
    }
    return parts.join(QLatin1Char(' '));
}
