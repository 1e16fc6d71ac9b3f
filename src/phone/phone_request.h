#pragma once

#include <QByteArray>
#include <QString>
#include <QUrlQuery>

#include <variant>

// What a phone asks for, once the part of its path after the token, its query and its body
// have passed every check. Only the fields of its kind are filled.
struct PhoneRequest
{
    enum class Kind {
        Page, Script, Style,                    // the page from the program's resources
        Info, Search, KindSongs, Singers, SingerSongs, Charts, Queue, Events, // reading
        Order, CutIn, Remove, Skip, Pause       // changing the queue or the song playing
    };

    Kind kind = Kind::Page;
    QString text;      // Search: what was typed
    int page = 1;      // the lists: from 1
    int songKind = 0;  // KindSongs: 0 ... 7
    int count = 1;     // KindSongs: title length, 10 for ten or more
    int group = 1;     // Singers: 1 women, 2 men, 3 groups and others
    qint64 code = 0;   // SingerSongs: the singer
    int period = 1;    // Charts: 1 the last 30 days, 2 all, 3 the last songs sung
    QString number;    // Order: the song's catalogue number
    QString name;      // Order: who orders
    QString phone;     // the phone's own id
    qint64 id = 0;     // CutIn, Remove: the queued song
    QString pin;       // the owner's actions: ManagerPin when one is set

    // Filled by the server, never read from the request: where it came from, and whether it
    // may do what only the owner may (the right PIN, or owner actions open to every phone).
    QString address;
    bool owner = false;
};

// Why a request is refused: the HTTP status and the short message the page shows.
struct PhoneRefusal
{
    int status = 400;
    QString message;
};

// A phone's name, song number and search text are short; a body is never more than this.
constexpr qsizetype kMaxBodyBytes = 4096;
// Lengths are in characters as the guest sees them (an emoji of a family or a flag is one),
// with at most ten UTF-16 units for each.
constexpr int kMaxNameLength = 20;
constexpr int kMaxSearchLength = 40;

// Checks a request whose token was right. path is what follows "/TOKEN/", undecoded.
std::variant<PhoneRequest, PhoneRefusal> parsePhoneRequest(const QByteArray &method, const QString &path,
                                                           const QUrlQuery &query, const QByteArray &body);
