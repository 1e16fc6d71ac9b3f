#include "manage/song_add_flow.h"

#include "catalogue/record_checks.h"
#include "catalogue/similar_titles.h"
#include "catalogue/song_files.h"
#include "catalogue/song_numbers.h"
#include "catalogue/song_registration.h"
#include "core/build_date.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "core/small_routines.h"
#include "manage/stored_message.h"
#include "platform/cdg/cdg_song.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"

SongAddFlow::SongAddFlow(SharedState &state, FileSystem &fs, MessageBoxes &boxes, SongAddDecisions &decisions)
    : m_state(state)
    , m_fs(fs)
    , m_boxes(boxes)
    , m_decisions(decisions)
{
}

QString SongAddFlow::proposedNumber(int kind, int count)
{
    return Get_NewSongNum(m_state.db(), kind, count);
}

bool SongAddFlow::refuse(const QString &message)
{
    m_boxes.ok(message);
    return false;
}

bool SongAddFlow::formAcceptable(const SongAddForm &form, QString *date)
{
    const std::optional<QString> typed = buildDateText(form.buildDate);
    if (!typed)
        return refuse(QStringLiteral("請指定好日期"));
    if (!isSongNumberText(form.number.trimmed()) || form.kind < 0 || form.count < 1)
        return refuse(QStringLiteral("請輸入正確的曲目編號"));
    if (const QString problem = titleProblem(form.title); !problem.isEmpty())
        return refuse(problem);
    const QString file = songFilePath(m_state.AppPath, form.location);
    if (!FileExists(m_fs, file))
        return refuse(QStringLiteral("您所指定的檔案並不存在ㄛ!"));
    if (const CdgSong cdg = findCdgSong(file); cdg.isCdg && !cdg.playable())
        return refuse(cdg.problem + QLatin1Char('!'));
    *date = *typed;
    return true;
}

SongAddFlow::Outcome SongAddFlow::save(const SongAddForm &form, QString *singerName)
{
    QString date;
    if (!formAcceptable(form, &date))
        return Outcome::Refused;
    const std::optional<SettledSinger> singer = settleSinger(m_state.db(), m_decisions, form.singerName);
    // Closed without a singer: nothing may be stored, and the owner's input stays.
    if (!singer)
        return Outcome::Refused;
    *singerName = singer->name;
    const QString number = form.number.trimmed();
    const NewSong song{form.kind, form.count, form.title, {singer->code}, date, form.location.trimmed()};
    const QList<SimilarSong> similar = findSimilarTitles(m_state.db(), song.title, song.count, 1);
    if (!similar.isEmpty()) {
        const SimilarSong &first = similar.first();
        m_boxes.ok(similarTitleMessage(first, GetSingerName(m_state, first.song_singer_code), kSimilarTitleEnding));
        m_decisions.resolveSimilarTitle(song, number);
        return Outcome::HandedOver;
    }
    const Registration registration = registerSong(m_state.catalogue(), m_fs, m_state.AppPath, song, {{}, number, nullptr});
    if (const QString problem = registrationProblem(registration, song.location); !problem.isEmpty()) {
        refuse(problem);
        return Outcome::Refused;
    }
    m_boxes.ok(storedMessage(number, registration.number, QStringLiteral("建檔")));
    return Outcome::Stored;
}
