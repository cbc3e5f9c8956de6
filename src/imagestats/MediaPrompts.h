#pragma once

#include <QString>

class Prompter;
class Volumes;

// What the removable-media prompts need of the settings.
struct MediaPromptSettings
{
    // "DISABLE FILE POLLING" in the settings file: no prompt ever, no drive read.
    bool DisableFilePolling = false;
    // Mount points joined by "|" whose records are re-activated without reading them.
    QString ReactivateDrives;
};

// Whether PromptForDirectory would ask for the directory's medium now.
bool directoryPromptDue(const QString& volumeText, const QString& directoryPath, const MediaPromptSettings& settings,
    const Volumes& volumes);
// Returns once the directory's medium is present (or never asked for: fixed and remote file
// systems, re-activated mount points), or the user cancels the prompt.
void PromptForDirectory(const QString& volumeText, const QString& directoryPath, const MediaPromptSettings& settings,
    const Volumes& volumes, Prompter& prompter);
// Whether PromptForFile would ask for the file's medium now.
bool filePromptDue(
    const QString& volumeText, const QString& filePath, const MediaPromptSettings& settings, const Volumes& volumes);
// The same for a file; re-activated mount points are no exception here.
void PromptForFile(const QString& volumeText, const QString& filePath, const MediaPromptSettings& settings,
    const Volumes& volumes, Prompter& prompter);

// Whether a path lies in one of the mount points of a ReactivateDrives text.
bool liesInReactivatedDrive(const QString& path, const QString& reactivateDrives);
