#include "match/PatternLookahead.h"

#include <algorithm>
#include <limits>

namespace {

constexpr quint32 ChunkItems = 256;
constexpr std::size_t NoChunk = std::numeric_limits<std::size_t>::max();

} // namespace

PatternLookahead::PatternLookahead(quint32 count, int workers, Compute compute)
    : m_compute(std::move(compute))
    , m_count(count)
    , m_chunks((count + ChunkItems - 1) / ChunkItems)
    , m_ahead(std::size_t(std::max(1, workers)) * 8)
{
    for (int w = 1; w <= workers; ++w)
        m_threads.emplace_back([this, w] { work(w); });
}

PatternLookahead::~PatternLookahead()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

bool PatternLookahead::wanted(std::size_t chunk) const
{
    // The chunk just behind stays: a walk may step back a little.
    return chunk + 1 >= m_position && chunk < m_position + m_ahead;
}

std::size_t PatternLookahead::nextIdle() const
{
    const std::size_t end = std::min(m_chunks.size(), m_position + m_ahead);
    for (std::size_t chunk = m_position; chunk < end; ++chunk) {
        if (m_chunks[chunk].state == State::Idle)
            return chunk;
    }
    return NoChunk;
}

void PatternLookahead::work(int worker)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        std::size_t chunk = NoChunk;
        m_wake.wait(lock, [&] { return m_stop || (chunk = nextIdle()) != NoChunk; });
        if (m_stop)
            return;
        m_chunks[chunk].state = State::Running;
        lock.unlock();
        const quint32 first = quint32(chunk) * ChunkItems;
        std::vector<std::vector<quint32>> results(std::min(ChunkItems, m_count - first));
        std::vector<bool> ready(results.size());
        for (quint32 i = 0; i < results.size(); ++i) {
            ready[i] = m_compute(first + i, worker, results[i]);
            if (!ready[i])
                std::vector<quint32>().swap(results[i]);
        }
        lock.lock();
        Chunk& done = m_chunks[chunk];
        if (wanted(chunk)) {
            done.results = std::move(results);
            done.ready = std::move(ready);
            done.state = State::Done;
        } else {
            done.state = State::Idle; // the walk went elsewhere meanwhile
        }
    }
}

bool PatternLookahead::take(quint32 item, std::vector<quint32>& out)
{
    const std::size_t chunk = item / ChunkItems;
    std::unique_lock lock(m_mutex);
    if (chunk != m_position) {
        m_position = chunk;
        for (std::size_t c = 0; c < m_chunks.size(); ++c) {
            if (m_chunks[c].state == State::Done && !wanted(c)) {
                m_chunks[c].state = State::Idle;
                std::vector<std::vector<quint32>>().swap(m_chunks[c].results);
                std::vector<bool>().swap(m_chunks[c].ready);
            }
        }
        m_wake.notify_all();
    }
    // A chunk still being worked out is not waited for (with a large tolerance a chunk takes
    // long): the caller works its item out itself, as it would on one thread.
    const Chunk& held = m_chunks[chunk];
    if (held.state != State::Done || !held.ready[item % ChunkItems])
        return false;
    out = held.results[item % ChunkItems];
    return true;
}
