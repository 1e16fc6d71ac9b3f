#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The one way the program runs work beside the window thread, so that the keypad never waits
// for a worker and every worker starts, stops and flushes alike: the queue writer
// (core/queue_writer.h), the catalogue's upkeep (core/catalogue_upkeep.h), the loudness
// measurer (app/background_measuring.h), a venue room's sync (venue/replica_sync.h) and the
// phone server (phone/phone_ordering.h):
//
//  - Start: the worker's owner makes it; its constructor calls start() last, once every member
//    the loop reads is ready. The loop opens what it needs (its own connection to the catalogue)
//    on its own thread, and changes only what it owns there (never the priority of a thread it
//    borrowed from a library's pool).
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
//    returns false at once, so a stop ends any retrying. A worker that may be held up in a file
//    (a hung network folder) is stopped with a time limit and left behind after it: what its
//    loop reads, this object included, is then owned together by the owner and the thread.
//  - A worker that serves the network (the phone server) needs Qt's event loop rather than
//    wait(), so it runs on a QThread, in the same steps: its owner's constructor starts the
//    thread last; the window thread hands work over as calls queued to the worker's objects,
//    which return at once; the owner's destructor ends the event loop and joins the thread, and
//    the worker's objects are deleted on their own thread.
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
    // Asks the loop to stop, wakes it and waits until it has returned, at most letGoAfterMs when
    // not negative: a loop that has not returned by then is left to end on its own (false).
    // Does nothing when the thread is not running.
    bool stop(int letGoAfterMs = -1);

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
    bool m_ended = false; // the loop has returned
    std::thread m_thread;
};
