#include "bulk/command_line_runs.h"

#include "bulk/batch_run.h"
#include "bulk/batch_validation.h"
#include "bulk/file_name_run.h"
#include "bulk/file_table.h"
#include "bulk/progress.h"
#include "catalogue/singer_records.h"
#include "core/database.h"
#include "core/database_error.h"
#include "core/shared_state.h"
#include "platform/clock.h"
#include "platform/file_system.h"

#include <QTextStream>

namespace {

constexpr int kGroupOrOther = 2;
// Nobody watches a run without a window: another program's write (a second run, the manager
// window) is waited out, up to a minute, instead of stopping the run.
constexpr int kUnattendedBusyWaitMs = 60000;

QString today(Clock &clock)
{
    return clock.now().date().toString(QStringLiteral("yyyy/MM/dd"));
}

// Without an owner to ask: the singer is created, the similar title registered anyway.
class UnattendedDecisions : public BatchDecisions
{
public:
    UnattendedDecisions(SharedState &state, FileSystem &fs, QTextStream &out)
        : m_state(state)
        , m_fs(fs)
        , m_out(out)
    {
    }

    void missingSinger(BatchRecord &record) override
    {
        insertSinger(m_state.catalogue(), record.singerName, kGroupOrOther);
        m_out << QStringLiteral("新增歌手資料,%1,完成 (歌手性別: 2.團體或其他)").arg(record.singerName) << Qt::endl;
    }

    bool similarTitle(BatchRecord &record, const QString &message) override
    {
        const Registration registration =
            registerSong(m_state.catalogue(), m_fs, m_state.AppPath, newSongOf(record), {{}, record.newSongNum, nullptr});
        const QString problem = registrationProblem(registration, record.filePath);
        m_out << message << (problem.isEmpty() ? QStringLiteral(" => 仍登錄為 %1").arg(registration.number)
                                               : QStringLiteral(" => ") + problem)
              << Qt::endl;
        return problem.isEmpty();
    }

private:
    SharedState &m_state;
    FileSystem &m_fs;
    QTextStream &m_out;
};

int registeredRows(const FileTable &table)
{
    int registered = 0;
    for (const FileRow &row : table.rows())
        registered += row.command == RowCommand::Registered ? 1 : 0;
    return registered;
}

// The folder's problem, or an empty text when it can be scanned.
QString folderProblem(const FileSystem &fs, const QString &folder)
{
    if (!fs.folderExists(folder))
        return QStringLiteral("請確實指定路徑");
    if (!fs.canListFolder(folder))
        return QStringLiteral("無法讀取這個目錄: ") + folder;
    return {};
}

} // namespace

int registerFolderWithoutWindow(SharedState &state, FileSystem &fs, Clock &clock, const QString &folder,
                                QTextStream &out)
{
    if (const QString problem = folderProblem(fs, folder); !problem.isEmpty()) {
        out << problem << Qt::endl;
        return 1;
    }
    try {
        state.db().setBusyWait(kUnattendedBusyWaitMs);
        SilentProgress quiet;
        FileTable table(state, fs);
        table.scan(folder, quiet);
        for (const FileRow &row : table.rows())
            out << lstFileContent(row) << Qt::endl;
        const RunOutcome outcome = registerFileRows(state, fs, table, today(clock), RowsTaken::ReadyOnly, quiet);
        for (const QString &problem : outcome.problems)
            out << problem << Qt::endl;
        const int registered = registeredRows(table) + outcome.alreadyRegistered;
        const int waiting = table.size() - registered - outcome.songsWritten;
        out << QStringLiteral("已完成%1筆資料的登錄! 原已登錄 %2 筆, 尚需確認 %3 筆")
                   .arg(outcome.songsWritten)
                   .arg(registered)
                   .arg(waiting)
            << Qt::endl;
        return waiting == 0 && outcome.problems.isEmpty() && !outcome.stopped ? 0 : 1;
    } catch (const DatabaseError &e) {
        out << e.message() << Qt::endl;
        return 1;
    }
}

int registerListWithoutWindow(SharedState &state, FileSystem &fs, Clock &clock, const QString &listPath,
                              QTextStream &out)
{
    try {
        state.db().setBusyWait(kUnattendedBusyWaitMs);
        SilentProgress quiet;
        const BatchCheck check = validateListFile(fs, state.SongKindNames, listPath.trimmed(), quiet);
        if (!check.ok()) {
            out << check.message << Qt::endl;
            return 1;
        }
        UnattendedDecisions decisions(state, fs, out);
        const BatchOutcome outcome = registerBatch(state, fs, check.songs, today(clock), decisions, quiet);
        for (const QString &problem : outcome.problems)
            out << problem << Qt::endl;
        out << (outcome.stopped ? batchStoppedMessage(outcome) : batchDoneMessage(outcome.linesDone)) << Qt::endl;
        return outcome.problems.isEmpty() && !outcome.stopped ? 0 : 1;
    } catch (const DatabaseError &e) {
        out << e.message() << Qt::endl;
        return 1;
    }
}
