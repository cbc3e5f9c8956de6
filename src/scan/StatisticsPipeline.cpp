#include "scan/StatisticsPipeline.h"

#include <algorithm>
#include <chrono>

StatisticsPipeline::StatisticsPipeline(int threads, Measurer measurer, qint64 budgetPixels)
    : m_threads(qMax(1, threads))
    , m_measurer(std::move(measurer))
    , m_budget(budgetPixels)
    // Rounded up: a share rounded down would let one file more into the budget.
    , m_leastCharge(qMax<qint64>(1, (m_budget.capacity() + MostFilesAhead - 1) / MostFilesAhead))
{
    if (m_threads > 1) {
        for (int i = 0; i < m_threads; ++i)
            m_workers.emplace_back([this] { work(); });
    }
}

StatisticsPipeline::~StatisticsPipeline()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_jobReady.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

bool StatisticsPipeline::hasRoom() const
{
    std::lock_guard lock(m_mutex);
    return m_ahead < m_budget.capacity();
}

StatisticsPipeline::TicketPtr StatisticsPipeline::submit(StatisticsJob job)
{
    auto ticket = std::make_shared<Ticket>();
    ticket->job = std::move(job);
    {
        std::lock_guard lock(m_mutex);
        ticket->charge = m_leastCharge;
        m_ahead += ticket->charge;
        if (m_holding && background()) {
            ticket->released = false;
            ++m_held;
        }
        if (background())
            m_queue.push_back(ticket);
    }
    if (background() && ticket->released)
        m_jobReady.notify_one();
    return ticket;
}

void StatisticsPipeline::work()
{
    for (;;) {
        TicketPtr ticket;
        {
            std::unique_lock lock(m_mutex);
            // In order: a job held keeps those behind it waiting too.
            m_jobReady.wait(lock, [this] {
                return m_stopping || (!m_queue.empty() && (m_queue.front()->released || m_queue.front()->dropped));
            });
            if (m_stopping)
                return;
            ticket = std::move(m_queue.front());
            m_queue.pop_front();
            if (!ticket->released)
                --m_held;
            if (ticket->dropped)
                continue;
            ticket->started = true;
            m_reading.push_back(ticket.get());
        }
        // One picture at a time may be larger than the budget; it then waits to run alone.
        const qint64 pixels = m_measurer.pixels(ticket->job);
        {
            std::lock_guard lock(m_mutex);
            if (!ticket->dropped) {
                const qint64 charge = qMax(pixels, m_leastCharge);
                m_ahead += charge - ticket->charge;
                ticket->charge = charge;
            }
        }
        m_budget.acquire(pixels);
        bool wanted = false;
        {
            std::lock_guard lock(m_mutex);
            wanted = !m_stopping && !ticket->dropped;
        }
        StatisticsResult result;
        if (wanted)
            result = m_measurer.compute(ticket->job);
        // The decoded picture is gone with the computation; its pixels go back to the budget.
        m_budget.release(pixels);
        {
            std::lock_guard lock(m_mutex);
            ticket->result = std::move(result);
            ticket->done = true;
            m_reading.erase(std::find(m_reading.begin(), m_reading.end(), ticket.get()));
        }
        m_resultReady.notify_all();
    }
}

bool StatisticsPipeline::wait(const TicketPtr& ticket, int timeoutMs)
{
    if (!background())
        return true;
    std::unique_lock lock(m_mutex);
    return m_resultReady.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return ticket->done; });
}

void StatisticsPipeline::settle(Ticket& ticket)
{
    m_ahead -= ticket.charge;
    ticket.charge = 0;
}

StatisticsResult StatisticsPipeline::take(const TicketPtr& ticket)
{
    if (!background()) {
        {
            std::lock_guard lock(m_mutex);
            settle(*ticket);
        }
        return m_measurer.compute(ticket->job);
    }
    std::unique_lock lock(m_mutex);
    m_resultReady.wait(lock, [&] { return ticket->done; });
    settle(*ticket);
    return std::move(ticket->result);
}

void StatisticsPipeline::discard(const TicketPtr& ticket)
{
    std::lock_guard lock(m_mutex);
    ticket->dropped = true;
    settle(*ticket);
}

bool StatisticsPipeline::held(const TicketPtr& ticket) const
{
    std::lock_guard lock(m_mutex);
    return !ticket->released;
}

int StatisticsPipeline::heldJobs() const
{
    std::lock_guard lock(m_mutex);
    return m_held;
}

QStringList StatisticsPipeline::unfinished() const
{
    std::lock_guard lock(m_mutex);
    QStringList files;
    for (const Ticket* ticket : m_reading)
        files << ticket->job.filePath;
    for (const TicketPtr& ticket : m_queue) {
        if (!ticket->dropped)
            files << ticket->job.filePath;
    }
    return files;
}

void StatisticsPipeline::release()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_held == 0)
            return;
        for (const TicketPtr& ticket : m_queue)
            ticket->released = true;
        m_held = 0;
    }
    m_jobReady.notify_all();
}

bool StatisticsPipeline::waitIdle(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    return m_resultReady.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_reading.empty(); });
}
