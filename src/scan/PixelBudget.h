#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <cstdint>
#include <mutex>

// The pixels the measuring threads may hold decoded at one time, so that memory stays bounded
// whatever the pictures. A job asks for its pixels before it starts and gives them back when its
// picture is released. Requests are granted in the order they were made, so a large picture is
// not passed over for ever by small ones; a picture larger than the whole budget is granted
// alone, once nothing else is in flight. Safe on several threads.
class PixelBudget
{
public:
    // About 2.4 GB of 32-bit pixels.
    static constexpr qint64 DefaultPixels = 600'000'000;

    explicit PixelBudget(qint64 pixels = DefaultPixels);
    PixelBudget(const PixelBudget&) = delete;
    PixelBudget& operator=(const PixelBudget&) = delete;

    qint64 capacity() const { return m_capacity; }
    // Waits until the pixels fit (or nothing else is in flight), then holds them.
    void acquire(qint64 pixels);
    void release(qint64 pixels);

private:
    const qint64 m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    qint64 m_inFlight = 0;
    std::uint64_t m_nextTicket = 0; // handed to each request in turn
    std::uint64_t m_serving = 0; // the request whose turn it is
};
