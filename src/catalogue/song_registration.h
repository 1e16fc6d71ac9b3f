#pragma once

#include <QList>
#include <QString>

class CatalogueStore;
class FileSystem;
class RegisteredFiles;

// A song to register: one song record per singer, all under the number registration chooses.
struct NewSong
{
    int kind = 0;
    int count = 0;
    QString title;
    QList<qint64> singerCodes;
    QString buildDate; // "YYYY/MM/DD"
    QString location;  // stored as given, trimmed
};

// How the number and the file are decided. Both are decided inside the write transaction that
// stores the song, so two programs registering at the same moment never register one file
// twice nor give two songs one number.
struct RegistrationRules
{
    // The old song whose rows go and whose number the new song takes (取代, 刪除替換).
    QString replacedNumber;
    // The number the owner was shown: kept while it is free, otherwise the lowest free number
    // of the song's kind and count is taken.
    QString wantedNumber;
    // When set, a file some song is registered with already (for a CD+G pair, either file of
    // it) is passed over (bulk registration).
    RegisteredFiles *registeredFiles = nullptr;
};

struct Registration
{
    enum class Result {
        Registered,     // stored under number
        FileRegistered, // some song has the file already: nothing written
        FileMissing,    // the file is not there (any more): nothing written
        NoFreeNumber,   // every serial of the kind and count is taken: nothing written
    };
    Result result = Result::Registered;
    QString number;
};

// Stores the song in one piece, in one change of the catalogue's store: whichever store it is,
// the file and the number are decided by the same rules inside that change. Throws
// DatabaseError when the catalogue cannot be written, and CatalogueRefusal (nothing written)
// for a song that is not fit to be stored.
Registration registerSong(CatalogueStore &store, const FileSystem &fs, const QString &appPath, const NewSong &song,
                          const RegistrationRules &rules = {});

// Why a registration stored nothing, in the owner's words (empty for Registered).
QString registrationProblem(const Registration &registration, const QString &location);
