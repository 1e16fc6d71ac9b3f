#pragma once

#include "core/play_queue.h"
#include "core/result_table.h"
#include "core/settings.h"

#include <QString>
#include <QStringList>

#include <memory>

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

    QString AppPath; // the program folder, ending in "/"
    QString DbPath;  // AppPath + "karaoke.mdb"
    std::unique_ptr<Database> database;
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
