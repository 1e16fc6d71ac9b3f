#include "catalogue/song_registration.h"

#include "catalogue/catalogue_refusal.h"
#include "catalogue/catalogue_store.h"
#include "catalogue/record_checks.h"
#include "catalogue/song_files.h"
#include "catalogue/song_numbers.h"
#include "catalogue/song_records.h"
#include "platform/file_system.h"

namespace {

// The numbers the registration may give: its kind and count's prefix, and a number it keeps or
// replaces outside that prefix; always in one order, so two registrations never wait for each
// other.
QStringList numbersInPlay(const QString &prefix, const RegistrationRules &rules)
{
    QStringList numbers{prefix};
    for (const QString &number : {rules.wantedNumber.trimmed(), rules.replacedNumber.trimmed()}) {
        if (!number.isEmpty() && !number.startsWith(prefix))
            numbers.append(number);
    }
    numbers.sort();
    numbers.removeDuplicates();
    return numbers;
}

QString chosenNumber(CatalogueRows &rows, const NewSong &song, const RegistrationRules &rules)
{
    if (!rules.replacedNumber.isEmpty())
        return rules.replacedNumber.trimmed();
    const QString wanted = rules.wantedNumber.trimmed();
    if (isSongNumberText(wanted) && !rows.isNumberTaken(wanted))
        return wanted;
    return lowestFreeNumber(song.kind, song.count,
                            [&rows](const QString &prefix, const std::function<void(QStringView)> &onNumber) {
                                rows.forEachNumber(prefix, onNumber);
                            });
}

// Decides the file and the number and stores the song, inside the change that keeps it; true
// when it wrote anything.
bool store(CatalogueRows &rows, const FileSystem &fs, const QString &file, const NewSong &song,
           const RegistrationRules &rules, Registration &registration)
{
    rows.lockNumbers(numbersInPlay(songNumberPrefix(song.kind, song.count), rules));
    if (rules.registeredFiles && rows.isFileRegistered(file, song.location, *rules.registeredFiles)) {
        registration = {Registration::Result::FileRegistered, {}};
        return false;
    }
    if (!fs.fileExists(file)) {
        registration = {Registration::Result::FileMissing, {}};
        return false;
    }
    const QString number = chosenNumber(rows, song, rules);
    if (number.isEmpty()) {
        registration = {Registration::Result::NoFreeNumber, {}};
        return false;
    }
    refuseIf(songRecordProblem({number, song.kind, song.title, song.count, 0, song.buildDate, song.location}));
    if (!rules.replacedNumber.isEmpty())
        rows.deleteSong(number);
    rows.addSong(number, song);
    registration = {Registration::Result::Registered, number};
    return true;
}

} // namespace

Registration registerSong(CatalogueStore &catalogue, const FileSystem &fs, const QString &appPath, const NewSong &song,
                          const RegistrationRules &rules)
{
    if (song.singerCodes.isEmpty())
        throw CatalogueRefusal(QStringLiteral("歌手資料尚未建立"));
    NewSong stored = song;
    stored.location = song.location.trimmed();
    refuseIf(songFieldsProblem({{}, stored.kind, stored.title, stored.count, 0, stored.buildDate, stored.location}));
    const QString file = songFilePath(appPath, stored.location);
    Registration registration;
    catalogue.change([&](CatalogueRows &rows) { return store(rows, fs, file, stored, rules, registration); });
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
