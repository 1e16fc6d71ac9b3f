#pragma once

#include "catalogue/catalogue_store.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class LoudnessMeter;

// Measures the catalogue's songs that are not measured yet, on a thread of its own at the
// lowest priority with a connection of its own to the catalogue, never on the window thread.
// It measures only between resume() and pause(); pause() stops the song being measured at once
// (it is measured again later). Once every song is measured it looks for new ones (registered
// here or by another program) at every resume and every few minutes.
class BackgroundMeasuring
{
public:
    // storeFor: the catalogue's store chosen at start, made for the thread's own connection.
    BackgroundMeasuring(QString dbPath, QString appPath, CatalogueStoreMaker storeFor);
    ~BackgroundMeasuring();
    BackgroundMeasuring(const BackgroundMeasuring &) = delete;
    BackgroundMeasuring &operator=(const BackgroundMeasuring &) = delete;

    void resume();
    void pause();

private:
    void run();
    // Waits until measuring may go on; false when the program ends.
    bool waitForTurn();
    void restAfterLastSong();

    QString m_dbPath;
    QString m_appPath;
    CatalogueStoreMaker m_storeFor;
    std::unique_ptr<LoudnessMeter> m_meter;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_running = false;
    bool m_quit = false;
    unsigned m_resumes = 0;
    std::atomic<bool> m_stop{true};
    std::thread m_thread;
};
