#pragma once

#include "match/ImageFacts.h"
#include "match/MatchRules.h"
#include "review/ReviewPorts.h"
#include "review/snapshot/ThumbnailDecoder.h"
#include "review/snapshot/ThumbnailSlots.h"

#include <QChar>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class CatalogueDatabase;
class CountNotice;
class FileActions;
class GroupSearch;
class PatternGroupSearch;
class SnapshotView;
class SqlRecordSet;
struct MainSettings;
struct Session;

// The snapshot review without its window: the review's record set in the order of the mode,
// the reference and the group found for it in the thumbnail slots, Next and Previous with the
// searches of every mode, Skip, Count, Stop, Delete and Delete all. The window turns its events
// into these calls and renders what comes back through the view.
//
// One busy guard: while an action runs (it yields to the window while it shows thumbnails and
// while a pattern search runs) every button but Stop is ignored, and closing the window asks the
// action to stop; the window then closes once the action has returned.
class SnapshotReview
{
public:
    SnapshotReview(const MainSettings& settings, Session& session, QString programDirectory, ReviewPorts ports,
        SnapshotView* view = nullptr, CountNotice* countNotice = nullptr);
    ~SnapshotReview();
    SnapshotReview(const SnapshotReview&) = delete;
    SnapshotReview& operator=(const SnapshotReview&) = delete;

    // The load's share: the list database and the review's record set are opened; the session's
    // count of deleted files goes on from the reviews before (the quit statistics count the whole
    // run). False, with the user told, when the catalogue cannot be opened or read.
    bool load();
    // The first activation's share (once): the review starts at the stored resume record and
    // shows the first group from there. False when the window is to close at once: no database,
    // or "No files to review...".
    bool firstActivation();
    // The unload's share (once): the reference becomes the resume record, the search counts as
    // unchanged.
    void unload();

    // Whether the window may close now; while an action runs the close waits for it (and asks a
    // pattern search or a page being shown to stop).
    bool requestClose();

    // The buttons, the keys that press them and the thumbnails.
    void cmdNEXT_Click();
    void cmdPREV_Click();
    void cmdSKIP_Click();
    void cmdCOUNT_Click();
    void cmdSTOP_Click() { ReviewStopFlag = true; }
    void cmdDELETE_Click();
    void cmdALL_Click();
    // A typed character; every one is swallowed, N, P and C press Next, Prev and Count.
    void keyPress(QChar character);
    // A released key (platform/KeyCodes.h): Page Up presses Prev, Page Down Next.
    void keyUp(int keyCode);
    // The pointer on a thumbnail makes its slot the current one and shows its facts; a click
    // on one makes it current and brings the action pad up for it when it holds a file; the
    // pointer on the window's background hides the pads and the facts.
    void thumbnailHovered(int slot);
    void thumbnailClicked(int slot);
    void backgroundHovered();
    // Tag remembers the current slot for the next View, with a beep. View shows the current
    // file, or the tagged one with the current one beside it, in the two-image viewer, and
    // deletes the file the user asked to delete there when exactly one slot shows it.
    void cmdTAG_Click();
    void cmdVIEW_Click();
    // Move sends the current slot's file through the move dialog; the slot and its row follow
    // it. Rename renames the file of the slot the name box was opened for to the typed name
    // (the extension kept), after its question; the slot and its row follow.
    void cmdMOVE_Click();
    void cmdRENAME_Click(int slot, const QString& typed);
    void setDialogs(ReviewDialogs dialogs) { m_dialogs = dialogs; }

    // The grid's size changed: a later search fills slots 0 to lastSlot.
    void setLastSlot(int lastSlot) { LastSlot = lastSlot; }

    bool busy() const { return m_busy; }
    const RecordPair& pair() const { return m_pair; }
    const ThumbnailSlots& thumbnails() const { return m_slots; }
    const SqlRecordSet* files() const { return m_files.get(); }
    // The thumbnails' bound in pixels, and that of the icon box.
    static QSize thumbnailBound();
    static QSize iconBound();

    // Window state, under the window's names.
    int WHICHIMAGE = 0;
    int TaggedSlot = 0;
    int LastSlot = SmallGridLastSlot;
    QString ReviewActiveCode;
    bool ReviewStopFlag = false;

    static QString noFilesText() { return QStringLiteral("No files to review..."); }

private:
    // Whether the actions may act on a slot: one of the shown slots, holding a file.
    bool holdsFileAt(int slot) const;
    // Runs a button's work unless another action runs; a catalogue failure is told, not fatal.
    void guarded(const std::function<void()>& work);
    bool stopRequested() const { return ReviewStopFlag || m_closePending; }

    // The handler bodies, also pressed from inside other actions.
    void pressStep(SearchDirection direction);
    void search(SearchDirection direction);
    void deleteSlots(int first, int last);
    // After a move or rename of a slot: the reference follows its own file's new place and name.
    void followReference(const ImageFacts& slot);
    int occupiedSlots() const;

    // The display.
    void DisableReviewControls();
    void EnableReviewControls();
    void ClearThumbnails();
    void LoadThumbnails();
    void RefreshThumbnails();
    void showThumbnail(int slot, const std::shared_ptr<ThumbnailDecoder::Job>& ticket);
    const QImage& errorPicture();
    void yieldOnce();

    const MainSettings& m_settings;
    Session& m_session;
    QString m_programDirectory;
    ReviewPorts m_ports;
    SnapshotView* m_view;
    CountNotice* m_countNotice;
    ReviewDialogs m_dialogs;

    std::unique_ptr<CatalogueDatabase> m_database;
    std::unique_ptr<SqlRecordSet> m_files; // dboFILES
    std::unique_ptr<GroupSearch> m_groupSearch;
    std::unique_ptr<PatternGroupSearch> m_patternSearch;
    std::unique_ptr<FileActions> m_fileActions;
    std::unique_ptr<ThumbnailDecoder> m_decoder;
    RecordPair m_pair;
    ThumbnailSlots m_slots;
    std::optional<QImage> m_errorPicture;
    bool m_firstActivation = true;
    bool m_busy = false;
    bool m_closePending = false;
    bool m_unloaded = false;
};
