#pragma once

#include <QElapsedTimer>

// Lets pending window events run from inside a long loop on the user-interface thread.
class Yielder
{
public:
    virtual ~Yielder() = default;
    virtual void yield() = 0;
    // Whether a yield now would let the events run: what is drawn just before one is seen.
    virtual bool due() const { return true; }
    // The pause wait of the stage loops.
    virtual void sleep(int milliseconds) = 0;
};

// Processes events at most every 20 ms, so a tight loop does not spend its time in the event loop.
// Paced by the monotonic clock: a wall clock set back or forward changes neither the pace nor the
// length of a pause.
class EventLoopYielder : public Yielder
{
public:
    void yield() override;
    bool due() const override;
    void sleep(int milliseconds) override;

private:
    QElapsedTimer m_sinceYield; // invalid before the first yield
};

class NullYielder : public Yielder
{
public:
    void yield() override { }
    bool due() const override { return false; }
    void sleep(int) override { }
};
