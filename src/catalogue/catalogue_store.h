#pragma once

#include "core/database_error.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Database;
class RegisteredFiles;
struct NewSong;
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

// The venue's catalogue server holds no catalogue, or another one than the room's copy follows
// (another venue's, a backup put back): the room neither writes there nor copies from there
// until the owner pushes or pulls the catalogue. The first line of the message is the owner's,
// the rest is for the log.
class CatalogueRefused : public CatalogueUnreachable
{
public:
    using CatalogueUnreachable::CatalogueUnreachable;
};

// The catalogue's rows as one change reads and writes them, inside the transaction its store
// runs it in. Values arrive checked (record_checks.h): the rules live in the catalogue layer
// (song_records.h, singer_records.h, song_registration.h, song_loudness.h), written once, and
// each store only says how its rows are read and written. Every call throws DatabaseError.
class CatalogueRows
{
public:
    virtual ~CatalogueRows() = default;

    // Whether some song plays the file at path (stored as location); files holds what the
    // room's file knows of registered files.
    virtual bool isFileRegistered(const QString &path, const QString &location, RegisteredFiles &files) = 0;
    // Holds the numbers (in this order) against other writers until the change ends.
    virtual void lockNumbers(const QStringList &numbers) = 0;
    virtual bool isNumberTaken(const QString &number) = 0;
    // Hands over every stored number that begins with prefix.
    virtual void forEachNumber(const QString &prefix, const std::function<void(QStringView)> &onNumber) = 0;
    // Adds the song under number: one row per singer, in the song's order of singers.
    virtual void addSong(const QString &number, const NewSong &song) = 0;
    virtual void updateSong(const SongRecord &song) = 0;
    virtual void renameSong(const QString &songNum, const QString &title) = 0;
    virtual void deleteSong(const QString &songNum) = 0;
    virtual qint64 insertSinger(const QString &name, int sex) = 0;
    virtual void updateSinger(qint64 code, const QString &name, int sex) = 0;
    virtual void deleteSinger(qint64 code) = 0;
    // Keeps what was measured of the file song.location with every row of the song that plays it.
    virtual void storeLoudness(const SongToMeasure &song, int state, const SongLoudness &loudness) = 0;
};

// Held while a song is measured: no other room of a venue measures the song meanwhile.
class LoudnessClaim
{
public:
    virtual ~LoudnessClaim() = default;
};

// Where every change to songs and singers is written, chosen once at start: the catalogue file
// itself (LocalCatalogue), or a venue's catalogue server whose copy the file is
// (PostgresCatalogue). A change is one transaction of the store; once change() returns, the
// catalogue file shows it, except inside a group.
class CatalogueStore
{
public:
    virtual ~CatalogueStore() = default;

    // Runs write in one transaction, kept when it returns (write says whether it wrote
    // anything) and undone when it throws.
    virtual void change(const std::function<bool(CatalogueRows &)> &write) = 0;

    // A group of changes (a bulk run): a store that keeps each change on its own keeps them at
    // once and brings the file up to them when the group ends; one that does not keeps them all
    // only when the group ends. endGroup throws when they could not be kept.
    virtual void beginGroup() = 0;
    virtual void endGroup() = 0;
    virtual bool keepsEachChange() const = 0;

    // Claims the song for measuring its file (with its stamp) until the claim is let go: nothing
    // when another room measures it now or has measured it already, so it is passed over and
    // its values come with the copy. Throws DatabaseError.
    virtual std::unique_ptr<LoudnessClaim> claimLoudness(const SongToMeasure &song) = 0;
};

// The store chosen at start, made for a connection to the catalogue file of a thread's own.
using CatalogueStoreMaker = std::function<std::unique_ptr<CatalogueStore>(Database &db)>;
