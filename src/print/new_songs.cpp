#include "print/new_songs.h"

#include "core/shared_state.h"
#include "platform/message_boxes.h"
#include "print/book_run.h"
#include "print/new_songs_export.h"
#include "print/new_songs_filter.h"

namespace {

// "新進國語歌曲 " for all new songs of a kind, "精選國語<keyword>歌曲" for those of a keyword.
QString sectionTitle(const SharedState &state, const QString &keyword, int kind)
{
    const QString kindName = state.SongKindNames.value(kind);
    if (keyword.isEmpty())
        return QStringLiteral("新進") + kindName + QStringLiteral("歌曲 ");
    return QStringLiteral("精選") + kindName + keyword + QStringLiteral("歌曲");
}

PrintResult printList(SharedState &state, PrintServices &services, const NewSongsFilter &filter, Sides sides)
{
    const BookToPrint book{filter.keyword.isEmpty() ? QStringLiteral("新進歌曲") : QStringLiteral("精選歌曲"),
                        SongFilter::since(filter.date, filter.keyword),
                        {false, [&](int kind, int) { return sectionTitle(state, filter.keyword, kind); }}};
    const int total = countSongs(state.db(), book.songs);
    if (total == 0) {
        services.messageBoxes.ok(filter.noDataMessage());
        return PrintResult::NoData;
    }
    setBookFont(services);
    const std::optional<bool> doubleSided = chooseDoubleSided(services.messageBoxes, sides);
    if (!doubleSided)
        return PrintResult::Stopped;
    return printBook(state, services, book, *doubleSided, total);
}

} // namespace

PrintResult print_new(SharedState &state, Services &services, const QString &startDateText,
                      const QString &keywordText, PrintTarget target)
{
    return printNewSongs(state, printServicesOf(services), startDateText, keywordText, target, Sides::AskOwner);
}

PrintResult printNewSongs(SharedState &state, PrintServices services, const QString &startDateText,
                          const QString &keywordText, PrintTarget target, Sides sides)
{
    const std::optional<NewSongsFilter> filter = NewSongsFilter::parse(startDateText, keywordText);
    if (!filter) {
        services.messageBoxes.ok(kBadStartDateText);
        return PrintResult::BadDate;
    }
    if (filter->keyword.size() > kLongestKeyword) {
        services.messageBoxes.ok(kKeywordTooLongText);
        return PrintResult::BadKeyword;
    }
    return reportingCatalogueErrors(services.messageBoxes, [&] {
        if (target == PrintTarget::Excel)
            return exportNewSongs(state, services, *filter);
        return printList(state, services, *filter, sides);
    });
}
