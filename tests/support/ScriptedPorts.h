#pragma once

// Fakes of the engines' sound and yield ports, shared by the stage tests.

#include "platform/SoundPlayer.h"
#include "platform/Yielder.h"

#include <QList>
#include <QStringList>

#include <functional>

// A sound player that only records.
class RecordingSoundPlayer : public SoundPlayer
{
public:
    void playWav(const QString& path) override { played << path; }
    void beep() override { ++beeps; }
    QStringList played;
    int beeps = 0;
};

// A yielder that runs a script at each yield and each pause sleep (the window's button presses);
// the scripts receive how many yields or sleeps there have been so far.
class ScriptedYielder : public Yielder
{
public:
    void yield() override
    {
        ++yields;
        if (onYield)
            onYield(yields);
    }
    void sleep(int milliseconds) override
    {
        sleeps << milliseconds;
        if (onSleep)
            onSleep(int(sleeps.size()));
    }
    std::function<void(int)> onYield;
    std::function<void(int)> onSleep;
    int yields = 0;
    QList<int> sleeps; // the length of each pause sleep
};
