#include "bulk/file_name_run.h"

#include "bulk/file_table.h"
#include "bulk/progress.h"
#include "bulk/song_writer.h"
#include "catalogue/singer_records.h"
#include "catalogue/song_files.h"
#include "catalogue/song_records.h"
#include "catalogue/song_registration.h"
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
        , m_writer(state.catalogue())
        , m_registered(state.db(), state.AppPath)
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
            store(row, {});
            return;
        }
    }

    RunOutcome &outcome() { return m_outcome; }

    void finish()
    {
        try {
            m_writer.commit();
        } catch (const DatabaseError &e) {
            m_outcome.problems.append(e.message());
        }
        m_outcome.songsWritten = m_writer.storedSongs();
        if (m_writer.lostSongs() > 0)
            m_outcome.problems.append(QStringLiteral("%1首歌未能存入資料庫").arg(m_writer.lostSongs()));
    }

private:
    // One song record per singer of the row, all under one number.
    NewSong newSong(const FileRow &row)
    {
        NewSong song{SongKindCode(m_state, row.kindName), row.count, row.title, {}, m_date, row.path};
        for (const QString &singer : splitSingers(row.singerField)) {
            const std::optional<SingerRecord> found = findSingerByName(m_state.db(), singer);
            if (!found)
                throw DatabaseError(QStringLiteral("歌手資料尚未建立: %1").arg(singer));
            song.singerCodes.append(found->singer_code);
        }
        return song;
    }

    bool store(const FileRow &row, const QString &replacedNumber)
    {
        Registration registration;
        m_writer.writeSong([&] {
            registration = registerSong(m_state.catalogue(), m_fs, m_state.AppPath, newSong(row),
                                        {replacedNumber, {}, &m_registered});
            return registration.result == Registration::Result::Registered;
        });
        if (registration.result == Registration::Result::FileRegistered)
            ++m_outcome.alreadyRegistered;
        else if (registration.result != Registration::Result::Registered)
            m_outcome.problems.append(row.fileName() + QStringLiteral(": ")
                                      + registrationProblem(registration, row.path));
        return registration.result == Registration::Result::Registered;
    }

    // A file no song is registered with any more; a CD+G pair's two files each count.
    void deleteUnusedFile(const QString &path)
    {
        for (const QString &part : songFileParts(path)) {
            if (!songsUsingFile(m_state.db(), m_state.AppPath, part, QString()).isEmpty())
                continue;
            if (m_fs.fileExists(part) && m_fs.deleteFile(part))
                ++m_outcome.filesDeleted;
        }
    }

    void deleteOwnFile(const FileRow &row)
    {
        m_writer.commit();
        deleteUnusedFile(row.path);
    }

    // The old song's records go and the new file takes its number, in one piece. The old file
    // is deleted only after that is committed, and only when no song plays it any more.
    void replaceSong(const FileRow &row)
    {
        const QString number = row.replacedNumber.trimmed();
        const std::optional<SongRecord> old = findSong(m_state.db(), number);
        if (!store(row, number))
            return;
        m_writer.commit();
        if (old)
            deleteUnusedFile(songFilePath(m_state.AppPath, old->song_location));
    }

    SharedState &m_state;
    FileSystem &m_fs;
    QString m_date;
    SongWriter m_writer;
    RegisteredFiles m_registered;
    RunOutcome m_outcome;
};

bool isTaken(const FileRow &row, RowsTaken taken)
{
    if (taken == RowsTaken::All)
        return row.confirmed;
    return row.confirmed && row.command == RowCommand::Ready;
}

} // namespace

QString conflictingRows(const FileTable &table, int *row)
{
    QHash<QString, int> replacing;
    for (int i = 0; i < table.size(); ++i) {
        const FileRow &r = table.row(i);
        if (r.command != RowCommand::Replace)
            continue;
        const QString number = r.replacedNumber.trimmed();
        const auto first = replacing.constFind(number);
        if (first != replacing.constEnd()) {
            *row = i;
            return QStringLiteral("%1 與 %2 都要取代編號%3, 請修改其中一個的指令 !")
                .arg(table.row(*first).fileName(), r.fileName(), number);
        }
        replacing.insert(number, i);
    }
    return {};
}

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
        } catch (const DatabaseError &e) {
            run.outcome().problems.append(row.fileName() + QStringLiteral(": ") + e.message());
            if (endsTheRun(e)) {
                run.outcome().stopped = true;
                break;
            }
        }
    }
    run.finish();
    return run.outcome();
}
