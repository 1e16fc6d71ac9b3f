#include "print/song_book.h"

#include "core/shared_state.h"
#include "platform/message_boxes.h"
#include "print/book_run.h"

namespace {

QString sectionTitle(const SharedState &state, int kind, int textCount)
{
    const QString kindName = state.SongKindNames.value(kind);
    if (textCount >= kManyCharacters)
        return kindName + QStringLiteral("-- 多字部");
    return kindName + QStringLiteral("-- ") + QString::number(textCount) + QStringLiteral("字部");
}

} // namespace

PrintResult print_all(SharedState &state, Services &services)
{
    return printSongBook(state, printServicesOf(services), Sides::AskOwner);
}

PrintResult printSongBook(SharedState &state, PrintServices services, Sides sides)
{
    return reportingCatalogueErrors(services.messageBoxes, [&] {
        setBookFont(services);
        const std::optional<bool> doubleSided = chooseDoubleSided(services.messageBoxes, sides);
        if (!doubleSided)
            return PrintResult::Stopped;
        const BookToPrint book{QStringLiteral("全部目錄"), SongFilter::all(),
                            {true, [&state](int kind, int count) { return sectionTitle(state, kind, count); }}};
        const int total = countSongs(state.db(), book.songs);
        if (total == 0) {
            services.messageBoxes.ok(QStringLiteral("沒有資料"));
            return PrintResult::NoData;
        }
        return printBook(state, services, book, *doubleSided, total);
    });
}
