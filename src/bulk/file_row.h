#pragma once

#include "bulk/song_file_name.h"

#include <QString>

// What happens to a file when the folder is registered.
enum class RowCommand : unsigned char {
    NoCommand = 0,  // a similar title is registered; the owner has not decided yet
    AddAnyway = 1,  // 新增
    Replace = 2,    // 取代: the new file takes the number of an old song, whose file is deleted
    DeleteFile = 3, // 刪除本檔
    Registered = 4, // the file is some song's location already
    Ready = 255,    // no similar title
};

enum class SingerState : unsigned char { Missing = 0, Known = 1, NotTested = 255 };

// One listed file of the folder being registered by file name.
struct FileRow
{
    QString path;
    QString singerField;
    QString title;
    QString kindName;
    int count = kInvalidCount;
    SingerState singerState = SingerState::NotTested;
    RowCommand command = RowCommand::Ready;
    QString replacedNumber; // the old song's number for Replace
    FileNameError formatError = FileNameError::None;
    bool confirmed = true;

    // The path is the folder, "/" and the name as the folder gives it ("\" is part of a name).
    QString fileName() const;
    QString folder() const;
    // The name as the owner reads it: a name that is not UTF-8 read as Big5.
    QString shownName() const;
    bool hasSimilarTitle() const { return command != RowCommand::Ready && command != RowCommand::Registered; }
    // After a decision (a singer added, a command chosen): confirmed when nothing is left open.
    void reconfirm();
};

// The row's line in the file list (lstFileContent).
QString lstFileContent(const FileRow &row);

// What the message line says when the row is selected. showAddSinger and showRepeat tell
// whether the "新歌手" and "曲目重覆" frames appear with it.
struct SelectionMessage
{
    QString text;
    bool showAddSinger = false;
    bool showRepeat = false;
};
SelectionMessage selectionMessage(const FileRow &row);

// The line that says which command a row with a similar title has (" 曲目於資料庫中有類似的! ...").
QString similarTitleMessage(RowCommand command);
