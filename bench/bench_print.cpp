// The song book of a 100 000-song catalogue written to a PDF, with the memory it takes while
// the pages go by, and the spreadsheet export of 20 000 songs.
//   bench_print [benchmark flags] [HOME]   (catalogues in HOME and HOME-20000, default $TMPDIR/karaoke-bench)
#include "catalogue_generator.h"

#include "core/init_system.h"
#include "platform/screen_fonts.h"
#include "core/shared_state.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/pdf_file_printer.h"
#include "platform/qt_file_system.h"
#include "platform/system_clock.h"
#include "platform/xlsx_spreadsheet.h"
#include "print/new_songs.h"
#include "print/song_book.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

QString g_home;

long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// Messages go to standard error; questions are answered no.
struct Console : MessageBoxes, FileDialogs
{
    QString file;
    void ok(const QString &text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool yesNo(const QString &) override { return false; }
    Answer yesNoCancel(const QString &) override { return Answer::No; }
    QString openFile(const QString &, const QString &) override { return file; }
    QString saveFile(const QString &, const QString &, const QString &) override { return file; }
};

// The PDF printer, sampling the resident memory as the book goes by.
class MeasuredPdfPrinter : public PdfFilePrinter
{
public:
    using PdfFilePrinter::PdfFilePrinter;
    long tenthKb = 0;
    long lastKb = 0;

    bool progress(int done, int total) override
    {
        if (tenthKb == 0 && done >= total / 10)
            tenthKb = statusKb("VmRSS:");
        lastKb = statusKb("VmRSS:");
        return PdfFilePrinter::progress(done, total);
    }
};

struct Home
{
    explicit Home(const QString &folder)
    {
        if (!InitSystem(state, fileSystem, clock, folder).ok)
            throw std::runtime_error("cannot start up in the benchmark folder");
    }
    QtFileSystem fileSystem;
    SystemClock clock;
    SharedState state;
    Console console;
    XlsxSpreadsheetFactory spreadsheets;
};

void songBookToPdf(benchmark::State &st)
{
    generateCatalogue(g_home, 100000, 10000);
    Home home(g_home);
    const QString pdf = g_home + QStringLiteral("/book.pdf");
    for (auto _ : st) {
        MeasuredPdfPrinter printer(pdf, home.console);
        const PrintResult result = printSongBook(
            home.state, {printer, home.spreadsheets, home.console, home.console, home.clock}, Sides::Single);
        if (result != PrintResult::Done) {
            st.SkipWithError("the song book was not written");
            break;
        }
        st.counters["pages"] = printer.sheetsWritten();
        st.counters["pdf_MB"] = double(QFile(pdf).size()) / (1024 * 1024);
        st.counters["rss_growth_MB"] = double(printer.lastKb - printer.tenthKb) / 1024;
        st.counters["peak_rss_MB"] = double(statusKb("VmHWM:")) / 1024;
        std::printf("song book: %d pages, PDF %.1f MB, resident memory %.1f MB at 10%% of the songs and %.1f MB "
                    "at the last page, peak %.1f MB\n",
                    printer.sheetsWritten(), double(QFile(pdf).size()) / (1024 * 1024), printer.tenthKb / 1024.0,
                    printer.lastKb / 1024.0, statusKb("VmHWM:") / 1024.0);
    }
}

void exportTwentyThousand(benchmark::State &st)
{
    const QString folder = g_home + QStringLiteral("-20000");
    generateCatalogue(folder, 20000, 2000);
    Home home(folder);
    home.console.file = folder + QStringLiteral("/export.xlsx");
    for (auto _ : st) {
        MeasuredPdfPrinter unused(QString(), home.console);
        const PrintResult result =
            printNewSongs(home.state, {unused, home.spreadsheets, home.console, home.console, home.clock},
                          QStringLiteral("2000/01/01"), QString(), PrintTarget::Excel, Sides::Single);
        if (result != PrintResult::Done) {
            st.SkipWithError("the spreadsheet was not written");
            break;
        }
    }
    st.counters["xlsx_MB"] = double(QFile(home.console.file).size()) / (1024 * 1024);
}

} // namespace

BENCHMARK(songBookToPdf)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(exportTwentyThousand)->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    installScreenFonts();
    benchmark::Initialize(&argc, argv);
    g_home = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath() + QStringLiteral("/karaoke-bench");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
