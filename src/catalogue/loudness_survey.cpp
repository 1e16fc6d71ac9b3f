#include "catalogue/loudness_survey.h"

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

std::optional<LoudnessSurvey::Step> LoudnessSurvey::measureNext(const std::atomic<bool> &stop)
{
    const std::optional<SongToMeasure> song = nextSong();
    if (!song || stop)
        return std::nullopt;
    const LoudnessMeter::Result result = m_meter.measure(songFilePath(m_appPath, song->location), stop);
    // Whoever stopped the survey may be letting go of the catalogue: nothing more is written.
    if (stop)
        return Step{*song, LoudnessMeter::Outcome::Stopped};
    switch (result.outcome) {
    case LoudnessMeter::Outcome::Stopped:
        return Step{*song, result.outcome};
    case LoudnessMeter::Outcome::Measured:
        storeLoudness(m_store, *song, result.loudness);
        break;
    case LoudnessMeter::Outcome::Undecodable:
        markUndecodable(m_store, *song);
        break;
    case LoudnessMeter::Outcome::Unavailable:
    case LoudnessMeter::Outcome::TimedOut:
        break;
    }
    m_batch.removeFirst();
    m_afterRow = song->row;
    m_doneNumbers.insert(song->songNum);
    return Step{*song, result.outcome};
}

std::optional<SongToMeasure> LoudnessSurvey::nextSong()
{
    for (;;) {
        while (!m_batch.isEmpty() && m_doneNumbers.contains(m_batch.first().songNum)) {
            m_afterRow = m_batch.first().row;
            m_batch.removeFirst();
        }
        if (!m_batch.isEmpty())
            return m_batch.first();
        m_batch = songsToMeasure(m_db, m_afterRow, kBatchRows);
        if (m_batch.isEmpty())
            return std::nullopt;
    }
}
