// The one way work runs beside the window thread: what is handed over is done (also when the
// worker is stopped right after), flush waits for exactly that, a stop ends a rest at once, and
// a worker held up in a file is left behind after the time its owner gives it.
#include "core/worker_thread.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <thread>

namespace {

// A worker that takes numbers one at a time and adds them up, slowly.
class Adder
{
public:
    Adder()
    {
        m_worker.start([this] { run(); });
    }
    ~Adder() { m_worker.stop(); }
    void add(int n)
    {
        m_worker.hand([&] { m_waiting.push_back(n); });
    }
    bool flush(int ms) { return m_worker.flush(ms); }
    int sum() const { return m_sum; }
    WorkerThread &worker() { return m_worker; }

private:
    void run()
    {
        for (;;) {
            std::vector<int> taken;
            const WorkerThread::Turn turn = m_worker.wait([this] { return !m_waiting.empty(); },
                                                          [&] { taken.swap(m_waiting); });
            if (turn.stop)
                return;
            for (const int n : taken) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                m_sum += n;
            }
            m_worker.done(turn.ticket);
        }
    }

    std::vector<int> m_waiting; // under the worker's lock
    std::atomic<int> m_sum{0};
    WorkerThread m_worker;
};

TEST(WorkerThread, WorkHandedOverIsDoneFlushWaitsForItAndAStopEndsARestAtOnce)
{
    {
        Adder adder;
        EXPECT_TRUE(adder.flush(0)) << "nothing handed over: nothing to wait for";
        for (int n = 1; n <= 5; ++n)
            adder.add(n);
        EXPECT_FALSE(adder.flush(0)) << "not done yet";
        EXPECT_TRUE(adder.flush(5000));
        EXPECT_EQ(adder.sum(), 15);
        adder.add(100);
    } // stopped with work handed over: it is still done
    Adder stopped;
    stopped.add(7);
    stopped.worker().stop();
    EXPECT_EQ(stopped.sum(), 7);

    WorkerThread resting;
    std::atomic<bool> restEnded{false};
    QElapsedTimer timer;
    timer.start();
    resting.start([&] { restEnded = !resting.rest(60000); });
    resting.stop();
    EXPECT_TRUE(restEnded) << "a rest ends with the stop";
    EXPECT_LT(timer.elapsed(), 10000);
}

// A worker whose loop is held up (a file on a hung network folder) until the test lets it go on.
struct HeldUp
{
    std::atomic<bool> returned{false};
    WorkerThread worker;
};

TEST(WorkerThread, AStopWithATimeLimitLeavesALoopHeldUpBehindAndTheLoopEndsOnItsOwnLater)
{
    std::promise<void> release;
    auto held = std::make_shared<HeldUp>();
    std::weak_ptr<HeldUp> gone = held;
    std::promise<void> entered;
    held->worker.start([held, &entered, released = release.get_future().share()] {
        entered.set_value();
        released.wait();
        held->returned = true;
    });
    entered.get_future().wait();
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(held->worker.stop(200)) << "the loop had not returned";
    EXPECT_LT(timer.elapsed(), 5000) << "the owner did not wait for the loop";
    EXPECT_FALSE(held->returned);
    held.reset(); // the owner goes; the loop keeps what it reads
    release.set_value();
    for (int i = 0; i < 500 && !gone.expired(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(gone.expired()) << "the loop ended and let go of what it read";

    WorkerThread quick;
    quick.start([] {});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(quick.stop(1000)) << "a loop that returned in time is joined";
}

} // namespace
