#include "app/background_measuring.h"

#include "catalogue/local_catalogue.h"
#include "catalogue/loudness_survey.h"
#include "core/database.h"
#include "core/database_error.h"
#include "core/worker_thread.h"

#include <QtDebug>

#include <atomic>
#include <utility>

namespace {
constexpr int kLookAgainAfterMs = 5 * 60 * 1000;
// How long the end of the program waits for the thread to notice it should end.
constexpr int kLetGoAfterMs = 1000;
} // namespace

// Owned together by the object and its thread, so a thread left behind never reaches into
// an object that is gone.
struct BackgroundMeasuring::Shared
{
    QString dbPath;
    QString appPath;
    CatalogueStoreMaker storeFor;
    std::unique_ptr<LoudnessMeter> meter;
    // Under the worker's lock: whether measuring may go on, whether the next pass is asked
    // for, and how often it was resumed.
    bool running = false;
    bool startOver = false;
    unsigned resumes = 0;
    // Tells the song being measured to stop.
    std::atomic<bool> stop{true};
    WorkerThread worker;

    // Waits until measuring may go on; startOver says whether a resume asked for a new pass.
    WorkerThread::Turn waitForTurn(bool &newPass)
    {
        return worker.wait([this] { return running; }, [&] { newPass = std::exchange(startOver, false); });
    }

    // Waits for the next resume, a few minutes at most, or for the end.
    void restAfterPass()
    {
        unsigned seen = 0;
        worker.underLock([&] { seen = resumes; });
        worker.wait([&] { return resumes != seen; }, [] {}, kLookAgainAfterMs);
    }
};

BackgroundMeasuring::BackgroundMeasuring(QString dbPath, QString appPath, std::unique_ptr<LoudnessMeter> meter,
                                         CatalogueStoreMaker storeFor)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->dbPath = std::move(dbPath);
    m_shared->appPath = std::move(appPath);
    m_shared->storeFor = storeFor ? std::move(storeFor) : LocalCatalogue::maker();
    m_shared->meter = std::move(meter);
    m_shared->worker.start([shared = m_shared] { run(*shared); });
}

BackgroundMeasuring::~BackgroundMeasuring()
{
    pause();
    if (!m_shared->worker.stop(kLetGoAfterMs))
        qWarning("loudness measuring is held up in a file; the program ends without waiting for it");
}

void BackgroundMeasuring::resume()
{
    m_shared->worker.hand([this] {
        m_shared->running = true;
        m_shared->startOver = true;
        ++m_shared->resumes;
        m_shared->stop = false;
    });
}

void BackgroundMeasuring::pause()
{
    m_shared->worker.underLock([this] {
        m_shared->running = false;
        m_shared->stop = true;
    });
}

bool BackgroundMeasuring::flush(int timeoutMs)
{
    return m_shared->worker.flush(timeoutMs);
}

void BackgroundMeasuring::run(Shared &shared)
{
    Database db(shared.dbPath);
    const std::unique_ptr<CatalogueStore> store = shared.storeFor(db);
    LoudnessSurvey survey(db, *store, shared.appPath, *shared.meter);
    WorkerThread::Ticket pass = 0;
    for (;;) {
        bool startOver = false;
        const WorkerThread::Turn turn = shared.waitForTurn(startOver);
        if (turn.stop)
            return;
        if (startOver) {
            survey.startOver();
            pass = turn.ticket;
        }
        try {
            if (survey.measureNext(shared.stop) || shared.stop)
                continue;
            shared.worker.done(pass);
        } catch (const DatabaseError &e) {
            // The catalogue is busy or cannot be written now: the song stays to be measured.
            qWarning("loudness measuring waits: %s", qPrintable(e.message()));
        }
        shared.restAfterPass();
        survey.startOver();
    }
}
