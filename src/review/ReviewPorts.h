#pragma once

class FileConfirmer;
class ImageViewer;
class MoveDialog;
class Prompter;
class SoundPlayer;
class Volumes;
class Yielder;

// What a review asks of the main window after every step that searched: the settings file
// rewritten, so that it holds the resume record (StoppedAtRecord).
class SettingsWriter
{
public:
    virtual ~SettingsWriter() = default;
    virtual void writeSettings() = 0;
};

// The ports of a review's engine; the window supplies the real ones, tests scripted fakes.
struct ReviewPorts
{
    Prompter& prompter;
    SoundPlayer& sound;
    Yielder& yielder;
    FileConfirmer& confirmer;
    const Volumes& volumes;
    SettingsWriter& settingsWriter;
};

// The dialogs a review's file actions show: the move dialog shared by both reviews for the run,
// and the review's own two-image viewer. Without them Move and View do nothing.
struct ReviewDialogs
{
    MoveDialog* move = nullptr;
    ImageViewer* viewer = nullptr;
};
