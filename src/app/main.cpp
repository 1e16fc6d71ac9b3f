#include "app/command_line.h"
#include "bulk/batch_registe.h"
#include "bulk/command_line_runs.h"
#include "bulk/reg_by_filename.h"
#include "app/print_tasks.h"
#include "platform/command_shutdown.h"
#include "platform/gst/gst_mci_device.h"
#include "platform/gst/gst_media_player_factory.h"
#include "core/database_error.h"
#include "core/init_system.h"
#include "manage/catalogue_statistics.h"
#include "manage/manager_menu.h"
#include "menu/main_menu.h"
#include "widgets/modal_runner.h"
#include "playback/playback_session.h"
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
#include "print/new_songs.h"
#include "print/song_book.h"

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTextStream>
#include <QTimer>

#include <functional>
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
        PlaybackSession session(state, services);
        Player player(session, state, services, screen, menu.Timer1, &menu);
        ModalRunner::exec(player);
    };
    menu.openManager = [&] {
        ManagerMenu manager(state, services, screen, &menu);
        manager.endProgram = [&] {
            menu.wmpMain->stop();
            menu.wmpMain->close();
            QApplication::exit(0);
        };
        manager.openRegistrationByFileName = [&] {
            RegByFilename window(state, services, screen, &manager);
            ModalRunner::exec(window);
        };
        manager.openBatchRegistration = [&] {
            BatchRegiste window(state, services, screen, &manager);
            ModalRunner::exec(window);
        };
        manager.printAll = [&] { print_all(state, services); };
        manager.printNew = [&] {
            print_new(state, services, manager.print_start_date->text(), manager.keyword->text(),
                      manager.printsToExcel() ? PrintTarget::Excel : PrintTarget::Printer);
        };
        ModalRunner::exec(manager);
    };
    StartForm start(screen, clock, [&] { menu.showFullScreen(); });
    QTimer::singleShot(0, &start, &StartForm::run);
    return QApplication::exec();
}

// Starts up without a window and runs task on the shared state; the exit code of the program.
int withoutWindow(const CommandLine &options, const std::function<int(SharedState &)> &task)
{
    QtFileSystem fileSystem;
    SystemClock clock(options.clockSpeed);
    SharedState state;
    QString problem;
    if (!startUp(state, fileSystem, clock, options.home, &problem))
        return 1;
    try {
        return task(state);
    } catch (const DatabaseError &e) {
        QTextStream(stderr) << e.message() << Qt::endl;
        return 1;
    }
}

int startUpOnly(SharedState &state)
{
    QTextStream(stdout) << "karaoke: started up in " << state.AppPath << " (catalogue " << state.DbPath
                        << "), --init-only given, exiting" << Qt::endl;
    return 0;
}

// The seven lines of the statistics window, on standard output.
int printStatistics(SharedState &state)
{
    QTextStream out(stdout);
    for (const QString &line : catalogueStatusLines(state.db()))
        out << line << Qt::endl;
    return 0;
}

// The registration tasks of the command line: the windows' own work, printed instead of shown.
int registrationTask(const CommandLine &options, SharedState &state)
{
    QTextStream out(stdout);
    if (options.task == CommandLine::Task::RegisterFolder)
        return registerFolderWithoutWindow(state, *state.Fso, *state.clock, options.inputPath, out);
    return registerListWithoutWindow(state, *state.Fso, *state.clock, options.inputPath, out);
}

// The printing task of the command line, as the manager menu's buttons run it.
int printTask(const CommandLine &options, SharedState &state)
{
    switch (options.task) {
    case CommandLine::Task::PrintBook:
        return printBookTask(state, options.outputFile);
    case CommandLine::Task::PrintNew:
        return printNewTask(state, options.outputFile, options.since, options.keyword);
    case CommandLine::Task::ExportNew:
        return exportNewTask(state, options.outputFile, options.since, options.keyword);
    case CommandLine::Task::Jukebox:
    case CommandLine::Task::InitOnly:
    case CommandLine::Task::Statistics:
    case CommandLine::Task::RegisterFolder:
    case CommandLine::Task::RegisterList:
        break;
    }
    return 2;
}

// The application object: the jukebox needs a display; starting up and the statistics need
// none; printing lays out text, which needs Qt Gui's fonts, on the display-less platform.
QCoreApplication *makeApplication(CommandLine::Task task, int &argc, char **argv)
{
    switch (task) {
    case CommandLine::Task::Jukebox:
        return new QApplication(argc, argv);
    case CommandLine::Task::InitOnly:
    case CommandLine::Task::Statistics:
    case CommandLine::Task::RegisterFolder:
    case CommandLine::Task::RegisterList:
        return new QCoreApplication(argc, argv);
    case CommandLine::Task::PrintBook:
    case CommandLine::Task::PrintNew:
    case CommandLine::Task::ExportNew:
        break;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    auto *app = new QGuiApplication(argc, argv);
    installScreenFonts();
    return app;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const std::unique_ptr<QCoreApplication> app(makeApplication(requestedTask(arguments), argc, argv));
    const CommandLine options = parseCommandLine(arguments, QCoreApplication::applicationDirPath());
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << options.error << Qt::endl;
        return 2;
    }
    switch (options.task) {
    case CommandLine::Task::Jukebox:
        return runJukebox(options);
    case CommandLine::Task::InitOnly:
        return withoutWindow(options, startUpOnly);
    case CommandLine::Task::Statistics:
        return withoutWindow(options, printStatistics);
    case CommandLine::Task::RegisterFolder:
    case CommandLine::Task::RegisterList:
        return withoutWindow(options, [&options](SharedState &state) { return registrationTask(options, state); });
    case CommandLine::Task::PrintBook:
    case CommandLine::Task::PrintNew:
    case CommandLine::Task::ExportNew:
        break;
    }
    return withoutWindow(options, [&options](SharedState &state) { return printTask(options, state); });
}
