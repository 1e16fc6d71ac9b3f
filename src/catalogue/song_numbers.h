#pragma once

#include <QString>

#include <bitset>

class Database;

// Song numbers: the kind digit, the character count written with at least two digits and a
// serial written with at least three (wider past 999). Kind 1, five characters, serial 1
// gives 105001.

// The largest serial a number can carry.
constexpr int kLastSerial = 32767;
// The most digits a song number can have: one kind digit, a count up to 254, the last serial.
constexpr int kSongNumberMaxDigits = 9;

QString songNumberPrefix(int kind, int count);
QString songNumber(int kind, int count, int serial);

// The serials taken under one prefix, marked from the numbers stored under it: the number with
// the lowest unmarked serial is the next song's. A number not written as the rule writes
// serials ("0007", "12") takes none.
class TakenSerials
{
public:
    explicit TakenSerials(QString prefix) : m_prefix(std::move(prefix)) {}
    void mark(QStringView number);
    // Empty when every serial up to kLastSerial is taken.
    QString firstFreeNumber() const;

private:
    QString m_prefix;
    std::bitset<kLastSerial + 1> m_taken;
};

// The number with the lowest free serial from 1 for that kind and count: gaps left by deleted
// songs are filled first. Empty when every serial up to kLastSerial is taken. Throws
// DatabaseError when the catalogue cannot be read.
QString Get_NewSongNum(Database &db, int kind, int count);

// True when text (already trimmed) is a whole number the song-number column can hold.
bool isSongNumberText(const QString &text);
