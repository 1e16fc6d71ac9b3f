#include "app/print_tasks.h"

#include "app/command_line.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/pdf_file_printer.h"
#include "platform/xlsx_spreadsheet.h"
#include "print/new_songs.h"
#include "print/song_book.h"

#include <QTextStream>

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

PrintResult run(const CommandLine &options, SharedState &state, PrintServices services)
{
    switch (options.task) {
    case CommandLine::Task::PrintBook:
        return printSongBook(state, services, Sides::Single);
    case CommandLine::Task::PrintNew:
        return printNewSongs(state, services, options.since, options.keyword, PrintTarget::Printer, Sides::Single);
    case CommandLine::Task::ExportNew:
        return printNewSongs(state, services, options.since, options.keyword, PrintTarget::Excel, Sides::Single);
    case CommandLine::Task::Jukebox:
    case CommandLine::Task::InitOnly:
        break;
    }
    return PrintResult::Stopped;
}

} // namespace

int runPrintTask(const CommandLine &options, SharedState &state, Clock &clock)
{
    ConsoleMessages messages;
    GivenFile file(options.outputFile);
    PdfFilePrinter printer(options.outputFile, messages);
    XlsxSpreadsheetFactory spreadsheets;
    if (run(options, state, {printer, spreadsheets, messages, file, clock}) != PrintResult::Done)
        return 1;
    QTextStream(stdout) << "karaoke: wrote " << options.outputFile << Qt::endl;
    return 0;
}
