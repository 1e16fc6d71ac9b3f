#include "bulk/batch_run.h"

#include "bulk/progress.h"
#include "bulk/registered_file.h"
#include "bulk/song_writer.h"
#include "core/database_error.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "manage/similar_titles.h"
#include "manage/singer_records.h"
#include "manage/song_numbers.h"

namespace {

BatchRecord recordOf(SharedState &state, const BatchSong &song, const QString &date)
{
    BatchRecord record;
    record.buildDate = date;
    record.kindCode = song.kindCode;
    record.count = song.count;
    record.newSongNum = Get_NewSongNum(state.db(), song.kindCode, song.count);
    record.title = song.title;
    record.singerName = song.singer;
    record.filePath = song.filePath;
    return record;
}

std::optional<qint64> singerCodeOf(SharedState &state, const QString &name)
{
    const std::optional<SingerRecord> singer = findSingerByName(state.db(), name);
    return singer ? std::optional(singer->singer_code) : std::nullopt;
}

class BatchLineRun
{
public:
    BatchLineRun(SharedState &state, BatchDecisions &decisions, BatchOutcome &outcome)
        : m_state(state)
        , m_decisions(decisions)
        , m_outcome(outcome)
        , m_writer(state.db())
    {
    }

    void registerLine(BatchRecord &record)
    {
        std::optional<qint64> singer = singerCodeOf(m_state, record.singerName);
        if (!singer) {
            m_writer.commit(); // the dialog works on the catalogue as it stands
            m_decisions.missingSinger(record);
            singer = singerCodeOf(m_state, record.singerName);
        }
        if (!singer) {
            m_outcome.problems.append(record.title + QStringLiteral(": 歌手資料尚未建立 ") + record.singerName);
            return;
        }
        record.singerCode = *singer;
        const QString path = record.filePath.trimmed();
        if (isRegisteredFile(m_state.db(), path))
            return;
        const QList<SimilarSong> similar = findSimilarTitles(m_state.db(), record.title, record.count, 1);
        if (!similar.isEmpty()) {
            m_writer.commit();
            const SimilarSong &first = similar.first();
            m_decisions.similarTitle(record, similarTitleMessage(first, GetSingerName(m_state, first.song_singer_code),
                                                                 kBatchSimilarTitleEnding));
            return;
        }
        if (record.newSongNum.isEmpty()) {
            m_outcome.problems.append(record.title + QStringLiteral(": ") + kNoFreeSongNumber);
            return;
        }
        m_writer.writeSong([&] { insertSong(m_state.db(), songOf(record)); });
        ++m_outcome.songsWritten;
    }

    void finish() { m_writer.commit(); }

private:
    SharedState &m_state;
    BatchDecisions &m_decisions;
    BatchOutcome &m_outcome;
    SongWriter m_writer;
};

} // namespace

SongRecord songOf(const BatchRecord &record)
{
    return {record.newSongNum.trimmed(), record.kindCode,      record.title.trimmed(), record.count,
            record.singerCode,           record.buildDate,     record.filePath.trimmed()};
}

BatchOutcome registerBatch(SharedState &state, const std::vector<BatchSong> &songs, const QString &date,
                           BatchDecisions &decisions, Progress &progress)
{
    BatchOutcome outcome;
    BatchLineRun run(state, decisions, outcome);
    const int last = int(songs.size()) - 1;
    for (int k = 0; k <= last; ++k) {
        const BatchSong &song = songs[size_t(k)];
        if (!progress.step(k + 1, last + 1, QStringLiteral("進度 %1/%2:%3").arg(k).arg(last).arg(song.title))) {
            outcome.stopped = true;
            break;
        }
        try {
            BatchRecord record = recordOf(state, song, date);
            run.registerLine(record);
        } catch (const CatalogueBusy &e) {
            outcome.problems.append(e.message());
            outcome.stopped = true;
            break;
        } catch (const DatabaseError &e) {
            outcome.problems.append(song.line + QStringLiteral(": ") + e.message());
        }
        ++outcome.linesDone;
    }
    try {
        run.finish();
    } catch (const DatabaseError &e) {
        outcome.problems.append(e.message());
    }
    return outcome;
}

QString batchDoneMessage(int lines)
{
    return QStringLiteral("%1筆資料已批次登錄完成").arg(lines);
}
