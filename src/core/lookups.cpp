#include "core/lookups.h"

#include "core/database.h"
#include "core/shared_state.h"
#include "core/small_routines.h"

#include <QHash>
#include <QSet>

namespace {

QString songByNumberSql(const QString &songNum)
{
    return QStringLiteral("SELECT * FROM song WHERE song_num = ") + sqlText(songNum);
}

QString firstField(const QString &sql, const QString &dbPath, const QString &field, const QString &notFound)
{
    Recordset rs = OpenRecordset(sql, dbPath, 1);
    const QString result = rs.eof() ? notFound : rs.text(field);
    rs.close();
    return result;
}

// Singer names of the given codes from one query; codes without a singer row get "找不到".
QHash<qint64, QString> singerNames(const QSet<qint64> &codes, const QString &dbPath)
{
    QHash<qint64, QString> names;
    if (codes.isEmpty())
        return names;
    QStringList list;
    list.reserve(codes.size());
    for (qint64 code : codes)
        list.append(QString::number(code));
    // The codes go in as one JSON list, so the same prepared query serves every list.
    Recordset rs = OpenRecordset(QStringLiteral("SELECT singer_code, singer_name FROM singer WHERE singer_code IN "
                                                "(SELECT value FROM json_each('[")
                                     + list.join(QLatin1Char(',')) + QStringLiteral("]'))"),
                                 dbPath);
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        names.insert(rs.value(0).toLongLong(), rs.value(1).toString());
    rs.close();
    return names;
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

QString sqlText(const QString &value)
{
    return QLatin1Char('\'') + ReplaceChar(value, QStringLiteral("'"), QStringLiteral("''")) + QLatin1Char('\'');
}

int SongKindCode(const SharedState &state, const QString &name)
{
    return int(state.SongKindNames.indexOf(name));
}

QString GetSingerName(const SharedState &state, qint64 singerCode)
{
    return firstField(QStringLiteral("SELECT * FROM singer WHERE singer_code = ") + QString::number(singerCode),
                      state.DbPath, QStringLiteral("singer_name"), kNotFoundText);
}

QString GetSongName(const SharedState &state, const QString &songNum)
{
    return firstField(songByNumberSql(songNum), state.DbPath, QStringLiteral("song_name"), kNotFoundText + songNum);
}

QString GetSongLocation(const SharedState &state, const QString &songNum)
{
    return firstField(songByNumberSql(songNum), state.DbPath, QStringLiteral("song_location"),
                      kNotFoundText + songNum);
}

bool LoadSingersBySex(SharedState &state, int sex)
{
    state.SingerList.clear();
    Recordset rs = OpenRecordset(QStringLiteral("SELECT * FROM singer WHERE singer_sex = ") + QString::number(sex)
                                     + QStringLiteral(" ORDER BY singer_name"),
                                 state.DbPath, state.SingerList.capacity());
    const int code = rs.fieldIndex(QStringLiteral("singer_code"));
    const int name = rs.fieldIndex(QStringLiteral("singer_name"));
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        state.SingerList.append({rs.value(code).toString(), rs.value(name).toString()});
    rs.close();
    return state.SingerList.count() > 0;
}

bool LoadSongsBySinger(SharedState &state, qint64 singerCode)
{
    state.SongList.clear();
    Recordset rs = OpenRecordset(QStringLiteral("SELECT * FROM song WHERE song_singer_code = ")
                                     + QString::number(singerCode)
                                     + QStringLiteral(" ORDER BY song_text_count,song_name"),
                                 state.DbPath, state.SongList.capacity());
    const int num = rs.fieldIndex(QStringLiteral("song_num"));
    const int name = rs.fieldIndex(QStringLiteral("song_name"));
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        state.SongList.append({rs.value(num).toString(), rs.value(name).toString()});
    rs.close();
    return state.SongList.count() > 0;
}

bool LoadSongsByKindAndCount(SharedState &state, int kind, int count)
{
    state.SongList.clear();
    const QString sql = count >= 10
        ? QStringLiteral("SELECT * FROM song WHERE song_kind = ") + QString::number(kind)
            + QStringLiteral(" AND song_text_count > 9  ORDER BY song_text_count, song_name")
        : QStringLiteral("SELECT * FROM song WHERE song_kind = ") + QString::number(kind)
            + QStringLiteral(" AND song_text_count = ") + QString::number(count) + QStringLiteral(" ORDER BY song_name");
    ReadTransaction read(state.DbPath);
    Recordset rs = OpenRecordset(sql, state.DbPath, state.SongList.capacity());
    const int num = rs.fieldIndex(QStringLiteral("song_num"));
    const int name = rs.fieldIndex(QStringLiteral("song_name"));
    const int singer = rs.fieldIndex(QStringLiteral("song_singer_code"));
    QSet<qint64> codes;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        codes.insert(rs.value(singer).toLongLong());
    const QHash<qint64, QString> names = singerNames(codes, state.DbPath);
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        const QString singerName = names.value(rs.value(singer).toLongLong(), kNotFoundText);
        state.SongList.append({rs.value(num).toString(), rs.value(name).toString() + QStringLiteral("--") + singerName});
    }
    rs.close();
    return state.SongList.count() > 0;
}

int AddToOrderList(SharedState &state, const QString &songNum)
{
    ReadTransaction read(state.DbPath);
    Recordset rs = OpenRecordset(songByNumberSql(songNum), state.DbPath, 1);
    if (rs.eof())
        return kSongNotFound;
    if (state.OrderedSongs.isFull())
        return kQueueFull;
    const QString text = rs.text(QStringLiteral("song_name")) + QStringLiteral("--")
        + GetSingerName(state, rs.field(QStringLiteral("song_singer_code")).toLongLong());
    const QString number = rs.text(QStringLiteral("song_num"));
    rs.close();
    return state.OrderedSongs.append({number, text});
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
