#include "venue/postgres_catalogue.h"

#include "catalogue/song_loudness.h"
#include "catalogue/song_numbers.h"
#include "catalogue/song_records.h"
#include "catalogue/song_registration.h"
#include "venue/room_copy.h"
#include "venue/server_connection.h"
#include "venue/server_schema.h"

#include <QStringList>

namespace {

// The advisory locks a registration takes on the numbers it may give: its kind and count's
// prefix, and a number it keeps or replaces outside that prefix.
constexpr int kNumberLock = 7202;

void lockNumbers(ServerConnection &server, const QString &prefix, const RegistrationRules &rules)
{
    QStringList keys{prefix};
    for (const QString &number : {rules.wantedNumber.trimmed(), rules.replacedNumber.trimmed()}) {
        if (!number.isEmpty() && !number.startsWith(prefix))
            keys.append(number);
    }
    keys.sort(); // always in one order, so two registrations never wait for each other
    keys.removeDuplicates();
    for (const QString &key : keys)
        server.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1, hashtext($1))").arg(kNumberLock), {key});
}

bool isTaken(ServerConnection &server, const QString &number)
{
    return server.exec(QStringLiteral("SELECT 1 FROM song WHERE song_num = $1 LIMIT 1"), {number}).size() > 0;
}

QString chosenNumber(ServerConnection &server, const QString &prefix, const RegistrationRules &rules)
{
    if (!rules.replacedNumber.isEmpty())
        return rules.replacedNumber.trimmed();
    const QString wanted = rules.wantedNumber.trimmed();
    if (isSongNumberText(wanted) && !isTaken(server, wanted))
        return wanted;
    TakenSerials taken(prefix);
    const ServerRows numbers =
        server.exec(QStringLiteral("SELECT song_num FROM song WHERE song_num LIKE $1"), {prefix + QLatin1Char('%')});
    for (int r = 0; r < numbers.size(); ++r)
        taken.mark(numbers.text(r, 0));
    return taken.firstFreeNumber();
}

bool fileRegistered(ServerConnection &server, const QString &path, const QString &stored)
{
    return server.exec(QStringLiteral("SELECT 1 FROM song WHERE song_location IN ($1, $2) LIMIT 1"), {path, stored})
               .size()
        > 0;
}

QString singerArray(const QList<qint64> &codes)
{
    QStringList texts;
    for (const qint64 code : codes)
        texts.append(QString::number(code));
    return QLatin1Char('{') + texts.join(QLatin1Char(',')) + QLatin1Char('}');
}

} // namespace

PostgresCatalogue::PostgresCatalogue(QString connectionString, MediaRoot mediaRoot, RoomCopy &copy)
    : m_connectionString(std::move(connectionString))
    , m_mediaRoot(std::move(mediaRoot))
    , m_copy(copy)
{
}

PostgresCatalogue::~PostgresCatalogue() = default;

ServerConnection &PostgresCatalogue::begin()
{
    if (m_server) {
        try {
            m_server->run(QStringLiteral("BEGIN"));
            return *m_server;
        } catch (const CatalogueUnreachable &) {
            m_server.reset(); // lost since the last change: nothing of this one was sent yet
        }
    }
    auto server = std::make_unique<ServerConnection>(m_connectionString);
    ServerSchema::prepare(*server);
    // A room whose own catalogue never came from this server writes nothing to it.
    m_copy.catchUp(*server);
    server->run(QStringLiteral("BEGIN"));
    m_server = std::move(server);
    return *m_server;
}

void PostgresCatalogue::change(const std::function<bool(ServerConnection &)> &work)
{
    ServerConnection &server = begin();
    bool changed = false;
    try {
        changed = work(server);
        server.run(QStringLiteral("COMMIT"));
    } catch (...) {
        if (server.isOpen()) {
            try {
                server.run(QStringLiteral("ROLLBACK"));
            } catch (const DatabaseError &) {
                // The server ends a transaction whose connection is gone by itself.
            }
        }
        throw;
    }
    if (!changed)
        return;
    if (m_grouped)
        m_changedInGroup = true;
    else
        catchUpCopy();
}

void PostgresCatalogue::catchUpCopy()
{
    try {
        m_copy.catchUp(*m_server);
    } catch (const DatabaseError &) {
        // The change is stored on the server; the room's sync brings it to the copy.
    }
}

