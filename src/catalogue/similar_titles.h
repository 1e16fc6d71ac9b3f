#pragma once

#include <QList>
#include <QString>

class Database;

// A song already in the catalogue whose title resembles a new one.
struct SimilarSong
{
    QString song_num;
    QString song_name;
    qint64 song_singer_code = 0;
};

// The songs of that character count whose title begins with title (trimmed), in the order
// they were registered; at most maxRows when it is not negative. Throws DatabaseError.
QList<SimilarSong> findSimilarTitles(Database &db, const QString &title, int count, int maxRows = -1);

// Every song whose title begins with title, of any character count: one entry per number and
// title, as the duplicate dialog of registration by file name lists them.
QList<SimilarSong> findTitlesBeginningWith(Database &db, const QString &title);

// The message that hands a similar title over to the duplicate-title window: the first
// similar song, its number and its singer, then ending (",類似曲名. 請修改或取消登錄!!" when
// registering one song, ",有類似曲名. 請修改或取消登錄!!" in a batch).
QString similarTitleMessage(const SimilarSong &song, const QString &singerName, const QString &ending);
inline const QString kSimilarTitleEnding = QStringLiteral(",類似曲名. 請修改或取消登錄!!");
inline const QString kBatchSimilarTitleEnding = QStringLiteral(",有類似曲名. 請修改或取消登錄!!");
