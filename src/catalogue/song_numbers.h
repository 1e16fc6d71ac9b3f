#pragma once

#include <QString>

#include <bitset>
#include <functional>

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

// Hands each stored number that begins with a prefix to its second argument.
using NumberWalk = std::function<void(const QString &prefix, const std::function<void(QStringView)> &onNumber)>;

// The number with the lowest free serial from 1 for that kind and count among the numbers
// walk hands over: gaps left by deleted songs are filled first. Empty when every serial up to
// kLastSerial is taken. The one rule of the next number, wherever the numbers are read.
QString lowestFreeNumber(int kind, int count, const NumberWalk &walk);
// The next number in the catalogue file. Throws DatabaseError when it cannot be read.
QString Get_NewSongNum(Database &db, int kind, int count);
// Every number in the catalogue file that begins with prefix (read in the index, never the table).
void forEachSongNumber(Database &db, const QString &prefix, const std::function<void(QStringView)> &onNumber);

// True when text (already trimmed) is a whole number the song-number column can hold.
bool isSongNumberText(const QString &text);
