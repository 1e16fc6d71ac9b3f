#include "bulk/file_name_run.h"

#include "bulk/file_table.h"
#include "bulk/progress.h"
#include "bulk/registered_file.h"
#include "bulk/song_writer.h"
#include "core/database.h"
#include "core/database_error.h"
#include "core/file_path.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "manage/singer_records.h"
#include "manage/song_numbers.h"
#include "manage/song_records.h"
#include "platform/file_system.h"

namespace {

class FileNameRun
{
public:
    FileNameRun(SharedState &state, FileSystem &fs, const QString &date)
        : m_state(state)
        , m_fs(fs)
        , m_date(date)
        , m_writer(state.db())
    {
    }

    void registerRow(const FileRow &row)
    {
        switch (row.command) {
        case RowCommand::Registered:
        case RowCommand::NoCommand:
            return;
        case RowCommand::DeleteFile:
            deleteOwnFile(row);
            return;
        case RowCommand::Replace:
            replaceSong(row);
            return;
        case RowCommand::AddAnyway:
        case RowCommand::Ready:
            m_writer.writeSong([&] {
                insertRow(row, newNumber(row));
            });
            ++m_outcome.songsWritten;
            return;
        }
    }

    RunOutcome &outcome() { return m_outcome; }
    void finish() { m_writer.commit(); }

private:
    QString newNumber(const FileRow &row)
    {
        const QString number = Get_NewSongNum(m_state.db(), SongKindCode(m_state, row.kindName), row.count);
        if (number.isEmpty())
            throw DatabaseError(kNoFreeSongNumber);
        return number;
    }

    // One song record per singer of the row, all under one number.
    void insertRow(const FileRow &row, const QString &number)
    {
        SongRecord song{number, SongKindCode(m_state, row.kindName), row.title, row.count, 0, m_date, row.path.trimmed()};
        for (const QString &singer : splitSingers(row.singerField)) {
            const std::optional<SingerRecord> found = findSingerByName(m_state.db(), singer);
            if (!found)
                throw DatabaseError(QStringLiteral("歌手資料尚未建立: %1").arg(singer));
            song.song_singer_code = found->singer_code;
            insertSong(m_state.db(), song);
        }
    }

    void deleteOwnFile(const FileRow &row)
    {
        if (m_fs.fileExists(row.path) && m_fs.deleteFile(row.path))
            ++m_outcome.filesDeleted;
    }

    // The old song's records go and the new file takes its number, in one piece. Its file is
    // deleted only after that is committed, and only when no song uses it any more.
    void replaceSong(const FileRow &row)
    {
        const QString number = row.replacedNumber.trimmed();
        const QString oldLocation = GetSongLocation(m_state, number);
        m_writer.writeSong([&] {
            deleteSong(m_state.db(), number);
            insertRow(row, number);
        });
        ++m_outcome.songsWritten;
        m_writer.commit();
        if (isRegisteredFile(m_state.db(), oldLocation))
            return;
        const QString oldFile = resolvePath(m_state.AppPath, oldLocation);
        if (oldFile != row.path && m_fs.fileExists(oldFile) && m_fs.deleteFile(oldFile))
            ++m_outcome.filesDeleted;
    }

    SharedState &m_state;
    FileSystem &m_fs;
    QString m_date;
    SongWriter m_writer;
    RunOutcome m_outcome;
};

bool isTaken(const FileRow &row, RowsTaken taken)
{
    if (taken == RowsTaken::All)
        return row.confirmed;
    return row.confirmed && row.command == RowCommand::Ready;
}

} // namespace

RunOutcome registerFileRows(SharedState &state, FileSystem &fs, const FileTable &table, const QString &date,
                            RowsTaken taken, Progress &progress)
{
    FileNameRun run(state, fs, date);
    const int total = table.size();
    for (int i = 0; i < total; ++i) {
        if (!progress.step(i + 1, total, QStringLiteral("進度 : %1/%2").arg(i + 1).arg(total))) {
            run.outcome().stopped = true;
            break;
        }
        const FileRow &row = table.row(i);
        if (!isTaken(row, taken))
            continue;
        try {
            run.registerRow(row);
        } catch (const CatalogueBusy &e) {
            run.outcome().problems.append(e.message());
            run.outcome().stopped = true;
            break;
        } catch (const DatabaseError &e) {
            run.outcome().problems.append(row.fileName() + QStringLiteral(": ") + e.message());
        }
    }
    try {
        run.finish();
    } catch (const DatabaseError &e) {
        run.outcome().problems.append(e.message());
    }
    return run.outcome();
}
