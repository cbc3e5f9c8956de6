#pragma once

#include "catalogue/CatalogueFields.h"
#include "platform/Prompter.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>

class CatalogueDatabase;
class MoveDialog;
class Volumes;
struct ImageFacts;
struct MainSettings;
struct Session;
struct SameFileRows;

// What a file action did, for the window to render.
struct FileActionOutcome
{
    enum class Result {
        Declined, // the user said no: nothing changed
        Failed, // the file action failed and was reported: nothing changed
        Done, // the file action happened
        Unchanged, // nothing to do: nothing was asked and nothing changed
    };
    Result result = Result::Declined;

    bool done() const { return result == Result::Done; }
};

// The file actions of both reviews on the file of one slot. Each asks through the prompter with
// the program's own texts, reads the main window's settings at the moment of use, keeps the
// session's counters and follows with the slot's catalogue row, found by its row id, and the
// slot itself.
//
// One file may have other rows, reached by other paths (a link to its directory, a second mount
// of it): in the same catalogue write as the slot's row (for a delete, before the file goes),
// every such row whose path reaches nothing after the action, or another file, is tagged "D", as
// a delete in review tags its own row, so that no search offers a file that is gone. A row whose
// path still reaches the file (a hard link) stays as it is.
class FileActions
{
public:
    FileActions(const MainSettings& settings, Session& session, CatalogueDatabase& database, Prompter& prompter,
        const Volumes& volumes);

    // Delete: the removable-media prompt, the confirmation (none with "No Confirm"), the trash
    // ("Recycle", which takes only a regular file or a link) or an outright delete, and the
    // failure test (the file, hidden or not, is still there; a file already missing fails an
    // outright delete and counts as deleted through the trash). A delete counts in NumberDeleted
    // and TotalDeleted, a file removed now in the recovered space; it tags the row and the slot
    // "D" and takes the thumbnail companion along (its own failure is reported and stops
    // nothing). The tags are written, committed and synced to disk before the file goes, and put
    // back when it stays; a catalogue that refuses them stops the delete.
    FileActionOutcome deleteFile(ImageFacts& slot);

    // Move: the removable-media prompt, then the move dialog, which moves the file with its
    // thumbnail companion and says where it went. Nothing moved is Declined. A move that happened
    // rewrites the slot and its row: DRIVEVOLUME and PATH from the destination entry, NAME and
    // REFNAME (the new name less its four-character extension), WHOLENAME, DISKNAME and STAG.
    FileActionOutcome moveFile(ImageFacts& slot, MoveDialog& dialog);

    // Rename in place to the typed name (blanks trimmed; the extension is kept as it stands on
    // disk). An empty name, or the present one in any letter case, is Unchanged; a name of several
    // lines is refused and the user told why (Failed); otherwise the confirmation (asked even
    // with "No Confirm"). The rename never replaces a file and refuses a
    // name with "/", NUL or a control character, and "." and ".."; a failure is reported and
    // changes nothing. A rename that happened rewrites the slot and its row (NAME, REFNAME,
    // BASENAME and WHOLEBASE from the reduced base, WHOLENAME, DISKNAME, STAG) and takes the
    // thumbnail companion along (its own failure is reported and stops nothing).
    FileActionOutcome renameFile(ImageFacts& slot, const QString& typedName);

    // The base a rename gives BASENAME: the name less every digit and every "~".
    static QString reducedBase(const QString& name);

    // The thumbnail companion of a slot: its file's name less the extension, with the thumbnail
    // extension, in the same directory; a name that differs only in letter case is found too.
    // Empty when there is none to look for: the extension is empty, one of the image types, or
    // not a plain extension.
    static QString companionPath(const ImageFacts& slot, const QString& thumbnailExt);

    // Whether a path names something on disk, hidden or not (a link counts, whatever it names).
    static bool presentOnDisk(const QString& path);

    // The messages.
    static QString confirmDeleteText(const QString& file) { return QStringLiteral("Delete file - ") + file; }
    static QString deleteFailedText(const QString& file) { return QStringLiteral("Unable to Delete file - ") + file; }
    static QString confirmRenameText(const QString& name) { return QStringLiteral("Rename file to - ") + name; }
    static QString renameFailedText(const QString& file) { return QStringLiteral("Unable to Rename file - ") + file; }
    static QString keyNotReadText(const QString& file)
    {
        return QStringLiteral("Unable to read the length and date of file - ") + file
            + QStringLiteral("\r\rIts catalogue record keeps the length and date it had.");
    }
    static QString rowNotUpdatedText(const QString& file)
    {
        return QStringLiteral("Unable to update the catalogue record of file - ") + file;
    }

private:
    // Sends a file to the trash or deletes it; true when it is gone now (through the trash, also
    // when it was gone before). The space of a file removed now counts as recovered.
    bool removeFile(const QString& path);
    // The slot's file as it stands before an action, and the other rows that reach it now.
    SameFileRows sameFileRows(const ImageFacts& slot);
    // Writes fields of the slot's row and, in the same transaction, tags those other rows that
    // reach the file no longer, committed and synced to disk; the user is told when the slot's
    // row is gone or the catalogue refuses, and the file action stands.
    void writeRow(const ImageFacts& slot, std::initializer_list<std::pair<CatalogueFields::Field, QVariant>> fields,
        const QString& file, const SameFileRows& others);
    // STAG of a slot whose file now stands at PATH + its name on disk, built from the length and
    // date the file system reports; when they cannot be read, from the row's recorded SIZE and
    // DATE, with the user told.
    QString keyAfterChange(const ImageFacts& slot);
    // Row ids with the RTAG each is to have.
    using RowTags = QList<std::pair<std::int64_t, QString>>;
    // Sets the tags in one committed write, on disk when it returns, and gives the tags the rows
    // had (rows not found are left out); nullopt, with the catalogue's reason, when it refuses.
    std::optional<RowTags> setTags(const RowTags& tags, QString* reason);
    void tellError(const QString& text, MsgIcon icon);

    const MainSettings& m_settings;
    Session& m_session;
    CatalogueDatabase& m_database;
    Prompter& m_prompter;
    const Volumes& m_volumes;
};
