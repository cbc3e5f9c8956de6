#pragma once

#include "match/ImageFacts.h"
#include "match/MatchRules.h"
#include "review/ReviewPorts.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>

class CatalogueDatabase;
class CountNotice;
class FileActions;
class PairReviewView;
class PairWalker;
class PatternWalker;
class SqlRecordSet;
struct MainSettings;
struct Session;

// The pair review without its window: the review's record set in the order of the mode, the
// record pair shown (slot 1 the reference, image 1; slot 2 the candidate, image 2), the searches
// of every mode in both directions, Next and Previous, Delete, Move, Rename, View, Count and Skip.
// The window turns its events into these calls and renders what comes back through the view.
//
// One busy guard: while an action runs (a pattern search yields to the window meanwhile) every
// button but Stop is ignored.
class PairReview
{
public:
    PairReview(const MainSettings& settings, Session& session, QString programDirectory, ReviewPorts ports,
        PairReviewView* view = nullptr, CountNotice* countNotice = nullptr, ReviewDialogs dialogs = {});
    ~PairReview();
    PairReview(const PairReview&) = delete;
    PairReview& operator=(const PairReview&) = delete;

    // The load's share: the list database and the review's record set; false, with the user
    // told, when the catalogue cannot be opened or read.
    bool load();
    // The first activation's share (once): the review starts at the stored resume record and
    // searches from there. False when the window is to unload at once: the catalogue could not
    // be opened (the load told why), or "No files to review..." (told here).
    bool firstActivation();
    // The unload's share: slot 1's record becomes the resume record (0 when none was ever
    // loaded); the search is no longer changed.
    void unload();

    // The buttons and the keys that press them.
    void cmdNEXT_Click();
    void cmdPREVIOUS_Click();
    void cmdDELETE1_Click() { deleteImage(1); }
    void cmdDELETE2_Click() { deleteImage(2); }
    void cmdBOTH_Click();
    void cmdCOUNT_Click();
    void cmdSKIP_Click();
    void cmdMOVE1_Click() { moveImage(1); }
    void cmdMOVE2_Click() { moveImage(2); }
    // Rename, in two steps. The button opens the image's name box: false when no box is to open
    // (the image shows no file, its file actions are withheld, or an action runs).
    bool cmdRENAME_Click(int image);
    // Leaving the name box applies the name typed in it. True when the box is to close (nothing
    // to do, declined, or renamed); false when it stays open holding the typed name, after a
    // failed rename.
    bool txtNEWNAME_LostFocus(int image, const QString& typed);
    // A click on either thumbnail, or the keys V and /: both images in the viewer; a delete asked
    // for there runs as Delete 1 or Delete 2 does, once the viewer has closed.
    void gvbIMAGE_Click();
    // Stop acts while a search runs: it ends the pattern search after the candidate in hand.
    void cmdSTOP_Click() { ReviewStopFlag = true; }

    bool busy() const { return m_busy; }
    const RecordPair& pair() const { return m_pair; }
    // Whether an image shows a file (its name label is not empty).
    bool imageShown(int image) const { return m_shown[std::size_t(image - 1)]; }
    // Whether an image's file actions are offered: not on optical media.
    bool fileActionsOffered(int image) const;
    // The review's record set (dboFILES); null before the load.
    const SqlRecordSet* files() const { return m_files.get(); }
    // "NEXT" or "PREV", the last pair search's direction; empty before the first.
    QString Direction() const;

    // Window state, under the window's names.
    QString ReviewActiveCode;
    bool ReviewStopFlag = false;
    bool DeleteBothFlag = false;

    static QString noMoreMatchesText() { return QStringLiteral("No more matches..."); }
    static QString noFilesText() { return QStringLiteral("No files to review..."); }
    static QString movedText() { return QStringLiteral("File moved..."); }
    static QString notMovedText() { return QStringLiteral("File not moved..."); }

private:
    // The handler bodies, also pressed from inside other actions.
    void pressStep(SearchDirection direction);
    void deleteImage(int image);
    void deleteOne(int image);
    void moveImage(int image);
    // Runs a button's work unless another action runs; a catalogue failure is told, not fatal.
    void press(const std::function<void()>& work);
    void guarded(const std::function<void()>& work);

    // The searches: true when a pattern search was stopped.
    bool search(SearchDirection direction);
    void pairSearch(SearchDirection direction);
    bool patternSearch(SearchDirection direction);
    bool atEnd(SearchDirection direction) const;
    void tellNoMoreMatches();

    // The display.
    void ShowPair(bool withCandidate = true);
    // The images flagged, from their slots; the agreement marks only when both are shown.
    void showImages(bool image1, bool image2);
    void DisableReviewControls();
    void EnableReviewControls();
    void ClearImageFacts(int image);
    void ClearPairFacts();
    void setStatus(const QString& text);

    ImageFacts& slot(int image) { return image == 1 ? m_pair.reference : m_pair.candidate; }
    const ImageFacts& slot(int image) const { return image == 1 ? m_pair.reference : m_pair.candidate; }

    const MainSettings& m_settings;
    Session& m_session;
    QString m_programDirectory;
    ReviewPorts m_ports;
    PairReviewView* m_view;
    CountNotice* m_countNotice;
    ReviewDialogs m_dialogs;

    std::unique_ptr<CatalogueDatabase> m_database;
    std::unique_ptr<SqlRecordSet> m_files; // dboFILES
    std::unique_ptr<PairWalker> m_pairWalker;
    std::unique_ptr<PatternWalker> m_patternWalker;
    std::unique_ptr<FileActions> m_fileActions;
    RecordPair m_pair;
    std::array<bool, 2> m_shown {};
    bool m_firstActivation = true;
    bool m_busy = false;
};
