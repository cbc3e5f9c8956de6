#pragma once

#include <QByteArray>

// Structural checks that a file holds all the data its headers promise. Qt's readers fill what is
// missing from a cut-short JPEG, BMP, GIF or icon with grey or black and report success; a cut
// file must instead be refused, as every other type is.
class CompletenessCheck
{
public:
    static bool jpeg(const QByteArray& data);
    static bool bmp(const QByteArray& data);
    static bool gifFirstFrame(const QByteArray& data);
    static bool iconDirectory(const QByteArray& data);
};
