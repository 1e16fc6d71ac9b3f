#include "manage/song_edit_flow.h"

#include "catalogue/record_checks.h"
#include "catalogue/song_file_removal.h"
#include "core/build_date.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "platform/message_boxes.h"

SongEditFlow::SongEditFlow(SharedState &state, FileSystem &fs, MessageBoxes &boxes,
                           MissingSingerDecision &missingSinger)
    : m_state(state)
    , m_fs(fs)
    , m_boxes(boxes)
    , m_missingSinger(missingSinger)
{
}

QList<SongSearchHit> SongEditFlow::search(const QString &titleFragment, const QString &singerFragment)
{
    bool more = false;
    const QList<SongSearchHit> hits = searchSongs(m_state.db(), titleFragment, singerFragment.trimmed(), kListRows, &more);
    if (more)
        m_boxes.ok(QStringLiteral("符合的歌曲超過%1首, 只列出前%1首; 請輸入更多的搜尋條件").arg(kListRows));
    return hits;
}

std::optional<SongEditForm> SongEditFlow::pick(const QString &number)
{
    const std::optional<SongRecord> song = findSong(m_state.db(), number);
    if (!song) {
        m_boxes.ok(kNotFoundText + number);
        return std::nullopt;
    }
    return SongEditForm{song->song_num,
                        song->song_name,
                        song->song_kind,
                        song->song_text_count,
                        buildDateText(song->song_build_date).value_or(song->song_build_date),
                        song->song_location,
                        GetSingerName(m_state, song->song_singer_code)};
}

bool SongEditFlow::refuse(const QString &message)
{
    m_boxes.ok(message);
    return false;
}

// The number itself is never changed here: an edited number box is refused, naming the song.
bool SongEditFlow::numberUnchanged(const QString &current, const QString &numberBox)
{
    const std::optional<SongRecord> song = findSong(m_state.db(), current);
    if (!song)
        return refuse(kNotFoundText + current);
    if (song->song_num == numberBox)
        return true;
    return refuse(song->song_name + QStringLiteral("與編號") + song->song_num + QLatin1Char(',')
                  + GetSingerName(m_state, song->song_singer_code) + QStringLiteral(",同一曲名. 請修改後再存一次!!"));
}

bool SongEditFlow::save(const QString &current, const SongEditForm &form, SongEditForm *saved)
{
    const std::optional<QString> date = buildDateText(form.buildDate);
    if (!date)
        return refuse(QStringLiteral("請指定好日期"));
    if (const QString problem = titleProblem(form.title); !problem.isEmpty())
        return refuse(problem);
    if (form.kind < 0 || form.count < 1)
        return refuse(QStringLiteral("請選好曲目種類及字數"));
    if (!numberUnchanged(current, form.number))
        return false;
    const std::optional<SettledSinger> singer = settleSinger(m_state.db(), m_missingSinger, form.singerName);
    if (!singer)
        return false;
    updateSong(m_state.catalogue(), {current, form.kind, form.title, form.count, singer->code, *date, form.location});
    *saved = form;
    saved->buildDate = *date;
    saved->singerName = singer->name;
    return true;
}

bool SongEditFlow::remove(const QString &current)
{
    const QString question = QStringLiteral("是否要刪除編號") + current + QLatin1Char(',') + GetSongName(m_state, current);
    if (!m_boxes.yesNo(question + QStringLiteral(",這首歌?")))
        return false;
    const bool withFile = m_boxes.yesNo(question + QStringLiteral(",這首歌的檔?"));
    const std::optional<SongRecord> song = findSong(m_state.db(), current);
    // The rows go first: if they cannot, the file stays too.
    deleteSong(m_state.catalogue(), current);
    if (withFile && song)
        removeSongFile(m_state.db(), m_fs, m_boxes, m_state.AppPath, song->song_location, current);
    return true;
}
