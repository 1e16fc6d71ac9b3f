#include "print/charts_print.h"

#include "core/play_history.h"
#include "core/shared_state.h"
#include "platform/message_boxes.h"
#include "print/book_run.h"
#include "print/new_songs_export.h"

#include <vector>

namespace {

const QString kNothingSung = QStringLiteral("還沒有唱過的歌, 沒有熱門排行");

// Section 0 the last 30 days, section 1 the whole history.
std::vector<ListedSong> chartSongs(SharedState &state, qint64 now)
{
    std::vector<ListedSong> songs;
    const std::optional<qint64> periods[] = {now - qint64(PlayHistory::kChartDays) * 86400, std::nullopt};
    for (int section = 0; section < 2; ++section) {
        int place = 0;
        for (const ChartRow &row : PlayHistory::chart(state.db(), periods[section], PlayHistory::kChartLength, true))
            songs.push_back({section, 0, QStringLiteral("%1. %2").arg(++place).arg(row.title), row.songNum, row.singer});
    }
    return songs;
}

PrintResult withCharts(SharedState &state, PrintServices &services, qint64 now,
                       const std::function<PrintResult(const std::vector<ListedSong> &)> &write)
{
    return reportingCatalogueErrors(services.messageBoxes, [&] {
        const std::vector<ListedSong> songs = chartSongs(state, now);
        if (songs.empty()) {
            services.messageBoxes.ok(kNothingSung);
            return PrintResult::NoData;
        }
        return write(songs);
    });
}

} // namespace

PrintResult printCharts(SharedState &state, PrintServices &services, qint64 now)
{
    return withCharts(state, services, now, [&](const std::vector<ListedSong> &songs) {
        setBookFont(services);
        const BookSections sections{false, [](int section, int) {
                                        return section == 0 ? QStringLiteral("熱門排行 最近 %1 天").arg(PlayHistory::kChartDays)
                                                            : QStringLiteral("熱門排行 全部");
                                    }};
        return printSongList(services, QStringLiteral("熱門排行"), sections, songs);
    });
}

PrintResult exportCharts(SharedState &state, PrintServices &services, qint64 now)
{
    return withCharts(state, services, now,
                      [&](const std::vector<ListedSong> &songs) { return exportSongList(services, songs, state.AppPath); });
}
