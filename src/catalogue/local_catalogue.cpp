#include "catalogue/local_catalogue.h"

#include "catalogue/song_files.h"
#include "catalogue/song_loudness.h"
#include "catalogue/song_numbers.h"
#include "catalogue/song_records.h"
#include "catalogue/song_registration.h"
#include "core/database.h"
#include "core/derived_rows.h"

class LocalCatalogue::Rows : public CatalogueRows
{
public:
    explicit Rows(Database &db) : m_db(db) {}

    bool isFileRegistered(const QString &path, const QString &, RegisteredFiles &files) override
    {
        return files.containsSong(path);
    }
    // The write transaction holds the file's one write lock: every number is held already.
    void lockNumbers(const QStringList &) override {}
    bool isNumberTaken(const QString &number) override { return isSongNumberTaken(m_db, number); }
    void forEachNumber(const QString &prefix, const std::function<void(QStringView)> &onNumber) override
    {
        forEachSongNumber(m_db, prefix, onNumber);
    }
    void addSong(const QString &number, const NewSong &song) override
    {
        for (const qint64 singer : song.singerCodes) {
            m_db.ExecuteSql(QStringLiteral("INSERT INTO song (song_num, song_kind, song_name, song_text_count, "
                                           "song_singer_code, song_build_date, song_location) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                            {number, song.kind, song.title, song.count, singer, song.buildDate, song.location});
        }
    }
    void updateSong(const SongRecord &song) override
    {
        m_db.ExecuteSql(QStringLiteral("UPDATE song SET song_kind = ?, song_name = ?, song_text_count = ?, "
                                       "song_singer_code = ?, song_build_date = ?, song_location = ? WHERE song_num = ?"),
                        {song.song_kind, song.song_name, song.song_text_count, song.song_singer_code,
                         song.song_build_date, song.song_location, song.song_num});
    }
    void renameSong(const QString &songNum, const QString &title) override
    {
        m_db.ExecuteSql(QStringLiteral("UPDATE song SET song_name = ? WHERE song_num = ?"), {title, songNum});
    }
    void deleteSong(const QString &songNum) override
    {
        m_db.ExecuteSql(QStringLiteral("DELETE FROM song WHERE song_num = ?"), {songNum});
    }
    qint64 insertSinger(const QString &name, int sex) override
    {
        m_db.ExecuteSql(QStringLiteral("INSERT INTO singer (singer_name, singer_sex) VALUES (?, ?)"), {name, sex});
        return m_db.lastInsertRowId();
    }
    void updateSinger(qint64 code, const QString &name, int sex) override
    {
        m_db.ExecuteSql(QStringLiteral("UPDATE singer SET singer_name = ?, singer_sex = ? WHERE singer_code = ?"),
                        {name, sex, code});
    }
    void deleteSinger(qint64 code) override
    {
        m_db.ExecuteSql(QStringLiteral("DELETE FROM singer WHERE singer_code = ?"), {code});
    }
    void storeLoudness(const SongToMeasure &song, int state, const SongLoudness &loudness) override
    {
        const std::array<SqlValue, 6> v = loudnessColumnValues(loudness);
        const std::array<SqlValue, 2> stamp = stampColumnValues(song);
        m_db.ExecuteSql(QStringLiteral("INSERT OR REPLACE INTO song_loudness (song_row, song_location, loudness_state, "
                                       "lufs_1, peak_1, lufs_2, peak_2, lufs_3, peak_3, file_size, file_modified_ns) "
                                       "SELECT rowid, song_location, ?, ?, ?, ?, ?, ?, ?, ?, ? FROM song "
                                       "WHERE song_num = ? AND song_location = ? COLLATE BINARY"),
                        {state, v[0], v[1], v[2], v[3], v[4], v[5], stamp[0], stamp[1], song.songNum, song.location});
    }

private:
    Database &m_db;
};

LocalCatalogue::LocalCatalogue(Database &db)
    : m_db(db)
    , m_rows(std::make_unique<Rows>(db))
{
}

LocalCatalogue::~LocalCatalogue() = default;

void LocalCatalogue::change(const std::function<bool(CatalogueRows &)> &write)
{
    ScopedTransaction transaction(m_db);
    if (write(*m_rows))
        DerivedRows::makeMissingKeys(m_db, DerivedRows::Pace::WithAChange);
    transaction.commit();
}

void LocalCatalogue::beginGroup()
{
    if (!m_group)
        m_group.emplace(m_db);
}

void LocalCatalogue::endGroup()
{
    if (!m_group)
        return;
    try {
        m_group->commit();
    } catch (const DatabaseError &) {
        m_group.reset(); // rolls the group back
        throw;
    }
    m_group.reset();
}

CatalogueStoreMaker LocalCatalogue::maker()
{
    return [](Database &db) { return std::make_unique<LocalCatalogue>(db); };
}
