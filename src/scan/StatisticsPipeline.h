#pragma once

#include "scan/PixelBudget.h"
#include "scan/StatisticsJob.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// How jobs are measured and what they hold meanwhile: computeStatistics and decodedPixels unless
// a test gives others.
struct StatisticsMeasurer
{
    std::function<StatisticsResult(const StatisticsJob&)> compute = &computeStatistics;
    std::function<qint64(const StatisticsJob&)> pixels = &decodedPixels;
};

// Worker threads that measure files ahead of the scan loop. The loop submits jobs in file order
// and takes each result in that order, so what it writes does not depend on the thread count.
// A pipeline of one thread runs nothing in the background: take() computes the job there and then.
// The workers share a pixel budget: each asks for its picture's pixels before it decodes it. The
// same budget bounds how far the loop looks ahead: the jobs submitted and not yet taken count
// their pixels, at least a small share of the budget each, from the moment a worker has read the
// picture's header (before that, at that share).
// Held, the jobs submitted wait for release() before a worker starts them, so that the caller can
// first record what is about to be read.
class StatisticsPipeline
{
public:
    class Ticket;
    using TicketPtr = std::shared_ptr<Ticket>;

    using Measurer = StatisticsMeasurer;

    // Files that need few pixels or none (checksums alone, unreadable pictures) each count this
    // share of the budget at least, so that the jobs submitted and not yet taken while hasRoom()
    // held are never more than this many.
    static constexpr qint64 MostFilesAhead = 2048;

    explicit StatisticsPipeline(int threads, Measurer measurer = {}, qint64 budgetPixels = PixelBudget::DefaultPixels);
    // Drops the jobs not started and waits for those running.
    ~StatisticsPipeline();
    StatisticsPipeline(const StatisticsPipeline&) = delete;
    StatisticsPipeline& operator=(const StatisticsPipeline&) = delete;

    int threads() const { return m_threads; }
    bool background() const { return !m_workers.empty(); }

    // Whether the jobs submitted and not yet taken leave room for another in the budget.
    bool hasRoom() const;

    TicketPtr submit(StatisticsJob job);
    // Waits up to timeoutMs for the result; true when it is there (then take() returns at once).
    bool wait(const TicketPtr& ticket, int timeoutMs);
    StatisticsResult take(const TicketPtr& ticket);
    // Drops a job whose result is no longer wanted.
    void discard(const TicketPtr& ticket);

    // From now on a job submitted waits for release().
    void holdJobs() { m_holding = true; }
    bool held(const TicketPtr& ticket) const;
    int heldJobs() const;
    // The files of the jobs submitted that may still be read: not finished, and not dropped
    // before a worker started them.
    QStringList unfinished() const;
    void release();
    // Waits up to timeoutMs until no worker is reading a file; true when none is.
    bool waitIdle(int timeoutMs);

private:
    void work();
    // The job leaves the look-ahead; with m_mutex held.
    void settle(Ticket& ticket);

    int m_threads;
    Measurer m_measurer;
    PixelBudget m_budget;
    const qint64 m_leastCharge; // what a job ahead counts at least
    qint64 m_ahead = 0; // what the jobs submitted and not yet taken count
    std::vector<std::thread> m_workers;
    mutable std::mutex m_mutex;
    std::condition_variable m_jobReady;
    std::condition_variable m_resultReady;
    std::deque<TicketPtr> m_queue;
    std::vector<const Ticket*> m_reading; // started and not finished
    int m_held = 0;
    bool m_holding = false;
    bool m_stopping = false;
};

class StatisticsPipeline::Ticket
{
    friend class StatisticsPipeline;
    StatisticsJob job;
    StatisticsResult result;
    qint64 charge = 0; // its share of m_ahead
    bool released = true;
    bool started = false;
    bool done = false;
    bool dropped = false;
};
