#pragma once

#include "core/play_queue.h"
#include "core/result_table.h"
#include "core/settings.h"

#include <QString>
#include <QStringList>

#include <memory>

class CatalogueStore;
class Clock;
class Database;
class FileSystem;
class WavFileOpen;

// The state every window reads and writes: where the program's files are, the lists the
// menus page through, the play queue, the recording and the settings of Setting.ini.
struct SharedState
{
    SharedState();
    ~SharedState();
    SharedState(const SharedState &) = delete;
    SharedState &operator=(const SharedState &) = delete;

    // The catalogue at DbPath: its connection and prepared statements.
    Database &db() const { return *database; }
    // Points the catalogue at DbPath; the connection opens on first use.
    void openCatalogue();
    // Where changes to songs and singers go (catalogue/catalogue_store.h): the file itself, or a
    // venue's server whose copy the file is. Chosen once at start by whoever starts the
    // program, which owns it; reads always go to db().
    CatalogueStore &catalogue() const { return *catalogueStore; }

    QString AppPath; // the program folder, ending in "/"
    QString DbPath;  // AppPath + "karaoke.mdb"
    std::unique_ptr<Database> database;
    CatalogueStore *catalogueStore = nullptr;
    FileSystem *Fso = nullptr;
    Clock *clock = nullptr; // behind WaitSeconds

    int TwipsPerPixel = 15;
    int PageRows = 8;
    int PageNo = 0;
    QStringList SongKindNames;

    ResultTable SingerList{1001};
    ResultTable SongList{1501};
    PlayQueue OrderedSongs;

    bool InsertWindowOpen = false;
    int SoundChannel = 2;
    bool Recording = false;
    WavFileOpen *Recorder = nullptr;
    QString RecordFileName;
    int SingerSex = 0;
    QString SelectedSingerName;
    int SelectedKind = 0;

    Settings settings;
};

// The names of the song kinds 0 ... 7.
const QStringList &songKindNameTable();
