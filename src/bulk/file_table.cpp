#include "bulk/file_table.h"

#include "bulk/list_file.h"
#include "bulk/progress.h"
#include "catalogue/similar_titles.h"
#include "catalogue/singer_records.h"
#include "core/database.h"
#include "core/shared_state.h"
#include "platform/cdg/cdg_song.h"
#include "platform/file_system.h"

namespace {
// Look-ups of this many rows read the catalogue under one lock.
constexpr int kRowsPerRead = 256;

// A CD+G pair is listed once, as its .mp3; a .cdg alone has no sound, and a zip file must
// hold a pair.
bool listedAsSong(const QString &folder, const QString &name)
{
    if (!chkSupport(name))
        return false;
    const QString extension = extensionOf(name).toLower();
    if (extension == QLatin1String("cdg"))
        return false;
    if (extension == QLatin1String("zip"))
        return findCdgSong(folder + QLatin1Char('/') + name).playable();
    return true;
}

// A new name keeps the kind of file: a zip file stays one, a pair's .mp3 stays an .mp3, and
// no row becomes a .cdg.
bool keepsKind(const QString &oldName, const QString &newName, bool pair)
{
    const QString oldExtension = extensionOf(oldName).toLower();
    const QString newExtension = extensionOf(newName).toLower();
    const QString zip = QStringLiteral("zip");
    if (newExtension == QLatin1String("cdg") || (oldExtension == zip) != (newExtension == zip))
        return false;
    return !pair || newExtension == QLatin1String("mp3");
}
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
        if (listedAsSong(folder, names[n])) {
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
    if (registeredFiles().containsSong(songFilePath(m_state.AppPath, row.path))) {
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
    // The .cdg of a pair moves with its .mp3, to the same new name.
    const QString partner = cdgPartnerPath(row.path);
    if (!keepsKind(row.fileName(), newFileName, !partner.isEmpty()))
        return false;
    QString newPartner;
    if (!partner.isEmpty()) {
        newPartner = baseNameOf(newPath) + QLatin1Char('.') + extensionOf(partner);
        // A .cdg of the new name in any letter case would make two pairs of one name.
        const QString clash = cdgPartnerPath(newPath);
        if (!clash.isEmpty() && clash != partner)
            return false;
    }
    if (!m_fs.moveFile(row.path, newPath))
        return false;
    if (!newPartner.isEmpty() && newPartner != partner && !m_fs.moveFile(partner, newPartner)) {
        // Put back as it was; should that fail too, the .mp3 still plays, without its pictures.
        m_fs.moveFile(newPath, row.path);
        return false;
    }
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
