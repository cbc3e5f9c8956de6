#pragma once

#include <QString>
#include <QStringList>

// Plays sounds for the engines; the window layer supplies the real player.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void playWav(const QString& path) = 0; // asynchronous
    virtual void beep() = 0;
};

// The sound step: unless sound is off, a random entry of the list, or a beep when it is empty.
void soundStep(SoundPlayer& player, const QStringList& soundFiles, bool noSound);
