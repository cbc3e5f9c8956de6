#pragma once

#include "catalogue/CatalogueFields.h"

#include <QString>
#include <QVariant>

#include <initializer_list>
#include <utility>

class CatalogueDatabase;
class Prompter;
class Volumes;
struct ImageFacts;
struct MainSettings;
struct Session;

// What a file action did, for the window to render.
struct FileActionOutcome
{
    enum class Result {
        Declined, // the user said no: nothing changed
        Failed, // the file action failed and was reported: nothing changed
        Done, // the file action happened
    };
    Result result = Result::Declined;
    // False when the file action happened but its catalogue row could not be found or written;
    // the user has been told and the file action stands.
    bool rowUpdated = true;

    bool done() const { return result == Result::Done; }
};

// The file actions of both reviews on the file of one slot. Each asks through the prompter with
// the program's own texts, reads the main window's settings at the moment of use, keeps the
// session's counters and follows with the slot's catalogue row, found by its row id, and the
// slot itself.
class FileActions
{
public:
    FileActions(const MainSettings& settings, Session& session, CatalogueDatabase& database, Prompter& prompter,
        const Volumes& volumes);

    // Delete: the removable-media prompt, the confirmation (none with "No Confirm"), the trash
    // ("Recycle") or an outright delete, and the failure test (the file, hidden or not, is still
    // there; a file already missing is no delete either). A delete that happened counts in
    // NumberDeleted, TotalDeleted and the recovered space, tags the row and the slot "D" and
    // takes the thumbnail companion along (its own failure is reported and stops nothing).
    FileActionOutcome deleteFile(ImageFacts& slot);

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
    static QString rowNotUpdatedText(const QString& file)
    {
        return QStringLiteral("Unable to update the catalogue record of file - ") + file;
    }

private:
    // Sends a file to the trash or deletes it; true when it was there before and is gone now,
    // and then its space counts as recovered.
    bool removeFile(const QString& path);
    // Writes fields of the slot's row; false, with the user told, when the row is gone or the
    // catalogue refuses.
    bool writeRow(const ImageFacts& slot, std::initializer_list<std::pair<CatalogueFields::Field, QVariant>> fields,
        const QString& file);

    const MainSettings& m_settings;
    Session& m_session;
    CatalogueDatabase& m_database;
    Prompter& m_prompter;
    const Volumes& m_volumes;
};
