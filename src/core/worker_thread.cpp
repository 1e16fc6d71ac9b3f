#include "core/worker_thread.h"

#include <chrono>

WorkerThread::~WorkerThread()
{
    stop();
}

void WorkerThread::start(std::function<void()> loop)
{
    // The loop keeps what it reads alive until the end is marked (a worker left behind owns
    // this object together with its loop).
    m_thread = std::thread([this, loop = std::move(loop)] {
        loop();
        const std::lock_guard lock(m_mutex);
        m_ended = true;
        m_finished.notify_all();
    });
}

bool WorkerThread::stop(int letGoAfterMs)
{
    if (!m_thread.joinable())
        return true;
    std::unique_lock lock(m_mutex);
    m_stop = true;
    m_wake.notify_all();
    if (letGoAfterMs >= 0
        && !m_finished.wait_for(lock, std::chrono::milliseconds(letGoAfterMs), [this] { return m_ended; })) {
        m_thread.detach();
        return false;
    }
    lock.unlock();
    m_thread.join();
    return true;
}

WorkerThread::Ticket WorkerThread::hand(const std::function<void()> &store)
{
    Ticket ticket = 0;
    {
        const std::lock_guard lock(m_mutex);
        store();
        ticket = ++m_handed;
    }
    m_wake.notify_all();
    return ticket;
}

bool WorkerThread::flush(int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    const Ticket handed = m_handed;
    return m_finished.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_done >= handed; });
}

WorkerThread::Turn WorkerThread::wait(const std::function<bool()> &hasWork, const std::function<void()> &take,
                                      int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    const auto ready = [&] { return hasWork() || m_stop; };
    if (timeoutMs < 0)
        m_wake.wait(lock, ready);
    else
        m_wake.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    if (hasWork()) {
        take();
        return {false, m_handed};
    }
    return {m_stop, 0};
}

void WorkerThread::done(Ticket ticket)
{
    {
        const std::lock_guard lock(m_mutex);
        m_done = qMax(m_done, ticket);
    }
    m_finished.notify_all();
}

void WorkerThread::underLock(const std::function<void()> &change)
{
    const std::lock_guard lock(m_mutex);
    change();
}

bool WorkerThread::rest(int ms)
{
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stop; });
}

bool WorkerThread::stopping() const
{
    const std::lock_guard lock(m_mutex);
    return m_stop;
}
