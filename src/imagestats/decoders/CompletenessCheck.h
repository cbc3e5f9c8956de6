#pragma once

#include <QByteArray>
#include <QtGlobal>

// Structural checks that a file holds all the data its headers promise. Qt's readers fill what is
// missing from a cut-short JPEG, BMP, GIF or icon with grey or black and report success; a cut
// file must instead be refused, as every other type is.
class CompletenessCheck
{
public:
    static bool jpeg(const QByteArray& data);
    static bool bmp(const QByteArray& data);
    // Also false when the first frame's codes are too few for the pixels it declares.
    static bool gifFirstFrame(const QByteArray& data);
    static bool iconDirectory(const QByteArray& data);
    // For the types read through GraphicsMagick, given the file's head and length: false when the
    // file is too short for the picture its header declares even at its type's best compression,
    // or declares a size no decoder accepts; the library would allocate the whole picture first.
    static bool libraryPicture(const QByteArray& head, qint64 fileBytes, const char* coder);
};
