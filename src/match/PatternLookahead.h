#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Results worked out ahead on other threads for a walk that takes its items mostly in
// ascending order: items 0..count-1 go to the workers in chunks, a bounded stretch ahead of the
// item taken last, and what the walk has left behind is let go. An item no worker has ready,
// or whose result a worker gave up on, is left to the caller, so the walk never waits for a
// worker.
class PatternLookahead
{
public:
    // Works out one item as worker w (1..workers); each worker number is used by one thread at
    // a time. False: the worker gave up on the item (its result would be too large to hold).
    using Compute = std::function<bool(quint32 item, int worker, std::vector<quint32>& out)>;

    PatternLookahead(quint32 count, int workers, Compute compute);
    ~PatternLookahead();
    PatternLookahead(const PatternLookahead&) = delete;
    PatternLookahead& operator=(const PatternLookahead&) = delete;

    // The item's result when a worker has it ready; false leaves the item to the caller.
    bool take(quint32 item, std::vector<quint32>& out);

private:
    enum class State { Idle, Running, Done };
    struct Chunk
    {
        State state = State::Idle;
        std::vector<std::vector<quint32>> results;
        std::vector<bool> ready; // false: given up
    };

    void work(int worker);
    bool wanted(std::size_t chunk) const;
    std::size_t nextIdle() const;

    Compute m_compute;
    quint32 m_count = 0;
    std::vector<Chunk> m_chunks;
    std::size_t m_position = 0; // the chunk of the item taken last
    std::size_t m_ahead = 0; // chunks worked out ahead of it
    bool m_stop = false;
    std::mutex m_mutex;
    std::condition_variable m_wake; // work to do, or stop
    std::vector<std::thread> m_threads;
};
