#pragma once

#include <QString>
#include <QStringList>

// The count a file table row holds when its name gives no valid count.
constexpr int kInvalidCount = 255;

// Why a song file's name cannot be read, by the code the file table keeps. A name that is not
// UTF-8 cannot be opened by the program; a "\" would split the song's stored path in two.
enum class FileNameError : unsigned char {
    None = 0,
    UnknownKind = 1,
    BadCount = 2,
    NotFourFields = 3,
    NotUtf8 = 4,
    Backslash = 5,
};

// What a song file's base name "歌手1+歌手2,歌名,種類,字數" says, every field trimmed.
struct SongFileName
{
    QString singerField;
    QString title;
    QString kindName;
    int kindCode = -1;
    int count = kInvalidCount;
    FileNameError formatError = FileNameError::None;
};

// The hint shown to the owner for naming files.
inline const QString kFileNameGrammar = QStringLiteral("歌手1+歌手2,歌名,種類,字數.副檔名");

// Reads a base name (file name without its extension) against the kind names 0 ... 7.
// An empty singer field or title counts as a missing field. A name that is not UTF-8 or holds
// a "\" is refused before its fields are read.
SongFileName parseSongFileName(const QString &baseName, const QStringList &kindNames);

// The singers of a singer field joined by "+", each trimmed; empty names are dropped.
QStringList splitSingers(const QString &singerField);

// The file name up to its last dot, and the text after it ("" when there is no dot).
QString baseNameOf(const QString &fileName);
QString extensionOf(const QString &fileName);

// The media extensions registration lists, in their order: dat, mpg, avi, mpeg, wav, mp3, mid,
// then the CD+G songs' cdg and zip (what such a file must hold is checked where it is listed).
const QStringList &supportedExtensions();
// True when the file's extension is one of them, whatever its case.
bool chkSupport(const QString &fileName);
