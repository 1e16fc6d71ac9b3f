#pragma once

#include "catalogue/song_loudness.h"
#include "platform/loudness_meter.h"

#include <QSet>
#include <QString>

#include <atomic>
#include <optional>

class CatalogueStore;
class Database;

// Goes through the catalogue's songs that are not measured yet, in row order, measuring one at
// a time and storing each the moment it is measured: a run that is stopped or killed loses at
// most the song it was measuring, and the next run goes on from there. A file that is missing
// now (a disc not inserted, a folder not mounted) is passed over and tried again by the next
// survey, and so is one that took too long to measure; one whose sound cannot be decoded is
// marked and never tried again.
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

    // Measures the next song and stores what was found. Nothing when no song is left; a step
    // cut short by stop is not stored and the song stays next.
    std::optional<Step> measureNext(const std::atomic<bool> &stop);

private:
    std::optional<SongToMeasure> nextSong();

    Database &m_db;
    CatalogueStore &m_store;
    QString m_appPath;
    LoudnessMeter &m_meter;
    qint64 m_afterRow;
    QList<SongToMeasure> m_batch;
    QSet<QString> m_doneNumbers; // a song of several singers has a row each: measured once
};
