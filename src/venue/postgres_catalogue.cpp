#include "venue/postgres_catalogue.h"

#include "catalogue/song_files.h"
#include "catalogue/song_loudness.h"
#include "catalogue/song_records.h"
#include "catalogue/song_registration.h"
#include "venue/room_copy.h"
#include "venue/server_connection.h"
#include "venue/server_schema.h"
#include "venue/server_wait.h"

#include <QStringList>

#include <atomic>
#include <exception>
#include <thread>

namespace {

// The advisory locks a registration takes on the numbers it may give, and the venue-wide one
// held from its first decision (is the file registered, is the singer there, which number) to
// its commit: registrations are rare, and two rooms deciding at once decide wrong.
constexpr int kNumberLock = 7202;
constexpr int kRegistrationLock = 7203;

// Whatever the server's default: what a change reads under its locks is what was committed before.
const QString kBegin = QStringLiteral("BEGIN ISOLATION LEVEL READ COMMITTED READ WRITE");

QString singerArray(const QList<qint64> &codes)
{
    QStringList texts;
    for (const qint64 code : codes)
        texts.append(QString::number(code));
    return QLatin1Char('{') + texts.join(QLatin1Char(',')) + QLatin1Char('}');
}

// A text[] literal: every element quoted, its quotes and backslashes escaped.
QString textArray(const QStringList &texts)
{
    QStringList quoted;
    for (QString text : texts) {
        text.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
        quoted.append(QLatin1Char('"') + text + QLatin1Char('"'));
    }
    return QLatin1Char('{') + quoted.join(QLatin1Char(',')) + QLatin1Char('}');
}

} // namespace

// The server's rows inside the change's transaction; song files as the server keeps them.
class PostgresCatalogue::Rows : public CatalogueRows
{
public:
    Rows(ServerConnection &server, const MediaRoot &mediaRoot)
        : m_server(server)
        , m_mediaRoot(mediaRoot)
    {
    }

    // A CD+G pair is one song, whichever of its two files it was registered with.
    bool isFileRegistered(const QString &path, const QString &location, RegisteredFiles &) override
    {
        holdRegistrations();
        QStringList locations{m_mediaRoot.toServer(location)};
        for (const QString &part : songFileParts(path))
            locations.append(m_mediaRoot.toServer(part));
        locations.removeDuplicates();
        return m_server.exec(QStringLiteral("SELECT 1 FROM song WHERE song_location = ANY ($1::text[]) LIMIT 1"),
                             {textArray(locations)})
                   .size()
            > 0;
    }
    void lockNumbers(const QStringList &numbers) override
    {
        holdRegistrations();
        for (const QString &number : numbers)
            m_server.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1, hashtext($1))").arg(kNumberLock), {number});
    }
    bool isNumberTaken(const QString &number) override
    {
        return m_server.exec(QStringLiteral("SELECT 1 FROM song WHERE song_num = $1 LIMIT 1"), {number}).size() > 0;
    }
    void forEachNumber(const QString &prefix, const std::function<void(QStringView)> &onNumber) override
    {
        const ServerRows numbers =
            m_server.exec(QStringLiteral("SELECT song_num FROM song WHERE song_num LIKE $1"), {prefix + QLatin1Char('%')});
        for (int r = 0; r < numbers.size(); ++r)
            onNumber(numbers.text(r, 0));
    }
    void addSong(const QString &number, const NewSong &song) override
    {
        m_server.exec(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, "
                                     "song_singer_code, song_build_date, song_location) "
                                     "SELECT $1, $2, $3, $4, singer, $5, $6 FROM unnest($7::bigint[]) "
                                     "WITH ORDINALITY AS s(singer, n) ORDER BY n"),
                      {number, song.kind, song.title, song.count, song.buildDate, m_mediaRoot.toServer(song.location),
                       singerArray(song.singerCodes)});
    }
    void updateSong(const SongRecord &song) override
    {
        m_server.exec(QStringLiteral("UPDATE song SET song_kind = $1, song_name = $2, song_text_count = $3, "
                                     "song_singer_code = $4, song_build_date = $5, song_location = $6 "
                                     "WHERE song_num = $7"),
                      {song.song_kind, song.song_name, song.song_text_count, song.song_singer_code,
                       song.song_build_date, m_mediaRoot.toServer(song.song_location), song.song_num});
    }
    void renameSong(const QString &songNum, const QString &title) override
    {
        m_server.exec(QStringLiteral("UPDATE song SET song_name = $1 WHERE song_num = $2"), {title, songNum});
    }
    void deleteSong(const QString &songNum) override
    {
        m_server.exec(QStringLiteral("DELETE FROM song WHERE song_num = $1"), {songNum});
    }
    // A singer another room has just made (and this room's copy has not yet) is that singer.
    qint64 insertSinger(const QString &name, int sex) override
    {
        holdRegistrations();
        const ServerRows known = m_server.exec(
            QStringLiteral("SELECT singer_code FROM singer WHERE singer_name = $1 ORDER BY singer_code LIMIT 1"), {name});
        if (known.size() > 0)
            return known.integer(0, 0);
        return m_server
            .exec(QStringLiteral("INSERT INTO singer (singer_name, singer_sex) VALUES ($1, $2) RETURNING singer_code"),
                  {name, sex})
            .integer(0, 0);
    }
    void updateSinger(qint64 code, const QString &name, int sex) override
    {
        m_server.exec(QStringLiteral("UPDATE singer SET singer_name = $1, singer_sex = $2 WHERE singer_code = $3"),
                      {name, sex, code});
    }
    void deleteSinger(qint64 code) override
    {
        m_server.exec(QStringLiteral("DELETE FROM singer WHERE singer_code = $1"), {code});
    }
    void storeLoudness(const SongToMeasure &song, int state, const SongLoudness &loudness) override
    {
        const std::array<SqlValue, 6> v = loudnessColumnValues(loudness);
        const std::array<SqlValue, 2> stamp = stampColumnValues(song);
        const QString file = m_mediaRoot.toServer(song.location);
        m_server.exec(QStringLiteral("UPDATE song SET song_loudness_state = $1, song_lufs_1 = $2, song_peak_1 = $3, "
                                     "song_lufs_2 = $4, song_peak_2 = $5, song_lufs_3 = $6, song_peak_3 = $7, "
                                     "song_loudness_file = $9, song_loudness_size = $10, "
                                     "song_loudness_modified_ns = $11 WHERE song_num = $8 AND song_location = $9"),
                      {state, v[0], v[1], v[2], v[3], v[4], v[5], song.songNum, file, stamp[0], stamp[1]});
    }

