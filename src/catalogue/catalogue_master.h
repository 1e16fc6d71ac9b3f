#pragma once

#include "core/database_error.h"

#include <QString>

struct NewSong;
struct Registration;
struct RegistrationRules;
struct SongLoudness;
struct SongRecord;
struct SongToMeasure;

// The venue's catalogue server cannot be reached (or cannot be used): nothing was written,
// neither there nor in the room's copy. A run stops at once, as on a full disk.
class CatalogueUnreachable : public CatalogueUnwritable
{
public:
    using CatalogueUnwritable::CatalogueUnwritable;
};

// Where every change to songs and singers is written when the catalogue file is a room's copy
// of a venue's shared catalogue (Database::master()). Each change is one transaction there; the
// room's copy is brought up to it before the call returns, so a window shows what it wrote,
// except inside a group of songs (a bulk run), where the copy catches up when the group ends.
// Values arrive checked (record_checks.h); every call throws CatalogueUnreachable when the
// server cannot be reached and DatabaseError when it refuses the change.
class CatalogueMaster
{
public:
    virtual ~CatalogueMaster() = default;

    // Stores the song, its file at path on this machine (already found there), under the number
    // the rules choose, decided on the master inside the transaction that stores it.
    virtual Registration registerSong(const NewSong &song, const QString &path, const RegistrationRules &rules) = 0;
    virtual void updateSong(const SongRecord &song) = 0;
    virtual void renameSong(const QString &songNum, const QString &title) = 0;
    virtual void deleteSong(const QString &songNum) = 0;
    virtual qint64 insertSinger(const QString &name, int sex) = 0;
    virtual void updateSinger(qint64 code, const QString &name, int sex) = 0;
    virtual void deleteSinger(qint64 code) = 0;
    // Sets the measured state and loudness of every row of the song still playing its file.
    virtual void storeLoudness(const SongToMeasure &song, int state, const SongLoudness &loudness) = 0;

    // While a group is open, changes reach the copy only when it ends (endGroup catches up).
    virtual void beginGroup() = 0;
    virtual void endGroup() = 0;
};
