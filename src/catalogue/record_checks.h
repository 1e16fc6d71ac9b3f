#pragma once

#include <QString>

struct SongRecord;

// What the catalogue stores, checked in one place for every window and every run: each
// function gives the reason a value cannot be stored, or an empty text when it can.

// Titles and singer names are at most this many characters: a printed page, a spreadsheet
// cell and a list line all have to hold them.
constexpr int kMaxNameLength = 255;

// A title: not empty, no control characters, not too long. A title of blanks passes, as the
// song-add window has it.
QString titleProblem(const QString &title);
// A singer's name, trimmed: not empty, no control characters, not too long.
QString singerNameProblem(const QString &name);
// A singer's sex code: 0, 1 or 2.
QString singerSexProblem(int sex);
// The fields of a song record but its number: kind, title, count, date and file location.
QString songFieldsProblem(const SongRecord &song);
// Every field of a song record, its number too.
QString songRecordProblem(const SongRecord &song);
