#pragma once

#include <QtGlobal>

// Lets pending window events run from inside a long loop on the user-interface thread.
class Yielder {
public:
    virtual ~Yielder() = default;
    virtual void yield() = 0;
    // The pause wait of the stage loops.
    virtual void sleep(int milliseconds) = 0;
};

// Processes events at most every 20 ms, so a tight loop does not spend its time in the event loop.
class EventLoopYielder : public Yielder {
public:
    void yield() override;
    void sleep(int milliseconds) override;

private:
    qint64 m_lastYieldMs = -1;
};

class NullYielder : public Yielder {
public:
    void yield() override { }
    void sleep(int) override { }
};
