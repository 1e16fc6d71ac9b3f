#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The one way the program runs work beside the window thread, so that the keypad never waits
// for a worker and every worker starts, stops and flushes alike (the queue writer, the
// catalogue's upkeep, a venue room's sync):
//
//  - Start: the worker's owner makes it; its constructor calls start() last, once every member
//    the loop reads is ready. The loop opens what it needs (its own connection to the catalogue)
//    on its own thread, and changes only what it owns there (its own thread's priority).
//  - Hand over: the window thread gives work with hand(), which stores it under the worker's
//    lock, wakes the loop and returns at once; it never waits for the work to be done.
//  - Run: the loop waits in wait() for work (or for its time to look again) and takes the work
//    under the lock, then does it without the lock. Work that fails is put back (underLock())
//    and tried again after rest(); the failure is told through the worker's own signal or
//    callback, never thrown at the window thread. The loop marks work done with done().
//  - Flush: flush() waits, at most the time given, until all work handed over before it is
//    done. Only the end of the program and tests wait for a worker.
//  - Stop: the owner destroys the worker, whose destructor calls stop() first: the loop is told
//    to stop and woken, and the thread joined. Work handed over before the stop is still given
//    out by wait(), so a worker that must finish what it was handed (the queue) does; rest()
//    returns false at once, so a stop ends any retrying.
class WorkerThread
{
public:
    using Ticket = quint64;

    // What wait() gave the loop: stop (nothing left to do, the worker is to end), or the ticket
    // of the newest hand-over it took (0 when it woke without work, its time being up).
    struct Turn
    {
        bool stop = false;
        Ticket ticket = 0;
    };

    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

    // Runs loop on a thread of its own.
    void start(std::function<void()> loop);
    // Asks the loop to stop, wakes it and waits until it has returned. Does nothing when the
    // thread is not running.
    void stop();

    // Runs store under the lock (it puts the work where the loop takes it) and wakes the loop.
    Ticket hand(const std::function<void()> &store);
    // Waits until all work handed over before the call is done; false when timeoutMs passed first.
    bool flush(int timeoutMs);

    // For the loop: waits until hasWork() (asked under the lock), the time is up (timeoutMs,
    // never when negative) or the worker is to stop with no work left; take() runs under the
    // lock when there is work.
    Turn wait(const std::function<bool()> &hasWork, const std::function<void()> &take, int timeoutMs = -1);
    // For the loop: the work handed over up to ticket is done.
    void done(Ticket ticket);
    // For the loop: runs change under the lock (work put back after a failure).
    void underLock(const std::function<void()> &change);
    // For the loop: waits ms or until the worker is to stop; false when it is.
    bool rest(int ms);
    bool stopping() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;     // the loop waits on it
    std::condition_variable m_finished; // flush() waits on it
    Ticket m_handed = 0;
    Ticket m_done = 0;
    bool m_stop = false;
    std::thread m_thread;
};
