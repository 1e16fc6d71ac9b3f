#include "app/print_tasks.h"

#include "core/shared_state.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/pdf_file_printer.h"
#include "platform/xlsx_spreadsheet.h"
#include "print/charts_print.h"
#include "print/new_songs.h"
#include "print/song_book.h"

#include <QDateTime>
#include <QTextStream>

#include <functional>

namespace {

// Messages on standard error; a question is answered no, since a task never stops to ask.
class ConsoleMessages : public MessageBoxes
{
public:
    void ok(const QString &text) override { QTextStream(stderr) << text << Qt::endl; }
    bool yesNo(const QString &text) override
    {
        ok(text);
        return false;
    }
    Answer yesNoCancel(const QString &text) override
    {
        ok(text);
        return Answer::Cancel;
    }
};

// The file named on the command line, wherever the run would ask for one.
class GivenFile : public FileDialogs
{
public:
    explicit GivenFile(QString path) : m_path(std::move(path)) {}
    QString openFile(const QString &, const QString &) override { return m_path; }
    QString saveFile(const QString &, const QString &, const QString &) override { return m_path; }

private:
    QString m_path;
};

// Runs a task with the console's messages, the file named and a PDF printer on it.
int runWithFile(SharedState &state, const QString &file, const std::function<PrintResult(PrintServices)> &task)
{
    ConsoleMessages messages;
    GivenFile fileDialogs(file);
    PdfFilePrinter printer(file, messages);
    XlsxSpreadsheetFactory spreadsheets;
    if (task({printer, spreadsheets, messages, fileDialogs, *state.clock}) != PrintResult::Done)
        return 1;
    QTextStream(stdout) << "karaoke: wrote " << file << Qt::endl;
    return 0;
}

} // namespace

int printBookTask(SharedState &state, const QString &pdf)
{
    return runWithFile(state, pdf, [&](PrintServices services) { return printSongBook(state, services, Sides::Single); });
}

int printNewTask(SharedState &state, const QString &pdf, const QString &since, const QString &keyword)
{
    return runWithFile(state, pdf, [&](PrintServices services) {
        return printNewSongs(state, services, since, keyword, PrintTarget::Printer, Sides::Single);
    });
}

int exportNewTask(SharedState &state, const QString &xlsx, const QString &since, const QString &keyword)
{
    return runWithFile(state, xlsx, [&](PrintServices services) {
        return printNewSongs(state, services, since, keyword, PrintTarget::Excel, Sides::Single);
    });
}

int printChartsTask(SharedState &state, const QString &pdf)
{
    return runWithFile(state, pdf, [&](PrintServices services) {
        return printCharts(state, services, QDateTime::currentSecsSinceEpoch());
    });
}

int exportChartsTask(SharedState &state, const QString &xlsx)
{
    return runWithFile(state, xlsx, [&](PrintServices services) {
        return exportCharts(state, services, QDateTime::currentSecsSinceEpoch());
    });
}
