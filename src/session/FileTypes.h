#pragma once

#include <QString>
#include <array>

// One of the 24 image file types a search can include.
struct FileType
{
    const char* control; // "chkART"
    const char* extension; // ".ART", as the settings file writes it
    const char* tooltip;
};

inline constexpr int FileTypeCount = 24;

// The types in the main window's order, which is also the settings file's order.
extern const std::array<FileType, FileTypeCount> FileTypes;

// The check box caption: the extension in lower case (".art").
QString fileTypeCaption(const FileType& type);
