#include "app/loudness_tasks.h"

#include "catalogue/loudness_survey.h"
#include "core/database_error.h"
#include "core/shared_state.h"
#include "platform/gst/gst_loudness_meter.h"

#include <QTextStream>

namespace {

QString outcomeText(LoudnessMeter::Outcome outcome)
{
    switch (outcome) {
    case LoudnessMeter::Outcome::Measured:
        return QStringLiteral("已測量");
    case LoudnessMeter::Outcome::Undecodable:
        return QStringLiteral("無法解碼, 不再測量");
    case LoudnessMeter::Outcome::Unavailable:
        return QStringLiteral("暫時無法讀取, 下次再測");
    case LoudnessMeter::Outcome::TimedOut:
        return QStringLiteral("測量太久已停止, 下次再測");
    case LoudnessMeter::Outcome::Stopped:
        break;
    }
    return {};
}

} // namespace

int measureLoudness(SharedState &state, QTextStream &out, qint64 afterRow)
{
    const int total = countSongsToMeasure(state.db(), state.AppPath, afterRow);
    if (total == 0) {
        out << QStringLiteral("音量測量: 沒有待測量的歌曲") << Qt::endl;
        return 0;
    }
    out << QStringLiteral("測量音量: %1 首歌曲待測量 (可隨時中斷, 下次接著測量)").arg(total) << Qt::endl;
    GstLoudnessMeter meter;
    LoudnessSurvey survey(state.db(), state.catalogue(), state.AppPath, meter, afterRow);
    const std::atomic<bool> stop{false};
    int counts[5] = {0, 0, 0, 0, 0};
    int done = 0;
    int exitCode = 0;
    try {
        while (const std::optional<LoudnessSurvey::Step> step = survey.measureNext(stop)) {
            ++counts[int(step->outcome)];
            out << QStringLiteral("[%1/%2] %3 %4").arg(++done).arg(total).arg(step->song.songNum, outcomeText(step->outcome))
                << Qt::endl;
        }
    } catch (const DatabaseError &e) {
        out << QStringLiteral("音量測量中止: ") << e.message() << Qt::endl;
        exitCode = 1;
    }
    out << QStringLiteral("音量測量%1: 已測量 %2 首, 無法解碼 %3 首, 暫時無法讀取 %4 首, 測量太久 %5 首")
               .arg(exitCode == 0 ? QStringLiteral("完成") : QStringLiteral("未完成"))
               .arg(counts[int(LoudnessMeter::Outcome::Measured)])
               .arg(counts[int(LoudnessMeter::Outcome::Undecodable)])
               .arg(counts[int(LoudnessMeter::Outcome::Unavailable)])
               .arg(counts[int(LoudnessMeter::Outcome::TimedOut)])
        << Qt::endl;
    return exitCode;
}
