#include "app/background_measuring.h"

#include "catalogue/loudness_survey.h"
#include "core/database.h"
#include "core/database_error.h"

#include <QtDebug>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {
constexpr auto kLookAgainAfter = std::chrono::minutes(5);
// How long the end of the program waits for the thread to notice it should end.
constexpr auto kLetGoAfter = std::chrono::milliseconds(1000);
}

// Owned together by the object and its thread, so a thread left behind never reaches into
// an object that is gone.
struct BackgroundMeasuring::Shared
{
    QString dbPath;
    QString appPath;
    CatalogueMaster *master;
    std::unique_ptr<LoudnessMeter> meter;
    std::mutex mutex;
    std::condition_variable wake;
    bool running = false;
    bool quit = false;
    bool ended = false;
    unsigned resumes = 0;
    std::atomic<bool> stop{true};

    // Waits until measuring may go on; false when the program ends.
    bool waitForTurn()
    {
        std::unique_lock lock(mutex);
        wake.wait(lock, [this] { return running || quit; });
        return !quit;
    }

    void restAfterLastSong()
    {
        std::unique_lock lock(mutex);
        const unsigned seen = resumes;
        wake.wait_for(lock, kLookAgainAfter, [&] { return quit || resumes != seen; });
    }
};

BackgroundMeasuring::BackgroundMeasuring(QString dbPath, QString appPath, std::unique_ptr<LoudnessMeter> meter,
                                         CatalogueMaster *master)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->dbPath = std::move(dbPath);
    m_shared->appPath = std::move(appPath);
    m_shared->master = master;
    m_shared->meter = std::move(meter);
    std::thread([shared = m_shared] { run(*shared); }).detach();
}

BackgroundMeasuring::~BackgroundMeasuring()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->quit = true;
    m_shared->stop = true;
    m_shared->wake.notify_all();
    if (!m_shared->wake.wait_for(lock, kLetGoAfter, [this] { return m_shared->ended; }))
        qWarning("loudness measuring is held up in a file; the program ends without waiting for it");
}

void BackgroundMeasuring::resume()
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->running = true;
        ++m_shared->resumes;
        m_shared->stop = false;
    }
    m_shared->wake.notify_all();
}

void BackgroundMeasuring::pause()
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->running = false;
    m_shared->stop = true;
}

void BackgroundMeasuring::run(Shared &shared)
{
    {
        Database db(shared.dbPath);
        db.setMaster(shared.master);
        LoudnessSurvey survey(db, shared.appPath, *shared.meter);
        while (shared.waitForTurn()) {
            try {
                if (!survey.measureNext(shared.stop) && !shared.stop)
                    shared.restAfterLastSong();
            } catch (const DatabaseError &e) {
                // The catalogue is busy or cannot be written now: the song stays unmeasured.
                qWarning("loudness measuring waits: %s", qPrintable(e.message()));
                shared.restAfterLastSong();
            }
        }
    }
    std::lock_guard lock(shared.mutex);
    shared.ended = true;
    shared.wake.notify_all();
}
