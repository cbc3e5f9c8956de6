#pragma once

// A program directory with a list catalogue and a snapshot review over it, with fake ports and
// a view that records what the window would show.

#include "catalogue/CatalogueDatabase.h"
#include "dialogs/CountNotice.h"
#include "dialogs/ImageViewer.h"
#include "imagestats/PatternBits.h"
#include "match/ModeOrder.h"
#include "review/ReviewPorts.h"
#include "review/snapshot/SnapshotReview.h"
#include "review/snapshot/SnapshotView.h"
#include "session/MainSettings.h"
#include "session/Session.h"

#include "FakeVolumes.h"
#include "MatchTestSupport.h"
#include "ScriptedPrompter.h"
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
        QSize picture; // of the picture drawn in the image control
        bool iconShown = false;
        bool iconPicture = false;
    };
    Thumb& at(int slot) { return thumbs[std::size_t(slot)]; }
    void setReviewControlsEnabled(bool enabled) override { controlsEnabled = enabled; }
    void clearThumbnail(int slot) override { at(slot) = Thumb(); }
    void prepareThumbnail(int slot, bool shown) override { at(slot).picture = QSize(), at(slot).imageShown = shown; }
    void setCaption(int slot, const QString& caption) override { at(slot).caption = caption; }
    void showPicture(int slot, const QImage& picture, QSize) override { at(slot).picture = picture.size(); }
    void showIcon(int slot, const QImage& picture) override
    {
        at(slot).iconShown = true, at(slot).iconPicture = !picture.isNull();
    }
    void blankThumbnail(int slot) override { at(slot) = Thumb(); }
    void fileDeleted(const QString& counters) override { clearHover(counters); }
    void showSearchStatus(bool shown) override { statusShown = shown; }
    void setStatusText(const QString& text) override { statusTexts << text; }
    QSize drawnSize(int slot) const override { return drawn[std::size_t(slot)]; }
    void showHover(int slot, const HoverFacts& facts) override { hovered = slot, hover = facts, ++stripShows; }
    void clearHover(const QString& counters) override
    {
        hovered = -1, hover = HoverFacts {}, counterText = counters, padSlot = -1;
    }
    void showActionPad(int slot, const QString& newName) override { padSlot = slot, padName = newName; }
    void hideActionPad() override { padSlot = -1; }
    void closeWindow() override { ++closes; }

    std::array<Thumb, 28> thumbs {};
    bool controlsEnabled = true;
    bool statusShown = false;
    QStringList statusTexts;
    int closes = 0;
    std::array<QSize, 28> drawn {};
    int hovered = -1;
    HoverFacts hover;
    int stripShows = 0;
    QString counterText;
    int padSlot = -1;
    QString padName;
};

class RecordingCountNotice : public CountNotice
{
public:
    void showRunning(const QString& text) override { shown << "running: " + text; }
    void showFinal(const QString& text) override { finals << text, shown << "final: " + text; }
    QStringList finals;
    QStringList shown; // as the pair review's fake notice has them
};

// A viewer that records each view as "side 1|side 2", each side its file and size text, and hands
// back what the script says: "fail" when neither side could be drawn, else a delete request for
// the file of that name in the tree.
class ScriptedViewer : public ImageViewer
{
public:
    ViewResult view(const ViewSide& side1, const ViewSide& side2, const std::function<void(int)>& beforeLoad) override
    {
        views << side1.file + " " + side1.sizeText
                + (side2.file.isEmpty() ? "" : "|" + side2.file + " " + side2.sizeText);
        for (int side = 1; side <= 2; ++side) {
            if (!(side == 1 ? side1 : side2).file.isEmpty())
                beforeLoad(side);
        }
        if (answer == QLatin1String("fail"))
            return {};
        return { true, answer.isEmpty() ? QString() : tree + answer };
    }
    QString tree;
    QString answer;
    QStringList views;
};

class CountingSettingsWriter : public SettingsWriter
{
public:
    void writeSettings() override { ++writes; }
    int writes = 0;
};

// Rows of the catalogue from short texts: "NAME.EXT key=value ...", keys path, vol, size, sum,
// rgb, qrgb, pat (a number of dark cells, the first ones), back (as many, the last ones: no match
// for pat of the same number), rtag; "_" stands for a blank. RECNUMs count from
// 1 in the order given; without a path each row has a directory of its own, so no two rows name
// one file.
inline QList<CatalogueRecord> rowsOf(const QStringList& texts, const QString& defaultPath = QStringLiteral("/pics/d"))
{
    QList<CatalogueRecord> rows;
    int recnum = 0;
    for (const QString& text : texts) {
        const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
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
            else if (key == QLatin1String("qrgb"))
                r.QRGB = value;
            else if (key == QLatin1String("pat")) { // the first cells dark
                r.PXLNUM = value.toInt();
                r.PXLRAY = QString(r.PXLNUM, QLatin1Char('*')) + QString(100 - r.PXLNUM, QLatin1Char(' '));
            } else if (key == QLatin1String("back")) {
                r.PXLNUM = value.toInt();
                r.PXLRAY = QString(100 - r.PXLNUM, QLatin1Char(' ')) + QString(r.PXLNUM, QLatin1Char('*'));
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
    // Switches named by short words: soft ignore exclusive tree noconfirm autonext tol=T ifcd=TEXT
    // differ=NAME ("_" stands for a blank).
    void apply(const QString& options)
    {
        const std::pair<const char*, bool MainSettings::*> flags[] { { "soft", &MainSettings::softMatch },
            { "ignore", &MainSettings::ignoreExtension }, { "exclusive", &MainSettings::exclusive },
            { "tree", &MainSettings::treeModeIfcd }, { "noconfirm", &MainSettings::noConfirm },
            { "autonext", &MainSettings::autoNext } };
        for (const QString& option : options.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString value = option.section(QLatin1Char('='), 1).replace(QLatin1Char('_'), QLatin1Char(' '));
            for (const auto& [word, flag] : flags)
                settings.*flag = settings.*flag || option == QLatin1String(word);
            if (option.startsWith(QLatin1String("tol=")))
                settings.tolerance = value;
            else if (option.startsWith(QLatin1String("ifcd=")))
                settings.ifcd = value;
            else if (option.startsWith(QLatin1String("differ=")))
                confirmer.differing << value;
        }
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

    // The RECNUMs the grid holds, slot by slot, empty slots left out: "1 2 3", "-" for none; of
    // the fixture's review or of another one (a window's).
    QString group(const SnapshotReview* of = nullptr) const
    {
        const SnapshotReview& shown = of ? *of : *review;
        QStringList recnums;
        for (int n = 0; n <= shown.LastSlot; ++n) {
            const ImageFacts& slot = shown.thumbnails()[std::size_t(n)];
            if (holdsFile(slot))
                recnums << QString::number(slot.RECNUM);
        }
        return recnums.isEmpty() ? QStringLiteral("-") : recnums.join(QLatin1Char(' '));
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