Registration PostgresCatalogue::registerSong(const NewSong &song, const QString &path, const RegistrationRules &rules)
{
    Registration registration{Registration::Result::NoFreeNumber, {}};
    change([&](ServerConnection &server) {
        const QString prefix = songNumberPrefix(song.kind, song.count);
        lockNumbers(server, prefix, rules);
        const QString location = m_mediaRoot.toServer(song.location);
        if (rules.registeredFiles && fileRegistered(server, m_mediaRoot.toServer(path), location)) {
            registration = {Registration::Result::FileRegistered, {}};
            return false;
        }
        const QString number = chosenNumber(server, prefix, rules);
        if (number.isEmpty())
            return false;
        if (!rules.replacedNumber.isEmpty())
            server.exec(QStringLiteral("DELETE FROM song WHERE song_num = $1"), {number});
        server.exec(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, "
                                   "song_singer_code, song_build_date, song_location) "
                                   "SELECT $1, $2, $3, $4, singer, $5, $6 FROM unnest($7::bigint[]) "
                                   "WITH ORDINALITY AS s(singer, n) ORDER BY n"),
                    {number, song.kind, song.title, song.count, song.buildDate, location,
                     singerArray(song.singerCodes)});
        registration = {Registration::Result::Registered, number};
        return true;
    });
    return registration;
}

void PostgresCatalogue::updateSong(const SongRecord &song)
{
    change([&](ServerConnection &server) {
        server.exec(QStringLiteral("UPDATE song SET song_kind = $1, song_name = $2, song_text_count = $3, "
                                   "song_singer_code = $4, song_build_date = $5, song_location = $6 "
                                   "WHERE song_num = $7"),
                    {song.song_kind, song.song_name, song.song_text_count, song.song_singer_code,
                     song.song_build_date, m_mediaRoot.toServer(song.song_location), song.song_num});
        return true;
    });
}

void PostgresCatalogue::renameSong(const QString &songNum, const QString &title)
{
    change([&](ServerConnection &server) {
        server.exec(QStringLiteral("UPDATE song SET song_name = $1 WHERE song_num = $2"), {title, songNum});
        return true;
    });
}

void PostgresCatalogue::deleteSong(const QString &songNum)
{
    change([&](ServerConnection &server) {
        server.exec(QStringLiteral("DELETE FROM song WHERE song_num = $1"), {songNum});
        return true;
    });
}

qint64 PostgresCatalogue::insertSinger(const QString &name, int sex)
{
    qint64 code = 0;
    change([&](ServerConnection &server) {
        code = server.exec(QStringLiteral("INSERT INTO singer (singer_name, singer_sex) VALUES ($1, $2) "
                                          "RETURNING singer_code"),
                           {name, sex})
                   .integer(0, 0);
        return true;
    });
    return code;
}

void PostgresCatalogue::updateSinger(qint64 code, const QString &name, int sex)
{
    change([&](ServerConnection &server) {
        server.exec(QStringLiteral("UPDATE singer SET singer_name = $1, singer_sex = $2 WHERE singer_code = $3"),
                    {name, sex, code});
        return true;
    });
}

void PostgresCatalogue::deleteSinger(qint64 code)
{
    change([&](ServerConnection &server) {
        server.exec(QStringLiteral("DELETE FROM singer WHERE singer_code = $1"), {code});
        return true;
    });
}

void PostgresCatalogue::storeLoudness(const SongToMeasure &song, int state, const SongLoudness &loudness)
{
    const std::array<SqlValue, 6> values = loudnessColumnValues(loudness);
    change([&](ServerConnection &server) {
        server.exec(QStringLiteral("UPDATE song SET song_loudness_state = $1, song_lufs_1 = $2, song_peak_1 = $3, "
                                   "song_lufs_2 = $4, song_peak_2 = $5, song_lufs_3 = $6, song_peak_3 = $7 "
                                   "WHERE song_num = $8 AND song_location = $9"),
                    {state, values[0], values[1], values[2], values[3], values[4], values[5], song.songNum,
                     m_mediaRoot.toServer(song.location)});
        return true;
    });
}

void PostgresCatalogue::beginGroup()
{
    m_grouped = true;
}

void PostgresCatalogue::endGroup()
{
    m_grouped = false;
    if (std::exchange(m_changedInGroup, false) && m_server)
        catchUpCopy();
}
