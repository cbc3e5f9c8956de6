#pragma once

#include <QString>

// The thumbnail companion of an image is the image's path and name without its extension,
// followed by the thumbnail extension of the settings (txtTHUMBNAILEXT, ".THN" by default). It
// goes wherever its image goes: deleted, moved and renamed with it.

// The companion extension the setting gives, or "" when it names none: an empty setting, one of
// the 24 image types (in any letter case), which would make an image the companion of another,
// or one holding "/" or NUL, which would name another place.
QString companionExtension(const QString& thumbnailExt);

// The name on disk of the companion of the image imageName whose name less its extension is
// base, in a directory (its path ending in "/"): base + companionExt when that exists, else an
// entry whose name equals it without regard to case (the image itself excepted), else
// base + companionExt all the same. "" when companionExt is "".
QString companionName(
    const QString& directoryPath, const QString& imageName, const QString& base, const QString& companionExt);
