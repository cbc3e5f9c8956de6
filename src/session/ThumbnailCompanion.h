#pragma once

#include <QString>

// The thumbnail companion of an image is the image's path and name without its extension,
// followed by the thumbnail extension of the settings (txtTHUMBNAILEXT, ".THN" by default). It
// goes wherever its image goes: deleted, moved and renamed with it.

// The companion extension the setting gives, or "" when it names none: an empty setting, or one
// of the 24 image types (in any letter case), which would make an image the companion of another.
QString companionExtension(const QString& thumbnailExt);
