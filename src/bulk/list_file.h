#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One line of a batch list file: "媒體檔,歌名,種類,歌手,字數", fields after the fifth ignored.
struct ListFileLine
{
    enum class Kind { Ignored, TooFewFields, Song };

    Kind kind = Kind::Ignored;
    // The five fields, trimmed.
    QString media;
    QString title;
    QString kindName;
    QString singer;
    QString count;
};

// Blank lines and lines whose first non-blank character is "#" are ignored.
ListFileLine parseListFileLine(const QString &line);

// The lines of a list file: UTF-8 when the bytes are valid UTF-8, else Big5; a byte-order
// mark is dropped; CR LF, LF and a lone CR all end a line.
QStringList listFileLines(const QByteArray &bytes);

// The path as this machine names it, absolute and clean ("\" read as "/"): the same file is
// then always stored and looked up under the same text.
QString absolutePathOf(const QString &path);

// The folder a path lies in and its last component; "\" and "/" both separate.
QString folderOf(const QString &path);
QString fileNameOf(const QString &path);
