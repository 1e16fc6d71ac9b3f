#pragma once

#include "catalogue/song_loudness.h"
#include "platform/loudness_meter.h"

#include <QSet>
#include <QString>

#include <atomic>
#include <optional>

class CatalogueStore;
class Database;

// One pass over the catalogue's songs in row order, measuring each song that is to be measured
// (song_loudness.h: not measured for the file it plays, or its file changed since) and storing
// each the moment it is measured: a pass that is stopped or killed loses at most the song it
// was measuring. A file that is missing now (a disc not inserted, a folder not mounted), one
// that took too long and one that changed while it was measured are passed over and tried again
// by a later pass; one whose sound cannot be decoded is marked and tried again only when the
// file changes. In a venue a song another room claimed is passed over (its values come with
// the copy).
class LoudnessSurvey
{
public:
    struct Step
    {
        SongToMeasure song;
        LoudnessMeter::Outcome outcome;
    };

    // Surveys the rows of db after afterRow (0: the whole catalogue), storing through store.
    LoudnessSurvey(Database &db, CatalogueStore &store, QString appPath, LoudnessMeter &meter, qint64 afterRow = 0);

    // Measures the next song and stores what was found. Nothing when the pass is over; a step
    // cut short by stop is not stored and the song stays next.
    std::optional<Step> measureNext(const std::atomic<bool> &stop);
    // Begins the next pass, from the first row.
    void startOver();

private:
    std::optional<SongOnRecord> nextRecord();
    void passOver(const SongOnRecord &record);
    Step measure(const SongToMeasure &song, const std::atomic<bool> &stop);

    Database &m_db;
    CatalogueStore &m_store;
    QString m_appPath;
    LoudnessMeter &m_meter;
    qint64 m_afterRow;
    QList<SongOnRecord> m_batch;
    QSet<QString> m_doneNumbers; // a song of several singers has a row each: measured once a pass
};
