#include "bulk/command_line_runs.h"

#include "bulk/batch_run.h"
#include "bulk/batch_validation.h"
#include "bulk/file_name_run.h"
#include "bulk/file_table.h"
#include "bulk/progress.h"
#include "core/database_error.h"
#include "core/shared_state.h"
#include "manage/singer_records.h"
#include "manage/song_records.h"
#include "platform/clock.h"
#include "platform/file_system.h"

#include <QTextStream>

namespace {

constexpr int kGroupOrOther = 2;

QString today(Clock &clock)
{
    return clock.now().date().toString(QStringLiteral("yyyy/MM/dd"));
}

// Without an owner to ask: the singer is created, the similar title registered anyway.
class UnattendedDecisions : public BatchDecisions
{
public:
    UnattendedDecisions(SharedState &state, QTextStream &out)
        : m_state(state)
        , m_out(out)
    {
    }

    void missingSinger(BatchRecord &record) override
    {
        insertSinger(m_state.db(), record.singerName, kGroupOrOther);
        m_out << QStringLiteral("新增歌手資料,%1,完成 (歌手性別: 2.團體或其他)").arg(record.singerName) << Qt::endl;
    }

    void similarTitle(BatchRecord &record, const QString &message) override
    {
        insertSong(m_state.db(), songOf(record));
        m_out << message << QStringLiteral(" => 仍登錄為 %1").arg(record.newSongNum) << Qt::endl;
    }

private:
    SharedState &m_state;
    QTextStream &m_out;
};

int registeredRows(const FileTable &table)
{
    int registered = 0;
    for (const FileRow &row : table.rows())
        registered += row.command == RowCommand::Registered ? 1 : 0;
    return registered;
}

} // namespace

int registerFolderWithoutWindow(SharedState &state, FileSystem &fs, Clock &clock, const QString &folder,
                                QTextStream &out)
{
    if (!fs.folderExists(folder)) {
        out << QStringLiteral("請確實指定路徑") << Qt::endl;
        return 1;
    }
    try {
        SilentProgress quiet;
        FileTable table(state, fs);
        table.scan(folder, quiet);
        for (const FileRow &row : table.rows())
            out << lstFileContent(row) << Qt::endl;
        const int before = registeredRows(table);
        const RunOutcome outcome = registerFileRows(state, fs, table, today(clock), RowsTaken::ReadyOnly, quiet);
        for (const QString &problem : outcome.problems)
            out << problem << Qt::endl;
        const int waiting = table.size() - before - outcome.songsWritten;
        out << QStringLiteral("已完成%1筆資料的登錄! 原已登錄 %2 筆, 尚需確認 %3 筆")
                   .arg(outcome.songsWritten)
                   .arg(before)
                   .arg(waiting)
            << Qt::endl;
        return waiting == 0 ? 0 : 1;
    } catch (const DatabaseError &e) {
        out << e.message() << Qt::endl;
        return 1;
    }
}

int registerListWithoutWindow(SharedState &state, FileSystem &fs, Clock &clock, const QString &listPath,
                              QTextStream &out)
{
    try {
        SilentProgress quiet;
        const BatchCheck check = validateListFile(fs, state.SongKindNames, listPath.trimmed(), quiet);
        if (!check.ok()) {
            out << check.message << Qt::endl;
            return 1;
        }
        UnattendedDecisions decisions(state, out);
        const BatchOutcome outcome = registerBatch(state, check.songs, today(clock), decisions, quiet);
        for (const QString &problem : outcome.problems)
            out << problem << Qt::endl;
        out << batchDoneMessage(outcome.linesDone) << Qt::endl;
        return outcome.problems.isEmpty() ? 0 : 1;
    } catch (const DatabaseError &e) {
        out << e.message() << Qt::endl;
        return 1;
    }
}
