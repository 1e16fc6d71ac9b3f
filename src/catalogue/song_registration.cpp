#include "catalogue/song_registration.h"

#include "catalogue/catalogue_master.h"
#include "catalogue/catalogue_refusal.h"
#include "catalogue/record_checks.h"
#include "catalogue/song_files.h"
#include "catalogue/song_numbers.h"
#include "catalogue/song_records.h"
#include "core/database.h"
#include "core/scoped_transaction.h"
#include "platform/file_system.h"

#include <optional>

namespace {

QString chosenNumber(Database &db, const NewSong &song, const RegistrationRules &rules)
{
    if (!rules.replacedNumber.isEmpty())
        return rules.replacedNumber.trimmed();
    const QString wanted = rules.wantedNumber.trimmed();
    if (isSongNumberText(wanted) && !isSongNumberTaken(db, wanted))
        return wanted;
    return Get_NewSongNum(db, song.kind, song.count);
}

// Stores the song in the local file, inside the transaction the caller holds.
Registration storeHere(Database &db, const NewSong &song, const RegistrationRules &rules)
{
    const QString number = chosenNumber(db, song, rules);
    if (number.isEmpty())
        return {Registration::Result::NoFreeNumber, {}};
    if (!rules.replacedNumber.isEmpty())
        deleteSong(db, number);
    SongRecord record{number, song.kind, song.title, song.count, 0, song.buildDate, song.location};
    for (const qint64 singer : song.singerCodes) {
        record.song_singer_code = singer;
        insertSong(db, record);
    }
    return {Registration::Result::Registered, number};
}

// The venue's server decides the number; the record is checked here first, as a local insert
// checks it.
Registration storeOnMaster(CatalogueMaster &master, const NewSong &song, const QString &file,
                           const RegistrationRules &rules)
{
    refuseIf(songFieldsProblem({{}, song.kind, song.title, song.count, 0, song.buildDate, song.location}));
    return master.registerSong(song, file, rules);
}

} // namespace

Registration registerSong(Database &db, const FileSystem &fs, const QString &appPath, const NewSong &song,
                          const RegistrationRules &rules)
{
    if (song.singerCodes.isEmpty())
        throw CatalogueRefusal(QStringLiteral("歌手資料尚未建立"));
    CatalogueMaster *master = db.master();
    std::optional<ScopedTransaction> transaction;
    if (!master)
        transaction.emplace(db);
    const QString file = songFilePath(appPath, song.location);
    if (rules.registeredFiles && rules.registeredFiles->containsSong(file))
        return {Registration::Result::FileRegistered, {}};
    if (!fs.fileExists(file))
        return {Registration::Result::FileMissing, {}};
    const Registration registration =
        master ? storeOnMaster(*master, song, file, rules) : storeHere(db, song, rules);
    if (transaction)
        transaction->commit();
    if (registration.result == Registration::Result::Registered && rules.registeredFiles)
        rules.registeredFiles->add(file);
    return registration;
}

QString registrationProblem(const Registration &registration, const QString &location)
{
    switch (registration.result) {
    case Registration::Result::Registered:
        return {};
    case Registration::Result::FileRegistered:
        return QStringLiteral("檔案已登錄:") + location;
    case Registration::Result::FileMissing:
        return QStringLiteral("找不到這個檔案:") + location;
    case Registration::Result::NoFreeNumber:
        return QStringLiteral("這個種類與字數的曲目編號已經用完");
    }
    return {};
}
