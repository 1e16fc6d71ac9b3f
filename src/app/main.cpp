#include "app/command_line.h"
#include "app/print_tasks.h"
#include "platform/command_shutdown.h"
#include "platform/gst/gst_mci_device.h"
#include "platform/gst/gst_media_player_factory.h"
#include "core/init_system.h"
#include "menu/main_menu.h"
#include "widgets/modal_runner.h"
#include "playback/player.h"
#include "platform/qt_file_dialogs.h"
#include "platform/qt_file_system.h"
#include "platform/qt_message_boxes.h"
#include "platform/qt_mouse_pointer.h"
#include "platform/qt_printer.h"
#include "core/screen_fonts.h"
#include "platform/services.h"
#include "core/shared_state.h"
#include "menu/start_form.h"
#include "platform/system_clock.h"
#include "platform/xlsx_spreadsheet.h"
#include "playback/wav_file_open.h"

#include <QApplication>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace {

// Runs the start-up and tells on standard error what went wrong; false when the program cannot run.
bool startUp(SharedState &state, FileSystem &fileSystem, Clock &clock, const QString &home, QString *problem)
{
    const InitResult init = InitSystem(state, fileSystem, clock, home);
    QTextStream err(stderr);
    for (const QString &notice : init.notices)
        err << notice << Qt::endl;
    if (!init.ok)
        err << init.problem << Qt::endl;
    *problem = init.problem;
    return init.ok;
}

int runJukebox(const CommandLine &options)
{
    installScreenFonts();
    QtFileSystem fileSystem;
    SystemClock clock(options.clockSpeed);
    QtMessageBoxes messageBoxes;
    QtFileDialogs fileDialogs;
    QtMousePointer mousePointer;
    CommandShutdown shutdown;
    GstMediaPlayerFactory mediaPlayers;
    GstMciDevice mci;
    SharedState state;
    QtPrinter printer(QtPrinter::defaultPrinterName(), messageBoxes, fileDialogs, [&state] { return state.AppPath; });
    XlsxSpreadsheetFactory spreadsheets;
    Services services{fileSystem, clock, messageBoxes, fileDialogs, mousePointer, shutdown, mediaPlayers, mci,
                      printer, spreadsheets};

    QString problem;
    if (!startUp(state, fileSystem, clock, options.home, &problem)) {
        messageBoxes.ok(problem);
        return 1;
    }
    WavFileOpen recorder(mci);
    state.Recorder = &recorder;

    const QSize screen = QGuiApplication::primaryScreen()->size();
    MainMenu menu(state, services, screen);
    menu.openPlayer = [&] {
        Player player(state, services, screen, menu.Timer1, &menu);
        ModalRunner::exec(player);
    };
    StartForm start(screen, clock, [&] { menu.showFullScreen(); });
    QTimer::singleShot(0, &start, &StartForm::run);
    return QApplication::exec();
}

// The tasks without a window: starting up alone, or a printing task.
int runTask(const CommandLine &options)
{
    installScreenFonts();
    QtFileSystem fileSystem;
    SystemClock clock(options.clockSpeed);
    SharedState state;
    QString problem;
    if (!startUp(state, fileSystem, clock, options.home, &problem))
        return 1;
    switch (options.task) {
    case CommandLine::Task::PrintBook:
        return printBookTask(state, clock, options.outputFile);
    case CommandLine::Task::PrintNew:
        return printNewTask(state, clock, options.outputFile, options.since, options.keyword);
    case CommandLine::Task::ExportNew:
        return exportNewTask(state, clock, options.outputFile, options.since, options.keyword);
    case CommandLine::Task::Jukebox:
    case CommandLine::Task::InitOnly:
        break;
    }
    QTextStream(stdout) << "karaoke: started up in " << state.AppPath << " (catalogue " << state.DbPath
                        << "), --init-only given, exiting" << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // The tasks need no display; only the windows do. Printing lays out text, which needs the
    // fonts of Qt Gui, so the tasks run on the display-less platform.
    const bool withoutWindow = runsWithoutWindow(arguments);
    if (withoutWindow && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app(withoutWindow ? new QGuiApplication(argc, argv)
                                                              : new QApplication(argc, argv));
    const CommandLine options = parseCommandLine(arguments, QCoreApplication::applicationDirPath());
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << options.error << Qt::endl;
        return 2;
    }
    return options.task == CommandLine::Task::Jukebox ? runJukebox(options) : runTask(options);
}
