#include "manage/duplicate_resolution.h"

#include "catalogue/song_file_removal.h"
#include "catalogue/song_files.h"
#include "catalogue/song_records.h"
#include "core/lookups.h"
#include "core/shared_state.h"
#include "manage/stored_message.h"
#include "platform/message_boxes.h"

namespace {
// The similar-song table of the window holds this many rows.
constexpr int kSimilarRows = 2001;
} // namespace

DuplicateResolution::DuplicateResolution(SharedState &state, FileSystem &fs, MessageBoxes &boxes, Variant variant,
                                         NewSong song, QString number)
    : m_state(state)
    , m_fs(fs)
    , m_boxes(boxes)
    , m_variant(variant)
    , m_song(std::move(song))
    , m_number(std::move(number))
    , m_similar(findSimilarTitles(state.db(), m_song.title, m_song.count, kSimilarRows))
{
}

QString DuplicateResolution::singerOf(int row) const
{
    return isRow(row) ? GetSingerName(m_state, m_similar[row].song_singer_code) : QString();
}

QString DuplicateResolution::newFile() const
{
    return songFilePath(m_state.AppPath, m_song.location);
}

QString DuplicateResolution::oldFile(int row) const
{
    if (!isRow(row))
        return {};
    const std::optional<SongRecord> old = findSong(m_state.db(), m_similar[row].song_num.trimmed());
    return old ? songFilePath(m_state.AppPath, old->song_location) : QString();
}

bool DuplicateResolution::store(const QString &title)
{
    NewSong song = m_song;
    song.title = title;
    RegisteredFiles registered(m_state.db(), m_state.AppPath);
    const RegistrationRules rules{{}, m_number, m_variant == Variant::Batch ? &registered : nullptr};
    const Registration registration = registerSong(m_state.catalogue(), m_fs, m_state.AppPath, song, rules);
    if (const QString problem = registrationProblem(registration, song.location); !problem.isEmpty()) {
        m_boxes.ok(problem);
        return false;
    }
    const QString work = m_variant == Variant::SongAdd ? QStringLiteral("建檔") : QStringLiteral("批次");
    m_boxes.ok(storedMessage(m_number, registration.number, work));
    m_song = song;
    m_number = registration.number;
    m_outcome = Outcome::Registered;
    return true;
}

bool DuplicateResolution::registerAnyway(const QString &title)
{
    return store(title);
}

bool DuplicateResolution::giveUp()
{
    if (oldSongDeleted()
        && !m_boxes.yesNo(QStringLiteral("原本的歌曲檔及其登錄已經被您刪除了,請問您是否真的要取消這首新進歌曲的新登錄?")))
        return false;
    if (!m_boxes.yesNo(QStringLiteral("您這新進的歌真的不登錄? 是否真的要算了而進行下一首歌的登錄?")))
        return false;
    if (m_boxes.yesNo(QStringLiteral("是否要一起刪除這新進歌曲的檔案?")))
        removeSongFile(m_state.db(), m_fs, m_boxes, m_state.AppPath, m_song.location, QString());
    m_outcome = Outcome::GivenUp;
    return true;
}

// The old rows go in a transaction of their own, committed before anything else is asked; the
// old file goes only after that, and stays when the new song or another song plays it.
bool DuplicateResolution::replaceOld(int row, const QString &title)
{
    if (!isRow(row) || oldSongDeleted())
        return false;
    if (!m_boxes.yesNo(QStringLiteral("若是刪除舊曲, 則舊曲的歌檔也會從系統中刪除掉!\n"
                                      "而舊曲的曲目編號也會即時讓給新的登錄!!\n請確定")))
        return false;
    const QString oldNum = m_similar[row].song_num.trimmed();
    const QString oldLocation = oldFile(row);
    deleteSong(m_state.catalogue(), oldNum);
    m_freedNumber = oldNum;
    m_number = oldNum;
    if (!oldLocation.isEmpty() && !isSameSongFile(oldLocation, newFile()))
        removeSongFile(m_state.db(), m_fs, m_boxes, m_state.AppPath, oldLocation, oldNum);
    return offerFreedNumber(title);
}

bool DuplicateResolution::offerFreedNumber(const QString &title)
{
    if (!m_boxes.yesNo(QStringLiteral("舊曲目已刪除, 是否讓新曲目替換上?")))
        return false;
    return store(title);
}

bool DuplicateResolution::close(const QString &title)
{
    if (oldSongDeleted() && m_outcome == Outcome::Undecided)
        offerFreedNumber(title);
    return true;
}

void DuplicateResolution::renameOld(int row, const QString &title)
{
    if (!isRow(row))
        return;
    renameSong(m_state.catalogue(), m_similar[row].song_num.trimmed(), title.trimmed());
    for (SimilarSong &song : m_similar)
        song.song_name = GetSongName(m_state, song.song_num.trimmed());
    m_boxes.ok(QStringLiteral("舊曲名已修改為") + title.trimmed());
}
