#pragma once

#include "match/ModeOrder.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>

class CatalogueDatabase;
class Prompter;
class SoundPlayer;
class SqlRecordSet;
struct ImageFacts;
struct MainSettings;
struct Session;
class SettingsWriter;

// The ACTIVE code of the records under review: "*" when the pre-match cycle marked them, else
// "X" (every record the pre-scan met).
QString reviewActiveCode(const MainSettings& settings);
// The review source: the records under review in the order of the mode, the path first with
// exclusive matching; in PATTERN mode the pattern source.
RecordSource reviewSource(const MainSettings& settings, const QString& activeCode);
// The pattern source: the records under review by RECNUM.
RecordSource reviewPatternSource(const QString& activeCode);

// A review's catalogue: the list's database and the review's record set over its source.
struct ReviewCatalogue
{
    std::unique_ptr<CatalogueDatabase> database;
    std::unique_ptr<SqlRecordSet> files; // closes before its database
};
// Opens the catalogue at path and reads the source's records. When either fails (a file that is
// no catalogue, or damage found only in the reading) the user is told, with the path and the
// reason, and nothing is open.
ReviewCatalogue openReviewCatalogue(const QString& path, const RecordSource& source, Prompter& prompter);

// Runs a review's work; when its catalogue fails under it (a disk removed, a file replaced) the
// user is told, with the engine's own words, and false comes back so the review makes itself
// usable again.
bool catalogueHeld(Prompter& prompter, const std::function<void()>& work);

// Skip to Next Alpha needs a browse sequence in name order: in the other modes the text that
// refuses it, naming the mode; none in NAME, NAME AND SIZE and NUMBERED.
std::optional<QString> skipRefusalText(ComparisonMode mode);

// Where a review starts on its source: the stored resume record when the source holds it, else
// the first record; never on a record deleted in review, but on the first live one from there.
void placeReviewStart(SqlRecordSet& files, qint32 stoppedAtRecord);

// After every step that searched: the reference becomes the resume record and the settings file
// is rewritten to hold it.
void storeReviewPosition(Session& session, const ImageFacts& reference, SettingsWriter& writer);
// The sound step after a review step: unless sound is off, a random sound file, or the beep.
void reviewSoundStep(SoundPlayer& player, const MainSettings& settings, const Session& session);
