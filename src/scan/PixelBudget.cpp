#include "scan/PixelBudget.h"

PixelBudget::PixelBudget(qint64 pixels)
    : m_capacity(qMax<qint64>(1, pixels))
{
}

void PixelBudget::acquire(qint64 pixels)
{
    std::unique_lock lock(m_mutex);
    const std::uint64_t ticket = m_nextTicket++;
    m_changed.wait(lock, [&] { return ticket == m_serving && (m_inFlight == 0 || m_inFlight + pixels <= m_capacity); });
    m_inFlight += pixels;
    ++m_serving;
    m_changed.notify_all();
}

void PixelBudget::release(qint64 pixels)
{
    {
        std::lock_guard lock(m_mutex);
        m_inFlight -= pixels;
    }
    m_changed.notify_all();
}
