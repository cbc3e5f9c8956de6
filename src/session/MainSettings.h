#pragma once

#include "session/ComparisonMode.h"
#include "session/FileTypes.h"

#include <QString>
#include <QStringList>
#include <array>

// Every option of the main window in one value. The window binds its controls to it; other
// windows and the engines read it, never the window's controls. Check boxes are bools (ticked = 1).
// A value starts with the design values of the settings table, the one place of start values.
struct MainSettings
{
    MainSettings();

    // List and database
    QString listName; // lblLISTNAME
    QStringList directories; // lstDIRECTORIES: one DirectoryEntry per item
    QString ifcd; // txtIFCD
    bool treeModeIfcd; // chkTREEMODEIFCD
    bool saveList; // chkSAVELIST
    bool singleTable; // chkSINGLETABLE

    ComparisonMode mode; // optNAME ... optPATTERN

    // Matching switches, review and scan options
    bool ignoreExtension; // chkIGNORE
    QString tolerance; // txtTOLERANCE
    bool softMatch; // chkSOFTMATCH
    bool exclusive; // chkEXCLUSIVE
    bool snapshot; // chkSNAPSHOT
    bool recycle; // chkRECYCLE
    bool noConfirm; // chkCONFIRM
    bool autoNext; // chkAUTONEXT
    QString filter; // txtFILTER
    bool notFilter; // chkNOT
    QString thumbnailExt; // txtTHUMBNAILEXT
    bool fixJpeg; // chkJPEG
    bool preMatch; // chkPREMATCH
    bool gather; // chkGATHER (never persisted)
    bool noSound; // chkNOSOUND

    std::array<bool, FileTypeCount> fileTypes; // chkART ... chkICO, in FileTypes order

    // The tolerance as the pre-match cycle and both reviews compare by: the number its text
    // begins with, halves to the even neighbour, within 16 bits. A number outside 0 to 99 (the
    // box's range, which a hand-edited settings file escapes) is taken as it stands.
    int toleranceValue() const;
    // Name of the list database: the list name as shown, or "tolqtmp" with the single database.
    QString listDatabaseName() const;
    int tickedTypeCount() const;

    bool operator==(const MainSettings&) const = default;
};

// An empty filter takes every name: it reads as the filter's design value, "*".
QString filterOrEveryName(const QString& filter);
// Normalisation of the typed fields when they lose the focus.
QString normaliseFilter(const QString& text);
QString normaliseThumbnailExt(const QString& text);
QString normaliseTolerance(const QString& text);

// The folder of the directory lists and their catalogues: data/ in the program directory,
// ending in "/".
QString listDataDirectory(const QString& programDirectory);
// A list's catalogue: data/<list>.mdb in the program directory, or data/tolqtmp.mdb with the
// single database.
QString listDatabasePath(const QString& programDirectory, const MainSettings& settings);
