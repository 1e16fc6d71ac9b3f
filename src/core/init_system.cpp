#include "core/init_system.h"

#include "core/catalogue_file.h"
#include "core/database.h"
#include "core/database_error.h"
#include "platform/file_system.h"
#include "core/settings_file.h"
#include "core/shared_state.h"

#include <QDir>

namespace {

void readSettings(SharedState &state, FileSystem &fs, InitResult &result)
{
    QString problem;
    state.settings =
        SettingsFile::load(fs, state.AppPath + QStringLiteral("Setting.ini"), state.AppPath, &problem, &result.notices);
    if (!problem.isEmpty())
        result.notices.append(problem);
}

void ensureRecordFolder(SharedState &state, FileSystem &fs, InitResult &result)
{
    const QString folder = state.settings.RecordPath;
    if (folder.isEmpty() || fs.folderExists(folder))
        return;
    if (!fs.createFolder(folder))
        result.notices.append(QStringLiteral("無法建立錄音檔資料夾 %1").arg(folder));
}

} // namespace

InitResult InitSystem(SharedState &state, FileSystem &fs, Clock &clock, const QString &appFolder)
{
    InitResult result;
    state.TwipsPerPixel = 15;
    state.PageRows = 8;
    const QString folder = QDir::cleanPath(QDir(appFolder).absolutePath());
    state.AppPath = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    state.DbPath = state.AppPath + QStringLiteral("karaoke.mdb");
    state.SongKindNames = songKindNameTable();
    state.Fso = &fs;
    state.clock = &clock;

    if (!fs.folderExists(state.AppPath)) {
        result.ok = false;
        result.problem = QStringLiteral("程式資料夾 %1 不存在").arg(folder);
        return result;
    }
    readSettings(state, fs, result);
    ensureRecordFolder(state, fs, result);
    state.openCatalogue();
    if (!CatalogueFile::openOrCreate(state.db(), &result.problem)) {
        result.ok = false;
        return result;
    }
    DropSongPrimaryKey(state);
    return result;
}

void DropSongPrimaryKey(const SharedState &state)
{
    try {
        state.db().ExecuteSql(QStringLiteral("DROP INDEX PrimaryKey  on song "));
    } catch (const DatabaseError &) {
        // The index is gone after the first start (and SQLite never had it): nothing to do.
    }
}
