#pragma once

#include "catalogue/catalogue_store.h"

#include <QString>

#include <memory>

class LoudnessMeter;

// Measures the catalogue's songs that are to be measured (not measured for the file they play,
// or their file changed since), on a thread of its own with a connection of its own to the
// catalogue, never on the window thread (a worker as core/worker_thread.h says): the files are
// looked at and opened there only. The meter decodes at the lowest priority on threads of its
// own; this thread, which writes what was measured, keeps the normal priority, so it never
// holds the catalogue's lock while starved. It measures only between resume() and pause();
// pause() stops the song being measured at once (it is measured again later). Every resume,
// and every few minutes while it may measure, begins a pass over the whole catalogue from the
// first song, so a changed file, a new song (registered here or by another program) and a file
// that could not be read last time are all found again.
class BackgroundMeasuring
{
public:
    // storeFor: the catalogue's store chosen at start, made for the thread's own connection
    // (the catalogue file itself when empty); what it refers to must outlive this object.
    BackgroundMeasuring(QString dbPath, QString appPath, std::unique_ptr<LoudnessMeter> meter,
                        CatalogueStoreMaker storeFor = {});
    // Stops measuring and waits a moment for the thread to end; a thread held up in a file (a
    // hung network folder) is left behind, so ending the program never waits for it.
    ~BackgroundMeasuring();
    BackgroundMeasuring(const BackgroundMeasuring &) = delete;
    BackgroundMeasuring &operator=(const BackgroundMeasuring &) = delete;

    // Handed over as work: a pass from the first song; returns at once.
    void resume();
    void pause();
    // Waits until the pass of the last resume is over; false when timeoutMs passed first (or
    // measuring was paused before the pass ended).
    bool flush(int timeoutMs);

private:
    struct Shared;
    static void run(Shared &shared);

    std::shared_ptr<Shared> m_shared;
};
