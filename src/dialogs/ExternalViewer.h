#pragma once

#include <QString>

class Prompter;

// The launcher's work on the stored viewer path (AltViewer): the program name its button shows,
// and the launch with its messages.

// The text after the last "/" of the path, the whole text when it has none.
QString viewerProgramName(const QString& viewer);
// The caption of the launcher's Use button: "Use " and the program name.
QString useCaption(const QString& viewer);
// Starts the viewer on the file, the file as its one argument, or says why not: "No viewer
// specified..." for an empty or blank path, "Unable to launch viewer... Error n - description"
// when it cannot start. True when it started.
bool launchViewer(const QString& viewer, const QString& file, Prompter& prompter);
