#pragma once

class FileConfirmer;
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
