#pragma once

// Sets a flag for the life of a scope, however the scope ends: the busy guard of each review
// window, held while one of its actions runs, and the running flag of a stage's loop.
class BusyScope
{
public:
    explicit BusyScope(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~BusyScope() { m_flag = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_flag;
};
