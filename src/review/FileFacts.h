#pragma once

#include <QString>
#include <QtGlobal>

struct ImageFacts;

// The text colour of an image's name and location: the button text colour by default, blue for
// a file in a temporary directory, red for one in the incoming-files directory.
enum class LocationColour { Default, Temporary, Ifcd };

// Blue when the upper-cased PATH holds "TEMP" or "TMP"; red, over blue, when the incoming-files
// directory is set and the image's location begins with exactly its text (whatever the tree mode).
LocationColour locationColour(const ImageFacts& slot, const QString& ifcd);

// " 3 files deleted,  12 total...": the review's and the overall counts of deleted files.
QString deletionCountersText(qint32 numberDeleted, qint32 totalDeleted);
