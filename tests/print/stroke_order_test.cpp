// Every list by title or singer comes in stroke order, as a Traditional-Chinese song book is
// read: the guests' lists, the manager's, the printed song book and list, the spreadsheet.
#include "print_fixture.h"
#include "xlsx_reader.h"

#include "catalogue/singer_records.h"
#include "catalogue/song_records.h"
#include "core/lookups.h"
#include "print/new_songs.h"
#include "print/song_book.h"

#include <functional>

namespace {

using Answer = MessageBoxes::Answer;

// Fewer strokes first (晴 has 12, 愛 13, 龍 16); digits before Chinese, Latin letters after it,
// letter case ignored. The titles are all two characters long: one section of the book.
const QStringList kTitles = {"10", "一歌", "人歌", "小歌", "山歌", "天歌", "雨歌", "晴天", "愛歌", "龍歌", "ab", "AC"};
const QStringList kSingers = {"10", "一", "人", "小", "山", "天", "雨", "晴天", "愛", "龍", "ab", "AC"};
// Stored neither in that order nor in the order of their character codes.
const int kStoredOrder[] = {9, 11, 7, 0, 5, 10, 2, 8, 4, 1, 6, 3};

class StrokeOrder : public PrintTest
{
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        ScopedTransaction transaction(catalogue.database());
        for (int i : kStoredOrder) {
            catalogue.addSinger(kSingers[i], 2);
            catalogue.addSong(number(1, 2, i + 1), 1, kTitles[i], singerCode);
        }
        transaction.commit();
    }

    static QStringList texts(const ResultTable &table)
    {
        QStringList texts;
        for (int i = 0; i < table.count(); ++i)
            texts.append(QString(table.row(i).text).remove(QStringLiteral("--歌手甲")));
        return texts;
    }

    // The titles on the first page of what print printed.
    QStringList firstPage(const std::function<void()> &print)
    {
        fakes.printer.documents.clear();
        fakes.messageBoxes.answers = {Answer::No};
        print();
        return songTitles(fakes.printer.documents.value(0).pages.value(0));
    }

    QStringList spreadsheet()
    {
        fakes.fileDialogs.answers = {home.file("new.xlsx")};
        print_new(state, fakes.services, QStringLiteral("2026/01/01"), QString(), PrintTarget::Excel);
        const XlsxReader sheet(home.file("new.xlsx"));
        QStringList titles;
        for (int row = 2; !sheet.text(QStringLiteral("B%1").arg(row)).isEmpty(); ++row)
            titles.append(sheet.text(QStringLiteral("B%1").arg(row)));
        return titles;
    }
};

TEST_F(StrokeOrder, TitlesAndSingersComeInStrokeOrderFromEveryList)
{
    const struct
    {
        const char *list;
        QStringList expected;
        std::function<QStringList()> read;
    } lists[] = {
        {"ordering by title length", kTitles,
         [&] { return LoadSongsByKindAndCount(state, 1, 2) ? texts(state.SongList) : QStringList(); }},
        {"a singer's songs", kTitles,
         [&] { return LoadSongsBySinger(state, singerCode) ? texts(state.SongList) : QStringList(); }},
        {"a group's singers", kSingers,
         [&] { return LoadSingersBySex(state, 2) ? texts(state.SingerList) : QStringList(); }},
        {"the singer choice", kSingers,
         [&] {
             QStringList names;
             for (const SingerRecord &singer : findSingersByPrefix(state.db(), QString()))
                 names.append(singer.singer_name);
             names.removeAll(QStringLiteral("歌手甲"));
             return names;
         }},
        {"the song search", kTitles,
         [&] {
             bool more = false;
             QStringList titles;
             for (const SongSearchHit &hit : searchSongs(state.db(), QString(), QString(), 100, &more))
                 titles.append(hit.song_name);
             return titles;
         }},
        {"the song book", kTitles, [&] { return firstPage([&] { print_all(state, fakes.services); }); }},
        {"the list of new songs", kTitles,
         [&] {
             return firstPage([&] {
                 print_new(state, fakes.services, QStringLiteral("2026/01/01"), QString(), PrintTarget::Printer);
             });
         }},
        {"the spreadsheet of new songs", kTitles, [&] { return spreadsheet(); }},
    };
    for (const auto &list : lists)
        EXPECT_EQ(list.read(), list.expected) << list.list;
}

} // namespace
