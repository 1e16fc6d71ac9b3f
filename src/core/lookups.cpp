#include "core/lookups.h"

#include "core/database.h"
#include "core/shared_state.h"
#include "core/small_routines.h"
#include "core/stroke_order.h"

namespace {

const QString kSongByNumber = QStringLiteral("SELECT * FROM song WHERE song_num = ?");

QString firstField(Database &db, const QString &sql, const SqlValue &value, const QString &field,
                   const QString &notFound)
{
    QString result = notFound;
    db.forEachRow(sql, {value}, [&](const RowView &row) {
        result = row.text(row.columnIndex(field));
        return false;
    });
    return result;
}

// Fills a list from a query whose first two columns are the row's key and text.
bool loadList(ResultTable &list, Database &db, const QString &sql, SqlValues values)
{
    list.clear();
    db.forEachRow(sql, values, [&list](const RowView &row) { return list.append({row.text(0), row.text(1)}); });
    return list.count() > 0;
}

bool extensionInList(const QString &fileName, const QString &list)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString extension = (dot < 0 ? fileName : fileName.mid(dot + 1)).trimmed().toUpper();
    const QStringList items = list.split(QLatin1Char(','));
    for (const QString &item : items) {
        if (item.trimmed().toUpper() == extension)
            return true;
    }
    return false;
}

} // namespace

int SongKindCode(const SharedState &state, const QString &name)
{
    return int(state.SongKindNames.indexOf(name));
}

QString GetSingerName(const SharedState &state, qint64 singerCode)
{
    return firstField(state.db(), QStringLiteral("SELECT * FROM singer WHERE singer_code = ?"), singerCode,
                      QStringLiteral("singer_name"), kNotFoundText);
}

QString GetSongName(const SharedState &state, const QString &songNum)
{
    return firstField(state.db(), kSongByNumber, songNum, QStringLiteral("song_name"), kNotFoundText + songNum);
}

QString GetSongLocation(const SharedState &state, const QString &songNum)
{
    return firstField(state.db(), kSongByNumber, songNum, QStringLiteral("song_location"), kNotFoundText + songNum);
}

bool LoadSingersBySex(SharedState &state, int sex)
{
    return loadList(state.SingerList, state.db(),
                    QStringLiteral("SELECT g.singer_code, g.singer_name FROM ") + StrokeOrder::kSingers
                        + QStringLiteral("WHERE o.singer_sex = ? ORDER BY ") + StrokeOrder::kName,
                    {sex});
}

bool LoadSongsBySinger(SharedState &state, qint64 singerCode)
{
    return loadList(state.SongList, state.db(),
                    QStringLiteral("SELECT s.song_num, s.song_name FROM ") + StrokeOrder::kSongs
                        + QStringLiteral("WHERE o.song_singer_code = ? ORDER BY o.song_text_count, ") + StrokeOrder::kTitle,
                    {singerCode});
}

// The singer's name comes with each song in the same query; a song whose singer row is
// missing shows "找不到" in its place.
bool LoadSongsByKindAndCount(SharedState &state, int kind, int count)
{
    static const QString select =
        QStringLiteral("SELECT s.song_num, s.song_name || '--' || coalesce(g.singer_name, '找不到') FROM ")
        + StrokeOrder::kSongsWithSinger;
    if (count >= 10) {
        return loadList(state.SongList, state.db(),
                        select + QStringLiteral("WHERE o.song_kind = ? AND o.song_text_count > 9 ORDER BY o.song_text_count, ")
                            + StrokeOrder::kTitle,
                        {kind});
    }
    return loadList(state.SongList, state.db(),
                    select + QStringLiteral("WHERE o.song_kind = ? AND o.song_text_count = ? ORDER BY ") + StrokeOrder::kTitle,
                    {kind, count});
}

int AddToOrderList(SharedState &state, const QString &songNum)
{
    return AddToOrderList(state, songNum, Orderer{});
}

int AddToOrderList(SharedState &state, const QString &songNum, const Orderer &by)
{
    ReadTransaction read(state.db());
    Recordset rs = state.db().OpenRecordset(kSongByNumber, {songNum}, 1);
    if (rs.eof())
        return kSongNotFound;
    if (state.OrderedSongs.isFull())
        return kQueueFull;
    QueueRow row;
    row.key = rs.text(QStringLiteral("song_num"));
    row.title = rs.text(QStringLiteral("song_name"));
    row.singer = GetSingerName(state, rs.field(QStringLiteral("song_singer_code")).toLongLong());
    row.text = row.title + QStringLiteral("--") + row.singer;
    row.by = by;
    rs.close();
    return state.OrderedSongs.append(std::move(row));
}

bool IsMenuMediaFile(const SharedState &state, const QString &menuState, const QString &fileName)
{
    if (menuState.startsWith(QLatin1String("8_1")))
        return extensionInList(fileName, state.settings.ExtMusic);
    if (menuState.startsWith(QLatin1String("8_2")))
        return extensionInList(fileName, state.settings.ExtPicture + QLatin1Char(',') + state.settings.ExtPictureMov);
    return false;
}

bool IsMovieFile(const SharedState &state, const QString &fileName)
{
    return extensionInList(fileName, state.settings.ExtPictureMov);
}
