#include "app/background_measuring.h"

#include "catalogue/loudness_survey.h"
#include "core/database.h"
#include "core/database_error.h"
#include "platform/gst/gst_loudness_meter.h"

#include <QtDebug>

#include <pthread.h>

namespace {
constexpr auto kLookAgainAfter = std::chrono::minutes(5);
}

BackgroundMeasuring::BackgroundMeasuring(QString dbPath, QString appPath, CatalogueStoreMaker storeFor)
    : m_dbPath(std::move(dbPath))
    , m_appPath(std::move(appPath))
    , m_storeFor(std::move(storeFor))
    , m_meter(std::make_unique<GstLoudnessMeter>(GstLoudnessMeter::Priority::Background))
    , m_thread([this] { run(); })
{
}

BackgroundMeasuring::~BackgroundMeasuring()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void BackgroundMeasuring::resume()
{
    {
        std::lock_guard lock(m_mutex);
        m_running = true;
        ++m_resumes;
        m_stop = false;
    }
    m_wake.notify_all();
}

void BackgroundMeasuring::pause()
{
    std::lock_guard lock(m_mutex);
    m_running = false;
    m_stop = true;
}

void BackgroundMeasuring::run()
{
    sched_param param{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
    Database db(m_dbPath);
    const std::unique_ptr<CatalogueStore> store = m_storeFor(db);
    LoudnessSurvey survey(db, *store, m_appPath, *m_meter);
    while (waitForTurn()) {
        try {
            if (!survey.measureNext(m_stop) && !m_stop)
                restAfterLastSong();
        } catch (const DatabaseError &e) {
            // The catalogue is busy or cannot be written now: the song stays unmeasured.
            qWarning("loudness measuring waits: %s", qPrintable(e.message()));
            restAfterLastSong();
        }
    }
}

bool BackgroundMeasuring::waitForTurn()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_running || m_quit; });
    return !m_quit;
}

void BackgroundMeasuring::restAfterLastSong()
{
    std::unique_lock lock(m_mutex);
    const unsigned resumes = m_resumes;
    m_wake.wait_for(lock, kLookAgainAfter, [&] { return m_quit || m_resumes != resumes; });
}
