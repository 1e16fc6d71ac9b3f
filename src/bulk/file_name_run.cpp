#include "bulk/file_name_run.h"

#include "bulk/file_table.h"
#include "bulk/progress.h"
#include "bulk/song_rules.h"
#include "bulk/song_writer.h"
#include "core/database.h"
#include "core/database_error.h"
#include "core/lookups.h"
#include "core/shared_state.h"
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
                insertRow(row, newSongNumber(m_state, SongKindCode(m_state, row.kindName), row.count));
            });
            ++m_outcome.songsWritten;
            return;
        }
    }

    RunOutcome &outcome() { return m_outcome; }
    void finish() { m_writer.commit(); }

private:
    // One song record per singer of the row, all under one number.
    void insertRow(const FileRow &row, const QString &number)
    {
        const int kind = SongKindCode(m_state, row.kindName);
        for (const QString &singer : splitSingers(row.singerField)) {
            const std::optional<qint64> code = singerCodeOf(m_state, singer);
            if (!code)
                throw DatabaseError(QStringLiteral("歌手資料尚未建立: %1").arg(singer));
            insertSongRecord(m_state, number, kind, row.title, row.count, *code, m_date, row.path.trimmed());
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
        const QString oldPath = GetSongLocation(m_state, number);
        m_writer.writeSong([&] {
            m_state.db().ExecuteSql(QStringLiteral("DELETE FROM song WHERE song_num=?"), {number});
            insertRow(row, number);
        });
        ++m_outcome.songsWritten;
        m_writer.commit();
        if (oldPath != row.path && !isRegisteredFile(m_state, oldPath) && m_fs.fileExists(oldPath)
            && m_fs.deleteFile(oldPath))
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
        } catch (const CatalogueBusy &) {
            throw;
        } catch (const DatabaseError &e) {
            run.outcome().problems.append(row.fileName() + QStringLiteral(": ") + e.message());
        }
    }
    run.finish();
    return run.outcome();
}
