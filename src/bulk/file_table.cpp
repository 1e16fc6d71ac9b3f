#include "bulk/file_table.h"

#include "bulk/list_file.h"
#include "bulk/progress.h"
#include "catalogue/similar_titles.h"
#include "catalogue/singer_records.h"
#include "core/database.h"
#include "core/shared_state.h"
#include "platform/file_system.h"

namespace {
// Look-ups of this many rows read the catalogue under one lock.
constexpr int kRowsPerRead = 256;
} // namespace

FileTable::FileTable(SharedState &state, FileSystem &fs)
    : m_state(state)
    , m_fs(fs)
{
}

bool FileTable::scan(const QString &typedFolder, Progress &progress, const std::function<void(int)> &onRowAdded)
{
    m_rows.clear();
    m_registered.reset();
    const QString folder = absolutePathOf(typedFolder);
    const QStringList names = m_fs.listEveryFile(folder);
    const int total = int(names.size());
    m_rows.reserve(size_t(total));
    std::optional<ReadTransaction> read;
    for (int n = 0; n < total; ++n) {
        if (n % kRowsPerRead == 0) {
            read.reset();
            read.emplace(m_state.db());
        }
        if (chkSupport(names[n])) {
            FileRow &row = m_rows.emplace_back();
            row.path = folder + QLatin1Char('/') + names[n];
            setArySong(size() - 1);
            if (onRowAdded)
                onRowAdded(size() - 1);
        }
        if (!progress.step(n + 1, total, QStringLiteral("adding ... %1/%2").arg(size()).arg(total)))
            return false;
    }
    return true;
}

bool FileTable::setArySong(int i)
{
    FileRow &row = m_rows[size_t(i)];
    row.confirmed = true;
    row.command = RowCommand::Ready;
    if (registeredFiles().contains(songFilePath(m_state.AppPath, row.path))) {
        row.command = RowCommand::Registered;
        return true;
    }
    const SongFileName name = parseSongFileName(baseNameOf(row.fileName()), m_state.SongKindNames);
    row.singerField = name.singerField;
    row.title = name.title;
    row.kindName = name.kindName;
    row.count = name.count;
    row.singerState = SingerState::NotTested;
    row.replacedNumber.clear();
    row.formatError = name.formatError;
    if (row.formatError != FileNameError::None) {
        row.confirmed = false;
        return false;
    }
    checkAgainstCatalogue(row);
    return false;
}

RegisteredFiles &FileTable::registeredFiles()
{
    if (!m_registered)
        m_registered.emplace(m_state.db(), m_state.AppPath);
    return *m_registered;
}

void FileTable::checkAgainstCatalogue(FileRow &row)
{
    row.singerState = SingerState::Known;
    for (const QString &singer : splitSingers(row.singerField)) {
        if (!findSingerByName(m_state.db(), singer)) {
            row.singerState = SingerState::Missing;
            row.confirmed = false;
            break;
        }
    }
    if (!findSimilarTitles(m_state.db(), row.title, row.count, 1).isEmpty()) {
        row.command = RowCommand::NoCommand;
        row.confirmed = false;
    }
}

bool FileTable::rename(int i, const QString &newFileName)
{
    FileRow &row = m_rows[size_t(i)];
    const QString newPath = row.folder() + QLatin1Char('/') + newFileName;
    if (newFileName.isEmpty() || newFileName.contains(QLatin1Char('/')) || newFileName.contains(QLatin1Char('\\')))
        return false;
    if (m_fs.fileExists(newPath) || !chkSupport(newFileName))
        return false;
    if (!m_fs.moveFile(row.path, newPath))
        return false;
    row.path = newPath;
    setArySong(i);
    return true;
}

int FileTable::firstUnconfirmed() const
{
    for (int i = 0; i < size(); ++i) {
        if (!m_rows[size_t(i)].confirmed)
            return i;
    }
    return -1;
}
