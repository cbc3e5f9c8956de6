#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The main window's session variables and the shared module's variables, under their own names.
// Other windows and engines read and write them; the settings file keeps some of them.
struct Session
{
    // Session variables of the main window
    QString AltViewer;
    QString SearchCompleted;
    bool ChangedSearch = false;
    qint32 NumFilesFound = 0;
    bool ThreeMonthPurge = false;
    bool IdentifyByLocation = false;
    qint32 NumberDeleted = 0;
    qint32 TotalDeleted = 0;
    double RecoveredBytes = 0;
    double RecoveredSectorBytes = 0;
    double TotalSectorBytes = 0;
    qint16 CompactedMonth = 0;
    bool ShowEndStats = false;
    QString LastDirUsed;
    bool SearchUnloaded = false;
    bool PrematchUnloaded = false;
    bool WasSearchMinmized = false;
    bool NoWarnings = false;
    qint32 PreScanTop = 0; // twips; -5000: no position stored
    qint32 PreScanLeft = 0;

    // Module variables
    qint32 StoppedAtRecord = 0;
    QString SessionMode; // "NEW" or "RESUME"
    QString ReactivateDrives; // mount points joined by "|"
    QStringList SoundFiles; // at most MaxSoundFiles paths
    QString WavDirectory; // a plain prefix of the sound file pattern
    bool DisableFilePolling = false;
    double FilesRead = 0; // set by the pre-scan, read by the pre-match cycle
    // Set by a pre-scan or a pre-match cycle that stopped on a failure of its catalogue: the
    // search goes no further.
    bool PreScanFailed = false;
    bool PrematchFailed = false;

    static constexpr int MaxSoundFiles = 1000;
    static constexpr qint32 NoStoredPosition = -5000;

    // The values the settings reader gives before it reads the file.
    void applyReaderPresets(const QString& programDirectory);
    // The mount points of ReactivateDrives, and back.
    QStringList reactivateMountPoints() const;
    void setReactivateMountPoints(const QStringList& mountPoints);
};

// The start directory of the add-directories dialog when none is remembered: the home directory.
QString defaultStartDirectory();
