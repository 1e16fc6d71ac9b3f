#include "catalogue/loudness_survey.h"

#include "catalogue/catalogue_store.h"
#include "catalogue/song_files.h"

namespace {
constexpr int kBatchRows = 50;
}

LoudnessSurvey::LoudnessSurvey(Database &db, CatalogueStore &store, QString appPath, LoudnessMeter &meter,
                               qint64 afterRow)
    : m_db(db)
    , m_store(store)
    , m_appPath(std::move(appPath))
    , m_meter(meter)
    , m_afterRow(afterRow)
{
}

void LoudnessSurvey::startOver()
{
    m_afterRow = 0;
    m_batch.clear();
    m_doneNumbers.clear();
}

std::optional<LoudnessSurvey::Step> LoudnessSurvey::measureNext(const std::atomic<bool> &stop)
{
    while (const std::optional<SongOnRecord> record = nextRecord()) {
        if (stop)
            return std::nullopt;
        const std::optional<SongToMeasure> song = toMeasure(*record, m_appPath);
        // A claim held by another room: that room stores the values, the copy brings them.
        const std::unique_ptr<LoudnessClaim> claim = song ? m_store.claimLoudness(*song) : nullptr;
        if (!claim) {
            passOver(*record);
            continue;
        }
        const Step step = measure(*song, stop);
        if (step.outcome != LoudnessMeter::Outcome::Stopped)
            passOver(*record);
        return step;
    }
    return std::nullopt;
}

LoudnessSurvey::Step LoudnessSurvey::measure(const SongToMeasure &song, const std::atomic<bool> &stop)
{
    const QString path = songFilePath(m_appPath, song.location);
    const LoudnessMeter::Result result = m_meter.measure(path, stop);
    // Whoever stopped the survey may be letting go of the catalogue: nothing more is written.
    if (stop || result.outcome == LoudnessMeter::Outcome::Stopped)
        return {song, LoudnessMeter::Outcome::Stopped};
    const bool keepable =
        result.outcome == LoudnessMeter::Outcome::Measured || result.outcome == LoudnessMeter::Outcome::Undecodable;
    // A file replaced while it was measured: what was found may be the old file's.
    if (keepable && stampOfSongFile(path) != song.stamp)
        return {song, LoudnessMeter::Outcome::Unavailable};
    if (result.outcome == LoudnessMeter::Outcome::Measured)
        storeLoudness(m_store, song, result.loudness);
    else if (result.outcome == LoudnessMeter::Outcome::Undecodable)
        markUndecodable(m_store, song);
    return {song, result.outcome};
}

void LoudnessSurvey::passOver(const SongOnRecord &record)
{
    m_batch.removeFirst();
    m_afterRow = record.song.row;
    m_doneNumbers.insert(record.song.songNum);
}

std::optional<SongOnRecord> LoudnessSurvey::nextRecord()
{
    for (;;) {
        while (!m_batch.isEmpty() && m_doneNumbers.contains(m_batch.first().song.songNum)) {
            m_afterRow = m_batch.first().song.row;
            m_batch.removeFirst();
        }
        if (!m_batch.isEmpty())
            return m_batch.first();
        m_batch = songsOnRecord(m_db, m_afterRow, kBatchRows);
        if (m_batch.isEmpty())
            return std::nullopt;
    }
}
