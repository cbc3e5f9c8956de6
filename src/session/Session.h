#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The main window's session variables and the shared module's variables, under their own names.
// Other windows and engines read and write them; the settings file keeps some of them. Those it
// keeps start with the design values of the settings table (the counters, which only the file
// sets, at zero); the others belong to one run and have no settings row, so they start empty.
struct Session
{
    Session();

    // Session variables of the main window
    QString AltViewer;
    QString SearchCompleted; // "YES" or "NO"
    bool ChangedSearch = false;
    qint32 NumFilesFound = 0;
    bool ThreeMonthPurge;
    bool IdentifyByLocation;
    qint32 NumberDeleted = 0;
    qint32 TotalDeleted = 0;
    double RecoveredBytes = 0;
    double RecoveredSectorBytes = 0;
    double TotalSectorBytes = 0;
    qint16 CompactedMonth;
    bool ShowEndStats;
    QString LastDirUsed;
    bool SearchUnloaded = false;
    bool PrematchUnloaded = false;
    bool WasSearchMinmized = false;
    bool NoWarnings;
    qint32 PreScanTop; // twips; NoStoredPosition: none stored
    qint32 PreScanLeft;

    // Module variables
    qint32 StoppedAtRecord;
    QString SessionMode; // "NEW" or "RESUME"
    QString ReactivateDrives; // mount points joined by "|"
    QStringList SoundFiles; // at most MaxSoundFiles paths
    // A plain prefix of the sound file pattern. Empty until the first start or the settings reader
    // gives it the program directory.
    QString WavDirectory;
    bool DisableFilePolling;
    double FilesRead = 0; // set by the pre-scan, read by the pre-match cycle
    // Set by a pre-scan or a pre-match cycle that stopped on a failure of its catalogue: the
    // search goes no further.
    bool PreScanFailed = false;
    bool PrematchFailed = false;

    static constexpr int MaxSoundFiles = 1000;
    static constexpr qint32 NoStoredPosition = -5000;

    // The mount points of ReactivateDrives, and back.
    QStringList reactivateMountPoints() const;
    void setReactivateMountPoints(const QStringList& mountPoints);
};

// The start directory of the add-directories dialog when none is remembered: the home directory.
QString defaultStartDirectory();
