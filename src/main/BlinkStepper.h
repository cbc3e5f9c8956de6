#pragma once

#include <optional>

// One pair of eyes' blink: each tick shows a frame (0 open, 1 half closed, 2 closed) until the
// blink is over. The counter restarts at 1, so the first blink takes one tick more than later ones.
class BlinkStepper
{
public:
    // The frame to show, or nullopt when the blink is over and its timer should stop.
    std::optional<int> tick()
    {
        ++m_step;
        switch (m_step) {
        case 1:
            return 0;
        case 2:
            return 1;
        case 3:
            return 2;
        case 4:
            return 1;
        case 5:
            return 0;
        default:
            m_step = 1;
            return std::nullopt;
        }
    }
    int step() const { return m_step; }

private:
    int m_step = 0;
};
