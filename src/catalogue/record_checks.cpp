#include "catalogue/record_checks.h"

#include "catalogue/song_numbers.h"
#include "catalogue/song_records.h"
#include "core/build_date.h"

namespace {

constexpr int kKinds = 8;
constexpr int kLastCount = 254;
constexpr int kSexes = 3;

bool hasControlCharacter(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

} // namespace

QString titleProblem(const QString &title)
{
    if (title.isEmpty())
        return QStringLiteral("請輸入正確的曲目名");
    if (hasControlCharacter(title))
        return QStringLiteral("曲目名不可含有控制字元");
    if (title.size() > kMaxNameLength)
        return QStringLiteral("曲目名太長, 最多%1個字").arg(kMaxNameLength);
    return {};
}

QString singerNameProblem(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("請輸入合法的歌手名");
    if (hasControlCharacter(trimmed))
        return QStringLiteral("歌手名不可含有控制字元");
    if (trimmed.size() > kMaxNameLength)
        return QStringLiteral("歌手名太長, 最多%1個字").arg(kMaxNameLength);
    return {};
}

QString singerSexProblem(int sex)
{
    return sex >= 0 && sex < kSexes ? QString() : QStringLiteral("請選好歌手性別");
}

QString songRecordProblem(const SongRecord &song)
{
    if (!isSongNumberText(song.song_num.trimmed()))
        return QStringLiteral("請輸入正確的曲目編號");
    return songFieldsProblem(song);
}

QString songFieldsProblem(const SongRecord &song)
{
    if (song.song_kind < 0 || song.song_kind >= kKinds)
        return QStringLiteral("曲目種類不正確");
    if (const QString problem = titleProblem(song.song_name); !problem.isEmpty())
        return problem;
    if (song.song_text_count < 1 || song.song_text_count > kLastCount)
        return QStringLiteral("字數不對;字數應大於等於1 , 小於255");
    if (buildDateText(song.song_build_date) != song.song_build_date)
        return QStringLiteral("請指定好日期");
    if (song.song_location.trimmed().isEmpty() || hasControlCharacter(song.song_location))
        return QStringLiteral("檔案位置不正確");
    return {};
}
