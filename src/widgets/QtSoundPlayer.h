#pragma once

#include "platform/SoundPlayer.h"

#include <QObject>

class QSoundEffect;

// Plays .wav files asynchronously through Qt Multimedia and beeps through the desktop.
// Like the system sound call it stands for, a new sound replaces the one still playing, and a
// file that is missing or cannot be played gives the default sound, a beep, instead.
class QtSoundPlayer : public QObject, public SoundPlayer
{
    Q_OBJECT
public:
    explicit QtSoundPlayer(QObject* parent = nullptr);
    ~QtSoundPlayer() override;

    void playWav(const QString& path) override;
    void beep() override;

private:
    void release(QSoundEffect* effect);

    // Kept alive until it ends: a sound effect that is destroyed stops playing.
    QSoundEffect* m_current = nullptr;
};
