#include "manage/singer_registry.h"

#include "catalogue/record_checks.h"
#include "catalogue/singer_records.h"
#include "core/shared_state.h"
#include "platform/message_boxes.h"

namespace {
const QString kSearchFirst = QStringLiteral("請先按\"找\"鍵來確定輸入的歌手名稱");
}

SingerRegistry::SingerRegistry(SharedState &state, MessageBoxes &boxes)
    : m_state(state)
    , m_boxes(boxes)
{
}

bool SingerRegistry::acceptable(const QString &typedName, int sex)
{
    QString problem = singerSexProblem(sex);
    if (problem.isEmpty())
        problem = singerNameProblem(typedName);
    if (problem.isEmpty())
        return true;
    m_boxes.ok(problem);
    return false;
}

bool SingerRegistry::add(const QString &typedName, int sex)
{
    if (!acceptable(typedName, sex))
        return false;
    // Compared trimmed, as it will be stored: "王菲 " is the 王菲 already there.
    if (findSingerByName(m_state.db(), typedName.trimmed())) {
        m_boxes.ok(QStringLiteral("歌手名有重覆, 請修正後再執行\"新增\"功能"));
        return false;
    }
    insertSinger(m_state.catalogue(), typedName, sex);
    m_boxes.ok(QStringLiteral("新增歌手資料,") + typedName + QStringLiteral(",完成"));
    return true;
}

bool SingerRegistry::modify(qint64 code, const QString &typedName, int sex)
{
    if (!findSingerByCode(m_state.db(), code)) {
        m_boxes.ok(kSearchFirst);
        return false;
    }
    if (!acceptable(typedName, sex))
        return false;
    updateSinger(m_state.catalogue(), code, typedName, sex);
    m_boxes.ok(QStringLiteral("修歌手資料,") + typedName + QStringLiteral(",完成"));
    return true;
}

bool SingerRegistry::remove(qint64 code)
{
    const std::optional<SingerRecord> singer = findSingerByCode(m_state.db(), code);
    if (!singer) {
        m_boxes.ok(kSearchFirst);
        return false;
    }
    if (!m_boxes.yesNo(QStringLiteral("請問是否真的要幹掉") + singer->singer_name + QStringLiteral("這筆資料?")))
        return false;
    deleteSinger(m_state.catalogue(), code);
    m_boxes.ok(QStringLiteral("刪除歌手資料,") + singer->singer_name + QStringLiteral(",完成"));
    return true;
}

bool SingerRegistry::confirmNewSinger(const QString &typedName, int sex)
{
    if (!acceptable(typedName, sex))
        return false;
    if (!findSingerByName(m_state.db(), typedName.trimmed())) {
        insertSinger(m_state.catalogue(), typedName, sex);
        return true;
    }
    return m_boxes.yesNo(QStringLiteral("您所修正後的歌手名稱在資料庫中已經有同名的人了! "
                                        "請問這是不是本來您所要輸入的歌手名?"));
}
