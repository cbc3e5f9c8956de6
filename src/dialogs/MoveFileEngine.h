#pragma once

#include "imagestats/MediaPrompts.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

class Prompter;
class Volumes;

// What a move reads of the main window's settings, at the moment of the move.
struct MoveSettings
{
    bool noConfirm = false; // chkCONFIRM ("No Confirm")
    QString thumbnailExt; // txtTHUMBNAILEXT
    MediaPromptSettings media; // DisableFilePolling, ReactivateDrives
};

// How one press of Move ended. Only Moved ends the dialog; after the others it stays open.
struct MoveOutcome
{
    enum Kind { Moved, SameDirectory, Declined, Failed };
    Kind kind = Failed;
    QString newName; // the file's name at the destination, after Moved
};

// What the move dialog hands back to its caller after each showing: lblTO and lblNEWNAME. to
// equals the from the caller gave when nothing moved (Cancel, a declined question, a failure,
// the dialog closed); otherwise the file now stands in the directory of the entry to, under
// newName.
struct MoveResult
{
    QString to;
    QString newName;
    bool moved = false;
};

// The names a moved file and its thumbnail companion take at the destination.
struct DestinationNames
{
    QString image;
    QString companion; // "" when the settings name no companion
};

// The work of the move dialog without its window: the destinations remembered for the run, and
// the move of one file with its thumbnail companion. A move never replaces or deletes a file
// that was there before, and a move that cannot be completed is undone.
class MoveFileEngine
{
public:
    // The clash numbers tried at the destination: 0 up to this one.
    static constexpr int MaxClashNumber = 999999;

    MoveFileEngine(Prompter& prompter, const Volumes& volumes, int maxClashNumber = MaxClashNumber);

    // lstPATHS: one entry per line, in the order they were added.
    const QStringList& destinations() const { return m_destinations; }
    // Adds an entry unless a line equals it already. True when it was added.
    bool rememberDestination(const QString& entry);

    // MoveFile: moves fileName (with its extension, as it stands on disk) from the directory of
    // the entry from to that of the entry to, with every question and message of the dialog.
    MoveOutcome moveFile(const QString& fileName, const QString& from, const QString& to, const MoveSettings& settings);

    // The names in a directory (its path ending in "/"): the file's own name when it and the
    // companion's are free, else base + k + extension for the first k from 0 at which both are
    // free. The extension is the name's last four characters; a companion name is taken also by
    // a name that differs from it only in letter case, since that would be found as the
    // companion. nullopt when no number up to maxNumber gives free names, or the directory
    // cannot be searched.
    static std::optional<DestinationNames> freeNames(const QString& directoryPath, const QString& fileName,
        const QString& companionExt, int maxNumber = MaxClashNumber);

    // Where the dialog goes: its frame in the owner's lower left corner, 100 twips in from the
    // left and bottom edges (both frames in screen pixels; the result is the frame's top left).
    static QPoint placement(const QRect& ownerFrame, const QSize& dialogFrame);

private:
    void stop(const QString& text);

    Prompter& m_prompter;
    const Volumes& m_volumes;
    int m_maxClashNumber;
    QStringList m_destinations;
};
