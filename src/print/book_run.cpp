#include "print/book_run.h"

#include "platform/screen_fonts.h"
#include "core/database.h"
#include "core/database_error.h"
#include "core/shared_state.h"
#include "core/small_routines.h"
#include "platform/message_boxes.h"
#include "platform/printer.h"
#include "print/book_layout.h"

#include <exception>

namespace {

const QString kDoubleSidedQuestion = QStringLiteral("請問您是否要印成雙面?");
const QString kOddPagesFirst =
    QStringLiteral("開始處理列印, 按下\"確定\"按鍵, 將會開始印第 1,3,5,7,9....頁");
const QString kTurnThePaper =
    QStringLiteral("單數頁資料處理完畢, 等印表機把單數頁印完後, 請將紙反過來, 將會印第 2,4,6,8,10....頁, "
                   "請注意您紙張的排列");

QString documentTitle(const QString &title, PassPages pages)
{
    switch (pages) {
    case PassPages::Odd:
        return title + QStringLiteral(" (單數頁)");
    case PassPages::Even:
        return title + QStringLiteral(" (雙數頁)");
    case PassPages::All:
        break;
    }
    return title;
}

using EachSong = std::function<void(const std::function<bool(const ListedSong &)> &)>;

// One printer document: the pass over the songs, ended unless the owner cancelled it.
bool printPass(const EachSong &eachSong, Printer &printer, const QString &title, const BookSections &sections,
               PassPages pages, int total)
{
    std::exception_ptr failure;
    const bool printed = printer.printDocument(documentTitle(title, pages), [&] {
        // The drawing may run inside a window's event; the failure is raised once it is over.
        try {
            BookPass pass(printer, sections, pages, total);
            bool goOn = true;
            eachSong([&](const ListedSong &row) { return goOn = pass.add(row); });
            if (goOn)
                printer.endDoc();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    if (failure)
        std::rethrow_exception(failure);
    return printed;
}

} // namespace

void setBookFont(PrintServices &services)
{
    services.printer.setFontName(kScreenFontName);
    services.printer.setFontSize(BookLayout::kFontSize);
}

std::optional<bool> chooseDoubleSided(MessageBoxes &messageBoxes, Sides sides)
{
    switch (sides) {
    case Sides::Single:
        return false;
    case Sides::Double:
        return true;
    case Sides::AskOwner:
        break;
    }
    switch (messageBoxes.yesNoCancel(kDoubleSidedQuestion)) {
    case MessageBoxes::Answer::Yes:
        return true;
    case MessageBoxes::Answer::No:
        return false;
    case MessageBoxes::Answer::Cancel:
        break;
    }
    return std::nullopt;
}

namespace {

PrintResult printPasses(const EachSong &eachSong, PrintServices &services, const QString &title,
                        const BookSections &sections, bool doubleSided, int total)
{
    if (!doubleSided)
        return printPass(eachSong, services.printer, title, sections, PassPages::All, total) ? PrintResult::Done
                                                                                            : PrintResult::Stopped;
    services.messageBoxes.ok(kOddPagesFirst);
    if (!printPass(eachSong, services.printer, title, sections, PassPages::Odd, total))
        return PrintResult::Stopped;
    services.messageBoxes.ok(kTurnThePaper);
    return printPass(eachSong, services.printer, title, sections, PassPages::Even, total) ? PrintResult::Done
                                                                                         : PrintResult::Stopped;
}

} // namespace

PrintResult printBook(SharedState &state, PrintServices &services, const BookToPrint &book, bool doubleSided, int total)
{
    const EachSong eachSong = [&](const std::function<bool(const ListedSong &)> &onSong) {
        forEachListedSong(state.db(), book.songs, onSong);
    };
    return printPasses(eachSong, services, book.title, book.sections, doubleSided, total);
}

PrintResult printSongList(PrintServices &services, const QString &title, const BookSections &sections,
                          const std::vector<ListedSong> &songs)
{
    const EachSong eachSong = [&](const std::function<bool(const ListedSong &)> &onSong) {
        for (const ListedSong &song : songs) {
            if (!onSong(song))
                return;
        }
    };
    return printPasses(eachSong, services, title, sections, false, int(songs.size()));
}

PrintResult reportingCatalogueErrors(MessageBoxes &messageBoxes, const std::function<PrintResult()> &task)
{
    try {
        return task();
    } catch (const CatalogueBusy &) {
        messageBoxes.ok(QStringLiteral("另一個程式正在使用資料庫, 請稍後再印."));
    } catch (const DatabaseError &e) {
        messageBoxes.ok(QStringLiteral("無法讀取資料庫 (") + e.message() + QStringLiteral("), 沒有印出."));
    }
    return PrintResult::Stopped;
}