private:
    void holdRegistrations()
    {
        if (std::exchange(m_holdsRegistrations, true))
            return;
        m_server.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1, 0)").arg(kRegistrationLock));
    }

    ServerConnection &m_server;
    const MediaRoot &m_mediaRoot;
    bool m_holdsRegistrations = false;
};

PostgresCatalogue::PostgresCatalogue(QString connectionString, MediaRoot mediaRoot, std::shared_ptr<RoomCopy> copy)
    : m_connectionString(std::move(connectionString))
    , m_mediaRoot(std::move(mediaRoot))
    , m_copy(std::move(copy))
    , m_claims(m_connectionString)
{
}

PostgresCatalogue::~PostgresCatalogue() = default;

ServerConnection &PostgresCatalogue::begin()
{
    if (m_server) {
        try {
            m_server->run(kBegin);
            return *m_server;
        } catch (const CatalogueUnreachable &) {
            m_server.reset(); // lost since the last change: nothing of this one was sent yet
            if (*m_cancelled)
                throw;
        }
    }
    auto server = std::make_unique<ServerConnection>(m_connectionString, m_cancelled);
    ServerSchema::requireCatalogue(*server);
    // A room whose own catalogue never came from this server writes nothing to it.
    m_copy->catchUp(*server);
    server->run(kBegin);
    m_server = std::move(server);
    return *m_server;
}

void PostgresCatalogue::change(const std::function<bool(CatalogueRows &)> &write)
{
    *m_cancelled = false;
    if (m_wait)
        changeBeside(write);
    else
        changeHere(write);
}

void PostgresCatalogue::changeBeside(const std::function<bool(CatalogueRows &)> &write)
{
    std::atomic<bool> finished = false;
    std::exception_ptr failure;
    std::thread beside([&] {
        try {
            changeHere(write);
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
    });
    m_wait->waitUntil([&finished] { return finished.load(); }, [this] { *m_cancelled = true; });
    beside.join();
    if (failure)
        std::rethrow_exception(failure);
}

void PostgresCatalogue::changeHere(const std::function<bool(CatalogueRows &)> &write)
{
    ServerConnection &server = begin();
    bool changed = false;
    try {
        Rows rows(server, m_mediaRoot);
        changed = write(rows);
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
        m_copy->catchUp(*m_server);
    } catch (const DatabaseError &) {
        // The change is stored on the server; the room's sync brings it to the copy.
    }
}

std::unique_ptr<LoudnessClaim> PostgresCatalogue::claimLoudness(const SongToMeasure &song)
{
    return m_claims.claim(song.songNum, m_mediaRoot.toServer(song.location), song.stamp);
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
