// The one way work runs beside the window thread: what is handed over is done (also when the
// worker is stopped right after), flush waits for exactly that, and a stop ends a rest at once.
#include "core/worker_thread.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <atomic>
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

} // namespace
