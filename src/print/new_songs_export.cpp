#include "print/new_songs_export.h"

#include "platform/screen_fonts.h"
#include "catalogue/song_listing.h"
#include "core/shared_state.h"
#include "core/small_routines.h"
#include "platform/clock.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/spreadsheet.h"
#include "print/new_songs_filter.h"

#include <vector>

namespace {

constexpr int kBlockRows = 26; // a header row and 25 songs
constexpr int kSongsPerBlock = kBlockRows - 1;
constexpr int kLastColumn = 3;
constexpr double kFontSize = 25;
constexpr int kPrintZoom = 70;

// Fills the blocks; returns how many there are.
int fillBlocks(Spreadsheet &sheet, const std::vector<ListedSong> &songs)
{
    int row = 1;
    int sinceHeader = kSongsPerBlock; // the first row is a header
    int blocks = 0;
    for (const ListedSong &song : songs) {
        if (sinceHeader >= kSongsPerBlock) {
            sheet.setCell(row, 1, QStringLiteral("編號"));
            sheet.setCell(row, 2, QStringLiteral("歌曲名稱"));
            sheet.setCell(row, 3, QStringLiteral("演唱者"));
            sinceHeader = 0;
            ++row;
            ++blocks;
        }
        sheet.setCell(row, 1, song.num);
        sheet.setCell(row, 2, song.name);
        sheet.setCell(row, 3, song.singer);
        ++row;
        ++sinceHeader;
    }
    return blocks;
}

// A page break before every block but the first, so each block prints on a page of its own.
// The sheet holds only these manual breaks, so no automatic break needs moving out of the way.
// Returns how many blocks begin a page: fewer than all when the sheet holds no more breaks.
int breakIntoPages(Spreadsheet &sheet, int blocks)
{
    for (int k = 1; k < blocks; ++k) {
        if (!sheet.addPageBreakBefore(kBlockRows * k + 1))
            return k;
    }
    return blocks;
}

// Every block ruled over its full 26 rows, the last one too; the font and the page set-up.
void layOutPages(Spreadsheet &sheet, int blocks, const QDate &today)
{
    for (int k = 1; k <= blocks; ++k)
        sheet.setGridBorders(kBlockRows * (k - 1) + 1, 1, kBlockRows * k, kLastColumn);
    sheet.setFont(kScreenFontName, kFontSize);
    sheet.autoFitColumns(1, kLastColumn);
    Spreadsheet::PageSetup setup;
    setup.zoom = kPrintZoom;
    setup.centerHorizontally = true;
    setup.centerVertically = false;
    setup.header = QStringLiteral("&R列印日期 : ") + today.toString(QStringLiteral("yyyy/MM/dd"));
    setup.footer = QStringLiteral("&C第 &P 頁，共 &N 頁");
    sheet.setPageSetup(setup);
}

// Asks the owner for the file and writes the workbook there.
PrintResult saveWorkbook(Spreadsheet &sheet, PrintServices &services, const QString &folder, const QDate &today)
{
    const QString path = services.fileDialogs.saveFile(
        folder, QStringLiteral("Tolvek_Karaoke") + today.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".xlsx"),
        QStringLiteral("Excel Files(*.xlsx)"));
    if (path.isEmpty())
        return PrintResult::Stopped; // cancelled: the workbook is dropped unwritten
    QString error;
    if (!sheet.saveAs(path, &error)) {
        services.messageBoxes.ok(QStringLiteral("無法寫入 ") + path + QStringLiteral(" (") + error + QStringLiteral(")"));
        return PrintResult::Stopped;
    }
    return PrintResult::Done;
}

// What the owner is told when the sheet holds page breaks for the first pages only.
QString pagesRunOnText(int pages)
{
    return QStringLiteral("試算表最多只能分成 %1 頁, 第 %2 首以後的歌曲不再一頁 %3 首; 請用較晚的日期或關建字分次匯出")
        .arg(pages)
        .arg(pages * kSongsPerBlock + 1)
        .arg(kSongsPerBlock);
}

} // namespace

PrintResult exportNewSongs(SharedState &state, PrintServices &services, const NewSongsFilter &filter)
{
    const std::vector<ListedSong> songs = listSongsByNumber(state.db(), SongFilter::since(filter.date, filter.keyword));
    if (songs.empty()) {
        services.messageBoxes.ok(filter.noDataMessage());
        return PrintResult::NoData;
    }
    return exportSongList(services, songs, state.AppPath);
}

PrintResult exportSongList(PrintServices &services, const std::vector<ListedSong> &songs, const QString &folder)
{
    const QDate today = services.clock.now().date();
    std::unique_ptr<Spreadsheet> sheet = services.spreadsheets.create();
    const int blocks = fillBlocks(*sheet, songs);
    const int pages = breakIntoPages(*sheet, blocks);
    layOutPages(*sheet, blocks, today);
    const PrintResult result = saveWorkbook(*sheet, services, folder, today);
    if (result == PrintResult::Done && pages < blocks)
        services.messageBoxes.ok(pagesRunOnText(pages));
    return result;
}
