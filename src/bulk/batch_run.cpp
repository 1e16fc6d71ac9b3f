#include "bulk/batch_run.h"

#include "bulk/progress.h"
#include "bulk/song_writer.h"
#include "catalogue/similar_titles.h"
#include "catalogue/singer_records.h"
#include "catalogue/song_files.h"
#include "catalogue/song_numbers.h"
#include "core/database_error.h"
#include "core/lookups.h"
#include "core/shared_state.h"

namespace {

BatchRecord recordOf(const BatchSong &song, const QString &date)
{
    BatchRecord record;
    record.buildDate = date;
    record.kindCode = song.kindCode;
    record.count = song.count;
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
    BatchLineRun(SharedState &state, FileSystem &fs, BatchDecisions &decisions, BatchOutcome &outcome)
        : m_state(state)
        , m_fs(fs)
        , m_decisions(decisions)
        , m_outcome(outcome)
        , m_writer(state.catalogue())
        , m_registered(state.db(), state.AppPath)
    {
    }

    // True when the line is done with: registered, registered already, or decided by the owner.
    bool registerLine(BatchRecord &record)
    {
        if (!settleSinger(record))
            return false;
        if (m_registered.contains(songFilePath(m_state.AppPath, record.filePath)))
            return true;
        const QList<SimilarSong> similar = findSimilarTitles(m_state.db(), record.title, record.count, 1);
        if (!similar.isEmpty())
            return handOver(record, similar.first());
        return store(record);
    }

    void finish()
    {
        try {
            m_writer.commit();
        } catch (const DatabaseError &e) {
            m_outcome.problems.append(e.message());
        }
        m_outcome.songsWritten += m_writer.storedSongs();
        if (m_writer.lostSongs() > 0)
            m_outcome.problems.append(QStringLiteral("%1首歌未能存入資料庫").arg(m_writer.lostSongs()));
    }

private:
    bool settleSinger(BatchRecord &record)
    {
        std::optional<qint64> singer = singerCodeOf(m_state, record.singerName);
        if (!singer) {
            m_writer.commit(); // the dialog works on the catalogue as it stands
            m_decisions.missingSinger(record);
            singer = singerCodeOf(m_state, record.singerName);
        }
        if (!singer) {
            m_outcome.problems.append(record.title + QStringLiteral(": 歌手資料尚未建立 ") + record.singerName);
            return false;
        }
        record.singerCode = *singer;
        return true;
    }

    bool handOver(BatchRecord &record, const SimilarSong &first)
    {
        m_writer.commit();
        record.newSongNum = Get_NewSongNum(m_state.db(), record.kindCode, record.count);
        const QString message =
            similarTitleMessage(first, GetSingerName(m_state, first.song_singer_code), kBatchSimilarTitleEnding);
        if (m_decisions.similarTitle(record, message))
            ++m_outcome.songsWritten;
        return true;
    }

    bool store(const BatchRecord &record)
    {
        Registration registration;
        m_writer.writeSong([&] {
            registration =
                registerSong(m_state.catalogue(), m_fs, m_state.AppPath, newSongOf(record), {{}, {}, &m_registered});
            return registration.result == Registration::Result::Registered;
        });
        const QString problem = registrationProblem(registration, record.filePath);
        if (registration.result == Registration::Result::FileRegistered || problem.isEmpty())
            return true;
        m_outcome.problems.append(record.title + QStringLiteral(": ") + problem);
        return false;
    }

    SharedState &m_state;
    FileSystem &m_fs;
    BatchDecisions &m_decisions;
    BatchOutcome &m_outcome;
    SongWriter m_writer;
    RegisteredFiles m_registered;
};

} // namespace

NewSong newSongOf(const BatchRecord &record)
{
    return {record.kindCode,  record.count, record.title.trimmed(), {record.singerCode}, record.buildDate,
            record.filePath.trimmed()};
}

BatchOutcome registerBatch(SharedState &state, FileSystem &fs, const std::vector<BatchSong> &songs,
                           const QString &date, BatchDecisions &decisions, Progress &progress)
{
    BatchOutcome outcome;
    BatchLineRun run(state, fs, decisions, outcome);
    const int last = int(songs.size()) - 1;
    for (int k = 0; k <= last; ++k) {
        const BatchSong &song = songs[size_t(k)];
        if (!progress.step(k + 1, last + 1, QStringLiteral("進度 %1/%2:%3").arg(k).arg(last).arg(song.title))) {
            outcome.stopped = true;
            break;
        }
        try {
            BatchRecord record = recordOf(song, date);
            outcome.linesDone += run.registerLine(record) ? 1 : 0;
        } catch (const DatabaseError &e) {
            outcome.problems.append(song.line + QStringLiteral(": ") + e.message());
            if (endsTheRun(e)) {
                outcome.stopped = true;
                break;
            }
        }
    }
    run.finish();
    return outcome;
}

QString batchDoneMessage(int lines)
{
    return QStringLiteral("%1筆資料已批次登錄完成").arg(lines);
}

QString batchStoppedMessage(const BatchOutcome &outcome)
{
    return QStringLiteral("批次登錄已停止! 已處理%1筆, 存入%2首歌; 其餘的尚未登錄")
        .arg(outcome.linesDone)
        .arg(outcome.songsWritten);
}
