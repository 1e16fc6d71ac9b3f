#include "bulk/batch_run.h"

#include "bulk/progress.h"
#include "bulk/song_rules.h"
#include "bulk/song_writer.h"
#include "core/database_error.h"
#include "core/lookups.h"
#include "core/shared_state.h"

namespace {

BatchRecord recordOf(SharedState &state, const BatchSong &song, const QString &date)
{
    BatchRecord record;
    record.buildDate = date;
    record.kindCode = song.kindCode;
    record.count = song.count;
    record.newSongNum = newSongNumber(state, song.kindCode, song.count);
    record.title = song.title;
    record.singerName = song.singer;
    record.filePath = song.filePath;
    return record;
}

QString similarMessage(SharedState &state, const SimilarSong &similar)
{
    return similar.title + QStringLiteral("與編號") + similar.number + QStringLiteral(",")
        + GetSingerName(state, similar.singerCode) + QStringLiteral(",有類似曲名. 請修改或取消登錄!!");
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
        if (isRegisteredFile(m_state, path))
            return;
        const std::optional<SimilarSong> similar = firstSimilarSong(m_state, record.title, record.count);
        if (similar) {
            m_writer.commit();
            m_decisions.similarTitle(record, similarMessage(m_state, *similar));
            return;
        }
        m_writer.writeSong([&] {
            insertSongRecord(m_state, record.newSongNum.trimmed(), record.kindCode, record.title, record.count,
                             record.singerCode, record.buildDate, path);
        });
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

BatchOutcome registerBatch(SharedState &state, const std::vector<BatchSong> &songs, const QString &date,
                           BatchDecisions &decisions, Progress &progress)
{
    BatchOutcome outcome;
    BatchLineRun run(state, decisions, outcome);
    const int last = int(songs.size()) - 1;
    for (int k = 0; k <= last; ++k) {
        BatchRecord record = recordOf(state, songs[size_t(k)], date);
        if (!progress.step(k + 1, last + 1, QStringLiteral("進度 %1/%2:%3").arg(k).arg(last).arg(record.title))) {
            outcome.stopped = true;
            break;
        }
        run.registerLine(record);
        ++outcome.linesDone;
    }
    run.finish();
    return outcome;
}

QString batchDoneMessage(int lines)
{
    return QStringLiteral("%1筆資料已批次登錄完成").arg(lines);
}
